// What crossed the line and when, for timing runs: every byte the unit
// received and every frame it sent, each with the microsecond it happened on
// the emulator's steady clock. Kept in memory and written out once, on exit,
// so that recording costs the line nothing while it runs.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace koral::emu {

class TrafficStamps {
 public:
  void Received(std::span<const std::uint8_t> bytes);
  void Sent(std::span<const std::uint8_t> frame);

  // One line each, oldest first: "rx <us> <hex byte>" or "tx <us> <hex bytes>".
  // The reason it could not be written, if any.
  std::optional<std::string> Write(const std::string& path) const;

 private:
  struct Entry {
    std::int64_t us;
    bool received;
    std::vector<std::uint8_t> bytes;
  };
  std::int64_t NowUs() const;

  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::vector<Entry> entries_;
};

}  // namespace koral::emu
