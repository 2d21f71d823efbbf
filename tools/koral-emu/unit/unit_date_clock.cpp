#include "unit/unit_date_clock.h"

#include <chrono>

#include "model/bcd.h"
#include "model/data_byte.h"

namespace koral::emu {
namespace {

using namespace std::chrono;

constexpr int kCentury = 2000;

int Field(const std::array<std::uint8_t, 18>& dateTime, std::size_t index) {
  return BcdToDecimal(JoinDataBytes(dateTime[2 * index], dateTime[2 * index + 1]));
}

year_month_day Date(const CivilTime& time) {
  return year_month_day{year{time.year}, month{static_cast<unsigned>(time.month)},
                        day{static_cast<unsigned>(time.day)}};
}

}  // namespace

std::optional<CivilTime> CivilTimeFromDateTime(const std::array<std::uint8_t, 18>& dateTime) {
  CivilTime time{kCentury + Field(dateTime, 2),
                 Field(dateTime, 0),
                 Field(dateTime, 1),
                 Field(dateTime, 3),
                 Field(dateTime, 4),
                 Field(dateTime, 5)};
  if (time.month < 1 || time.month > 12 || time.day < 1 || time.day > 31) return std::nullopt;
  if (!Date(time).ok() || time.hour > 23 || time.minute > 59 || time.second > 59) return std::nullopt;
  return time;
}

void UnitDateClock::Set(CivilTime time, std::int64_t atMs) {
  const sys_seconds at = sys_days(Date(time)) + hours{time.hour} + minutes{time.minute} + seconds{time.second};
  baseSeconds_ = at.time_since_epoch().count();
  baseMs_ = atMs;
}

CivilTime UnitDateClock::Now(std::int64_t nowMs) const {
  const sys_seconds now{seconds{baseSeconds_ + (nowMs - baseMs_) / 1000}};
  const sys_days today = floor<days>(now);
  const year_month_day date{today};
  const hh_mm_ss<seconds> clock{now - today};
  return CivilTime{static_cast<int>(date.year()),
                   static_cast<int>(static_cast<unsigned>(date.month())),
                   static_cast<int>(static_cast<unsigned>(date.day())),
                   static_cast<int>(clock.hours().count()),
                   static_cast<int>(clock.minutes().count()),
                   static_cast<int>(clock.seconds().count())};
}

}  // namespace koral::emu
