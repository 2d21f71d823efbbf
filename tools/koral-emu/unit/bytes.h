// Bytes as they travel on the unit's line, and their readable form in the log.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace koral::emu {

using Bytes = std::vector<std::uint8_t>;

// "01 11 BA 18 03"
std::string Hex(std::span<const std::uint8_t> bytes);
// "0xBA"
std::string HexByte(std::uint8_t byte);

}  // namespace koral::emu
