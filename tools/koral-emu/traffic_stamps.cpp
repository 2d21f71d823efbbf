#include "traffic_stamps.h"

#include <cstdio>
#include <fstream>

namespace koral::emu {

std::int64_t TrafficStamps::NowUs() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_).count();
}

void TrafficStamps::Received(std::span<const std::uint8_t> bytes) {
  const std::int64_t us = NowUs();
  for (const std::uint8_t byte : bytes)
    entries_.push_back({us, true, {byte}});
}

void TrafficStamps::Sent(std::span<const std::uint8_t> frame) {
  entries_.push_back({NowUs(), false, {frame.begin(), frame.end()}});
}

std::optional<std::string> TrafficStamps::Write(const std::string& path) const {
  std::ofstream out(path, std::ios::trunc);
  for (const Entry& entry : entries_) {
    out << (entry.received ? "rx " : "tx ") << entry.us;
    for (const std::uint8_t byte : entry.bytes) {
      char hex[4];
      std::snprintf(hex, sizeof hex, " %02X", byte);
      out << hex;
    }
    out << '\n';
  }
  out.close();
  if (!out) return "traffic not written to " + path;
  return std::nullopt;
}

}  // namespace koral::emu
