#include "platform/precise_sleep.h"

#include <chrono>
#include <thread>

#if defined(__linux__)
#include <sys/prctl.h>
#elif defined(_WIN32)
#include <timeapi.h>
#include <windows.h>
#endif

namespace koral {
namespace {

#if defined(__linux__)
constexpr unsigned long kTimerSlackNs = 1;
constexpr unsigned long kDefaultTimerSlackNs = 50'000;
#elif defined(_WIN32)
constexpr unsigned kTimerPeriodMs = 1;
#endif

}  // namespace

PreciseSleepScope::PreciseSleepScope() {
#if defined(__linux__)
  prctl(PR_SET_TIMERSLACK, kTimerSlackNs);
#elif defined(_WIN32)
  timeBeginPeriod(kTimerPeriodMs);
#endif
}

PreciseSleepScope::~PreciseSleepScope() {
#if defined(__linux__)
  prctl(PR_SET_TIMERSLACK, kDefaultTimerSlackNs);
#elif defined(_WIN32)
  timeEndPeriod(kTimerPeriodMs);
#endif
}

void SleepNs(std::int64_t ns) {
  if (ns > 0) std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
}

}  // namespace koral
