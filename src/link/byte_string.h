// Bytes as the unit sends them: one element per byte, no character set.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace koral {

using ByteString = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kFrameStart = 0x01;
inline constexpr std::uint8_t kFrameEnd = 0x03;

// A complete frame: 0x01 first and 0x03 last.
inline bool IsFramed(const ByteString& bytes) {
  return !bytes.empty() && bytes.front() == kFrameStart && bytes.back() == kFrameEnd;
}

// A status reply 01 11 BA ... 03.
inline bool IsStatusFrame(const ByteString& bytes) {
  return IsFramed(bytes) && bytes.size() >= 3 && bytes[1] == 0x11 && bytes[2] == 0xBA;
}

}  // namespace koral
