// IPv4 addresses as typed into the IP box or given on a command line.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace koral {

// The four numbers of an address, first number first.
using Ipv4Address = std::array<std::uint8_t, 4>;

// Four decimal numbers 0..255 joined by dots, blanks around the whole allowed
// ("192.168.0.100 "). A number with a leading zero ("010") is refused: the
// system's resolver reads it as octal, so sending and receiving would disagree
// about which address was meant.
std::optional<Ipv4Address> ParseIpv4(std::string_view text);

}  // namespace koral
