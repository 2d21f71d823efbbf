// The bytes the unit hears on its line and the frames it answers with.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace koral::emu {

// Command bytes (0x80 and above). Address bytes are 0..127.
namespace cmd {
inline constexpr std::uint8_t kTransferOpen = 0x98;  // sent twice to open a transfer; alone it is ALARM
inline constexpr std::uint8_t kUnaddress = 0xA0;     // also the separator / end marker of transfers
inline constexpr std::uint8_t kDay = 0xA1;           // also the download's selection marker
inline constexpr std::uint8_t kNight = 0xA2;
inline constexpr std::uint8_t kEnable = 0xA4;  // also abandons an upload
inline constexpr std::uint8_t kDisable = 0xA5;
inline constexpr std::uint8_t kClear = 0xA8;           // also the upload's selection marker
inline constexpr std::uint8_t kEndOfSelection = 0xB3;  // QT-MX: the address bytes before it select a unit
inline constexpr std::uint8_t kStatusRequest = 0xBA;
inline constexpr std::uint8_t kUploadRequest = 0xBB;
inline constexpr std::uint8_t kAcknowledge = 0xBC;
inline constexpr std::uint8_t kFrameStart = 0xC0;
inline constexpr std::uint8_t kFrameEnd = 0xCF;
inline constexpr std::uint8_t kFirstDataByte = 0xD0;
inline constexpr std::uint8_t kLastDataByte = 0xDF;
inline constexpr std::uint8_t kHighestAddress = 0x7F;
}  // namespace cmd

constexpr bool IsDataByte(std::uint8_t byte) {
  return byte >= cmd::kFirstDataByte && byte <= cmd::kLastDataByte;
}
constexpr bool IsAddressByte(std::uint8_t byte) {
  return byte <= cmd::kHighestAddress;
}

// Frames from the unit start with 0x01 and end with 0x03.
inline constexpr std::uint8_t kReplyStart = 0x01;
inline constexpr std::uint8_t kReplyEnd = 0x03;
inline constexpr std::uint8_t kStatusReplyId = 0x11;

// What a key does on the unit.
enum class KeyAction {
  Logged,          // menu navigation: the unit only notes it
  Alarm,           // ALARM (only when a single 0x98 stands alone)
  Unaddress,       // QT-MX: the selected unit lets go
  Day,             // run the DAY bank
  Night,           // run the NIGHT bank
  EnableAlarm,     //
  DisableAlarm,    //
  ClearAlarms,     //
  EndOfSelection,  // QT-MX: commit the address bytes sent before it
};

struct Key {
  std::uint8_t byte;
  std::string_view name;
  KeyAction action;
};

inline constexpr std::array<Key, 17> kKeys = {{
    {0x91, "RIGHT", KeyAction::Logged},
    {0x92, "LEFT", KeyAction::Logged},
    {0x94, "MENU", KeyAction::Logged},
    {cmd::kTransferOpen, "ALARM", KeyAction::Alarm},
    {cmd::kUnaddress, "UNADDRESS", KeyAction::Unaddress},
    {cmd::kDay, "DAY", KeyAction::Day},
    {cmd::kNight, "NIGHT", KeyAction::Night},
    {cmd::kEnable, "ENABLE", KeyAction::EnableAlarm},
    {cmd::kDisable, "DISABLE", KeyAction::DisableAlarm},
    {cmd::kClear, "CLEAR", KeyAction::ClearAlarms},
    {0xB0, "EXIT", KeyAction::Logged},
    {0xB4, "DOWN", KeyAction::Logged},
    {0xB5, "UP", KeyAction::Logged},
    {0xB6, "LEFT (QT-MX)", KeyAction::Logged},
    {0xB7, "RIGHT (QT-MX)", KeyAction::Logged},
    {0xBD, "LOG", KeyAction::Logged},
    {cmd::kEndOfSelection, "end of address selection", KeyAction::EndOfSelection},
}};

constexpr std::optional<Key> FindKey(std::uint8_t byte) {
  for (const Key& key : kKeys) {
    if (key.byte == byte) return key;
  }
  return std::nullopt;
}

// The transfer bytes that are also keys: inside a transfer they are not keys.
constexpr bool IsTransferByte(std::uint8_t byte) {
  return byte == cmd::kTransferOpen || byte == cmd::kUnaddress || byte == cmd::kDay || byte == cmd::kEnable ||
         byte == cmd::kClear;
}

}  // namespace koral::emu
