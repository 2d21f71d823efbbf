// The unit's own calendar clock, for the time stamps of its output data. It
// runs from the time it was set (the host's clock at start, then every
// Date-Time frame of a download) on the unit's millisecond clock.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace koral::emu {

struct CivilTime {
  int year = 2000;  // four digits
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// A bank's Date-Time bytes 0..11 (month, day, year, hour, minute, second in
// BCD); nothing when they do not name a valid moment.
std::optional<CivilTime> CivilTimeFromDateTime(const std::array<std::uint8_t, 18>& dateTime);

class UnitDateClock {
 public:
  UnitDateClock(CivilTime start, std::int64_t atMs) { Set(start, atMs); }
  void Set(CivilTime time, std::int64_t atMs);
  CivilTime Now(std::int64_t nowMs) const;

 private:
  std::int64_t baseSeconds_ = 0;  // since 1970, as if the unit's local time were UTC
  std::int64_t baseMs_ = 0;
};

}  // namespace koral::emu
