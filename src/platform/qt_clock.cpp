#include "platform/qt_clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace koral {
namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
// A sleeping thread wakes some tens of microseconds after its time, more on a
// busy or virtual machine; the last stretch of a wait is spent awake instead.
// On the 10 ms after a byte that is 2 % of a core while the link is busy.
constexpr std::int64_t kAwakeNs = 200'000;

}  // namespace

QtClock::QtClock() {
  timer_.start();
}

std::int64_t QtClock::NowMs() const {
  return timer_.elapsed();
}

void QtClock::Sleep(int ms) {
  if (ms <= 0) return;
  const std::int64_t deadline = timer_.nsecsElapsed() + ms * kNsPerMs;
  for (;;) {
    if (pump_ != nullptr && timer_.nsecsElapsed() - lastPumpNs_ >= kPumpEveryMs * kNsPerMs) {
      pump_->Pump();
      lastPumpNs_ = timer_.nsecsElapsed();
    }
    // A wait may be longer than asked, never shorter: a sleep that woke early
    // goes round again.
    const std::int64_t left = deadline - timer_.nsecsElapsed();
    if (left <= 0) return;
    if (left <= kAwakeNs) continue;  // awake: a yield could hand the core away for a whole time slice
    const std::int64_t asleep = left - kAwakeNs;
    std::this_thread::sleep_for(
        std::chrono::nanoseconds(pump_ == nullptr ? asleep : std::min<std::int64_t>(asleep, kPumpEveryMs * kNsPerMs)));
  }
}

}  // namespace koral
