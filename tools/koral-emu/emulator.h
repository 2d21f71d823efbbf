// Runs a Unit on the event loop: bytes from the line go in as they arrive, a
// timer wakes the unit when it has something due, and the frames it sends go
// out through the line, one write each.
#pragma once

#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "unit/unit.h"

namespace koral::emu {

class SteadyClock final : public UnitClock {
 public:
  std::int64_t NowMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

class Emulator {
 public:
  using WriteFrame = std::function<void(const Bytes&)>;

  Emulator(Unit& unit, const UnitClock& clock, WriteFrame write, std::optional<std::string> dumpFile, LogSink log);

  void Receive(std::span<const std::uint8_t> bytes);
  void Receive(std::uint8_t byte);
  void ToggleVideoLoss();
  // Writes the settings file of --dump, if one was asked for.
  void Dump();
  // Lets the unit send what is due and sets the timer for its next wake.
  void Pump();

 private:
  Unit& unit_;
  const UnitClock& clock_;
  WriteFrame write_;
  std::optional<std::string> dumpFile_;
  LogSink log_;
  QTimer timer_;
};

}  // namespace koral::emu
