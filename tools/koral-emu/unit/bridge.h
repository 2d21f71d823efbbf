// The serial-to-network bridge in front of a unit on UDP. The PC wraps every
// byte for the unit in a datagram of its own (01 FE 19 FF b 00 00 00, between
// line-control datagrams), sets the bridge's serial speed by divisor and by
// code, and registers the address and port its frames are to go to. Until
// one registers, frames go back to where the PC sends from.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "unit/unit_clock.h"

namespace koral::emu {

inline constexpr std::uint16_t kBridgePort = 26482;

struct Endpoint {
  std::string address;  // dotted IPv4
  std::uint16_t port = 0;
  friend bool operator==(const Endpoint&, const Endpoint&) = default;
};

struct BridgeSpeed {
  int baud;
  std::uint8_t code;
  std::uint16_t divisor;
};

inline constexpr std::array<BridgeSpeed, 6> kBridgeSpeeds = {{
    {1200, 1, 0xFBEE},
    {2400, 2, 0xFDF7},
    {4800, 3, 0xFEFC},
    {9600, 8, 0xFF7E},
    {19200, 9, 0xFFBF},
    {28800, 10, 0xFFD4},
}};

class Bridge {
 public:
  explicit Bridge(LogSink log) : log_(std::move(log)) {}

  // A datagram from the PC; the byte it carries for the unit, if any.
  std::optional<std::uint8_t> Receive(std::span<const std::uint8_t> datagram, const Endpoint& sender);

  // Where the unit's frames go now.
  std::optional<Endpoint> Destination() const { return registered_ ? registered_ : lastSender_; }
  bool Registered() const { return registered_.has_value(); }
  bool LineControl() const { return lineControl_; }
  // The serial speed last set by code or by divisor.
  std::optional<int> Baud() const { return baud_; }

 private:
  void SetSpeed(std::optional<int> baud, const std::string& how);

  LogSink log_;
  std::optional<Endpoint> lastSender_;
  std::optional<Endpoint> registered_;
  bool lineControl_ = false;
  std::optional<int> baud_;
};

}  // namespace koral::emu
