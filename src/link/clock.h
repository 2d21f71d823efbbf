// Time for the link: a millisecond clock and the blocking wait that paces the
// protocol. The program waits for real; tests run on virtual time.
#pragma once

#include <cstdint>

namespace koral {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::int64_t NowMs() const = 0;
  // Blocks the calling thread; bytes that arrive meanwhile are read afterwards.
  virtual void Sleep(int ms) = 0;
};

}  // namespace koral
