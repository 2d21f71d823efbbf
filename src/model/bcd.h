// Packed BCD as the unit keeps hours, minutes and clock fields: tens digit in
// the high nibble, units digit in the low nibble.
#pragma once

#include <cstdint>

namespace koral {

// n = 0..99 -> 0x00..0x99 (7 -> 0x07, 59 -> 0x59). Values above 99 keep only
// their last two digits, as two-digit formatting would.
constexpr std::uint8_t DecimalToBcd(int n) {
  const int last = ((n % 100) + 100) % 100;
  return static_cast<std::uint8_t>(((last / 10) << 4) | (last % 10));
}

// The decimal text of the high nibble followed by that of the low nibble, read
// as a number: 0x17 -> 17, 0x08 -> 8, and a byte that is not valid BCD keeps
// its nibbles' digits side by side (0x1A -> 110, 0xAB -> 1011).
constexpr int BcdToDecimal(std::uint8_t b) {
  const int high = b >> 4;
  const int low = b & 0x0F;
  return high * (low >= 10 ? 100 : 10) + low;
}

}  // namespace koral
