// The data-byte form in which the unit exchanges bank bytes: 0xD0 plus a nibble.
#pragma once

#include <cstdint>

namespace koral {

inline constexpr std::uint8_t kDataByteBase = 0xD0;

constexpr std::uint8_t ToDataByte(unsigned nibble) {
  return static_cast<std::uint8_t>(kDataByteBase | (nibble & 0x0F));
}
constexpr bool IsDataByte(std::uint8_t byte) {
  return (byte & 0xF0) == kDataByteBase;
}
constexpr unsigned Nibble(std::uint8_t stored) {
  return stored & 0x0Fu;
}

// A register value travels as two data bytes, high nibble first.
constexpr std::uint8_t HighDataByte(std::uint8_t value) {
  return ToDataByte(value >> 4);
}
constexpr std::uint8_t LowDataByte(std::uint8_t value) {
  return ToDataByte(value);
}
constexpr std::uint8_t JoinDataBytes(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::uint8_t>((Nibble(high) << 4) | Nibble(low));
}

}  // namespace koral
