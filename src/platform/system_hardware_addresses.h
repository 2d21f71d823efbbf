// The hardware (MAC) address of one of this PC's network interfaces.
#pragma once

#include <optional>
#include <string>

#include "link/udp_socket.h"

namespace koral {

// "00:1A:2B:3C:4D:5E" as six bytes; none for other text and for all zeros
// (what the system reports for interfaces without one, such as loopback).
std::optional<HardwareAddress> ParseHardwareAddress(const std::string& text);

// Looks the address up among the local interfaces (no network traffic): the
// interface that owns the IPv4 address gives its hardware address.
class SystemHardwareAddresses final : public HardwareAddressLookup {
 public:
  std::optional<HardwareAddress> Lookup(const std::string& ipv4) const override;
};

}  // namespace koral
