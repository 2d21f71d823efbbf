// The IP tool's messages, read at 4800 baud: a write 01 10 o1 o2 o3 o4 03
// stores the unit's network address (an octet 3 travels as 00 1F 2F 3F, so a
// plain 03 always ends the message), a query 01 0F D3 E6 FF 03 asks for it,
// and the answer is the four octets as they are.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "unit/bytes.h"

namespace koral::emu {

using Ipv4Address = std::array<std::uint8_t, 4>;

inline constexpr std::uint8_t kIpMessageStart = 0x01;
inline constexpr std::uint8_t kIpWrite = 0x10;
inline constexpr std::uint8_t kIpQuery = 0x0F;
inline constexpr std::array<std::uint8_t, 3> kIpQueryBody = {0xD3, 0xE6, 0xFF};
inline constexpr std::array<std::uint8_t, 4> kEscapedThree = {0x00, 0x1F, 0x2F, 0x3F};
inline constexpr Ipv4Address kFactoryIpAddress = {192, 168, 0, 100};

// The octets of a write message's body (the bytes between 01 10 and 03).
// Escapes are read first; when that does not give four octets the bytes are
// read plainly where needed (00 1F 2F 3F can also be 0.31.47.63).
std::optional<Ipv4Address> DecodeIpOctets(std::span<const std::uint8_t> body);
Bytes EncodeIpOctets(const Ipv4Address& address);
std::string IpText(const Ipv4Address& address);

// One message, from the byte after 01 to its 03.
class IpMessageReader {
 public:
  enum class Kind { Write, Query };
  struct Message {
    Kind kind = Kind::Query;
    std::optional<Ipv4Address> address;  // a write that decoded
    bool valid = false;
    Bytes body;
  };

  static constexpr std::size_t kLongestBody = 4 * kEscapedThree.size();

  // The byte after a 01 decides whether a message starts.
  bool Start(std::uint8_t second);
  bool Active() const { return active_; }
  // The message once its 03 arrives or it grows too long for one.
  std::optional<Message> Feed(std::uint8_t byte);
  // Forgets a message that stopped half-way.
  void Abandon() { active_ = false; }

 private:
  bool active_ = false;
  Kind kind_ = Kind::Query;
  Bytes body_;
};

}  // namespace koral::emu
