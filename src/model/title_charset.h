// The titler's own 6-bit character codes, both ways.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace koral {

inline constexpr std::uint8_t kTitleSpaceCode = 16;

// Code -> character; unused and unknown codes show as a space.
char TitleCodeToChar(std::uint8_t code);

// Character -> code, after upper-casing. The letter O has no code of its own
// and is written as the digit zero; characters without a code become a space.
std::uint8_t TitleCharToCode(char c);

// The 16 codes of a title text; positions past its end are spaces.
std::array<std::uint8_t, 16> EncodeTitle(std::string_view text);

// The 16 characters of 16 codes, trailing spaces kept.
std::string DecodeTitle(const std::array<std::uint8_t, 16>& codes);

}  // namespace koral
