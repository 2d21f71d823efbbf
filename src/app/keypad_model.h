// The remote keypad (frmKey): each key sends one command byte to the unit, and
// on a QT-MX line SELECT picks one unit by its address 0..127.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/control_state.h"
#include "app/session.h"
#include "link/clock.h"
#include "link/transport.h"

namespace koral {

enum class KeypadKey {
  Right1Rx,
  Left1Rx,
  Menu,
  Alarm,
  Unaddress,
  Day,
  Night,
  Enable,
  Disable,
  Clear,
  Exit,
  Down,
  Up,
  LeftMx,
  RightMx,
  Log
};

enum class KeypadKeyUse { Both, Qt1RxOnly, QtMxOnly };

struct KeypadKeyInfo {
  KeypadKey key;
  std::string_view control;
  std::string_view caption;
  std::uint8_t byte;
  KeypadKeyUse use;
};

inline constexpr std::array<KeypadKeyInfo, 16> kKeypadKeys = {{
    {KeypadKey::Right1Rx, "btnRight", "RIGHT", 0x91, KeypadKeyUse::Qt1RxOnly},
    {KeypadKey::Left1Rx, "btnLeft", "LEFT", 0x92, KeypadKeyUse::Qt1RxOnly},
    {KeypadKey::Menu, "btnMenu", "MENU", 0x94, KeypadKeyUse::Qt1RxOnly},
    {KeypadKey::Alarm, "btnAlm", "ALARM", 0x98, KeypadKeyUse::Qt1RxOnly},
    {KeypadKey::Unaddress, "btnUnAddr", "UNADDRESS", 0xA0, KeypadKeyUse::QtMxOnly},
    {KeypadKey::Day, "btnDay", "DAY", 0xA1, KeypadKeyUse::Both},
    {KeypadKey::Night, "btnNgt", "NIGHT", 0xA2, KeypadKeyUse::Both},
    {KeypadKey::Enable, "btnEnable", "ENABLE", 0xA4, KeypadKeyUse::Both},
    {KeypadKey::Disable, "btnDisable", "DISABLE", 0xA5, KeypadKeyUse::Both},
    {KeypadKey::Clear, "btnClear", "CLEAR", 0xA8, KeypadKeyUse::Both},
    {KeypadKey::Exit, "btnExit", "EXIT", 0xB0, KeypadKeyUse::QtMxOnly},
    {KeypadKey::Down, "btnDown", "DOWN", 0xB4, KeypadKeyUse::QtMxOnly},
    {KeypadKey::Up, "btnUp", "UP", 0xB5, KeypadKeyUse::QtMxOnly},
    {KeypadKey::LeftMx, "btnL", "LEFT", 0xB6, KeypadKeyUse::QtMxOnly},
    {KeypadKey::RightMx, "btnR", "RIGHT", 0xB7, KeypadKeyUse::QtMxOnly},
    {KeypadKey::Log, "btnLog", "LOG", 0xBD, KeypadKeyUse::QtMxOnly},
}};

// The table is indexed by the key.
static_assert([] {
  for (std::size_t i = 0; i < kKeypadKeys.size(); ++i)
    if (static_cast<std::size_t>(kKeypadKeys[i].key) != i) return false;
  return true;
}());

inline constexpr int kAddressesPerGroup = 16;
inline constexpr int kAddressGroupCount = 8;

// lblGroup by group 0..7.
inline constexpr std::array<std::string_view, kAddressGroupCount> kAddressGroupCaptions = {
    "00-15", "16-31", "32-47", "48-63", "64-79", "80-95", "96-111", "112-127",
};

class KeypadModel {
 public:
  static constexpr std::string_view kCaption = "Keyboard";
  static constexpr std::uint8_t kEndOfAddressSelection = 0xB3;
  static constexpr int kAfterAddressMs = 100;      // after each SELECT address byte
  static constexpr int kAfterFirstRepeatMs = 200;  // after the repeat of the first SELECT

  KeypadModel(const Session& session, Transport& transport, Clock& clock);

  // Opening: group 0, address 0, the next SELECT is the first, keys by model.
  void Load();

  bool KeyEnabled(KeypadKey key) const { return keyEnabled_[static_cast<std::size_t>(key)]; }
  bool SelectEnabled() const { return selectEnabled_; }
  const UpDownState& Group() const { return group_; }      // udGroup
  const UpDownState& Address() const { return address_; }  // udAddr
  const LabelState& GroupLabel() const { return groupLabel_; }
  const LabelState& AddressLabel() const { return addressLabel_; }  // the target address

  // A disabled control does nothing.
  void Press(KeypadKey key);
  void Select();
  // Spinners: a changed value sends the new target address at once.
  void SetGroup(int group);
  void SetAddress(int address);

 private:
  std::uint8_t ShowTarget();
  void AddressChanged();
  void Send(std::uint8_t byte);

  const Session& session_;
  Transport& transport_;
  Clock& clock_;
  std::array<bool, kKeypadKeys.size()> keyEnabled_{};
  bool selectEnabled_ = false;
  UpDownState group_;
  UpDownState address_;
  LabelState groupLabel_;
  LabelState addressLabel_;
  // Set until a spinner moves or SELECT runs: the first SELECT repeats the address.
  bool firstSelect_ = true;
};

}  // namespace koral
