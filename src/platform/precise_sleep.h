// Wake-ups on time. The link's waits are many and short (10 ms after every
// byte), so what the system adds to each one adds up: Linux lets a sleeping
// thread wake up to 50 us late by default, and Windows counts sleeps in
// 15.6 ms steps unless asked for a finer timer.
#pragma once

namespace koral {

// Asks the system for wake-ups on time for the calling thread, for as long as
// the object lives.
class PreciseSleepScope {
 public:
  PreciseSleepScope();
  ~PreciseSleepScope();
  PreciseSleepScope(const PreciseSleepScope&) = delete;
  PreciseSleepScope& operator=(const PreciseSleepScope&) = delete;
};

}  // namespace koral
