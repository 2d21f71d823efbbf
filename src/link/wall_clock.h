// The PC's local date and time, injected so the clock registers can be tested.
#pragma once

namespace koral {

struct LocalTime {
  int year = 2000;  // four digits
  int month = 1;    // 1..12
  int day = 1;      // 1..31
  int hour = 0;     // 0..23
  int minute = 0;
  int second = 0;
  int weekday = 1;  // 1 = Sunday .. 7 = Saturday
};

class WallClock {
 public:
  virtual ~WallClock() = default;
  virtual LocalTime Now() const = 0;
};

}  // namespace koral
