#include "unit/bytes.h"

namespace koral::emu {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& text, std::uint8_t byte) {
  text += kDigits[byte >> 4];
  text += kDigits[byte & 0x0F];
}

}  // namespace

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    AppendHex(text, byte);
  }
  return text;
}

std::string HexByte(std::uint8_t byte) {
  std::string text = "0x";
  AppendHex(text, byte);
  return text;
}

}  // namespace koral::emu
