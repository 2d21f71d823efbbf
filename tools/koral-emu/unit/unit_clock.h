// The unit's sense of time: milliseconds from an arbitrary start. The program
// reads a steady clock; tests move a virtual one by hand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace koral::emu {

class UnitClock {
 public:
  virtual ~UnitClock() = default;
  virtual std::int64_t NowMs() const = 0;
};

// Where the unit's readable log lines go (one line per call, no line end).
using LogSink = std::function<void(const std::string&)>;

}  // namespace koral::emu
