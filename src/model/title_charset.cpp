#include "model/title_charset.h"

namespace koral {
namespace {

// Codes 0..42; index 31 has no character of its own.
constexpr std::string_view kCharacters = "0123456789:<>-., ABCDEFGHIJKLMN PQRSTUVWXYZ";
constexpr std::uint8_t kUnusedCode = 31;

}  // namespace

char TitleCodeToChar(std::uint8_t code) {
  return code < kCharacters.size() ? kCharacters[code] : ' ';
}

std::uint8_t TitleCharToCode(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c == 'O') return 0;
  const auto pos = kCharacters.find(c);
  if (pos == std::string_view::npos || pos == kUnusedCode) return kTitleSpaceCode;
  return static_cast<std::uint8_t>(pos);
}

std::array<std::uint8_t, 16> EncodeTitle(std::string_view text) {
  std::array<std::uint8_t, 16> codes{};
  for (std::size_t p = 0; p < codes.size(); ++p) {
    codes[p] = p < text.size() ? TitleCharToCode(text[p]) : kTitleSpaceCode;
  }
  return codes;
}

std::string DecodeTitle(const std::array<std::uint8_t, 16>& codes) {
  std::string text;
  for (const std::uint8_t code : codes)
    text += TitleCodeToChar(code);
  return text;
}

}  // namespace koral
