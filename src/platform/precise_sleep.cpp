#include "platform/precise_sleep.h"

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

}  // namespace koral
