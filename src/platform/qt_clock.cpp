#include "platform/qt_clock.h"

#include <QThread>
#include <algorithm>

namespace koral {
namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;

}  // namespace

QtClock::QtClock() {
  timer_.start();
}

std::int64_t QtClock::NowMs() const {
  return timer_.elapsed();
}

void QtClock::Sleep(int ms) {
  if (ms <= 0) return;
  if (pump_ == nullptr) {
    QThread::msleep(static_cast<unsigned long>(ms));
    return;
  }
  const std::int64_t deadline = timer_.nsecsElapsed() + ms * kNsPerMs;
  for (;;) {
    const std::int64_t now = timer_.nsecsElapsed();
    if (now - lastPumpNs_ >= kPumpEveryMs * kNsPerMs) {
      pump_->Pump();
      lastPumpNs_ = timer_.nsecsElapsed();
    }
    const std::int64_t left = deadline - timer_.nsecsElapsed();
    if (left <= 0) return;
    // Round up: a wait may be longer than asked, never shorter.
    const std::int64_t slice = std::min<std::int64_t>(left, kPumpEveryMs * kNsPerMs);
    QThread::usleep(static_cast<unsigned long>((slice + 999) / 1000));
  }
}

}  // namespace koral
