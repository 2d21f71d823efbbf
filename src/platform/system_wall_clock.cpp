#include "platform/system_wall_clock.h"

namespace koral {

LocalTime LocalTimeFrom(const QDateTime& dateTime) {
  const QDate date = dateTime.date();
  const QTime time = dateTime.time();
  LocalTime local;
  local.year = date.year();
  local.month = date.month();
  local.day = date.day();
  local.hour = time.hour();
  local.minute = time.minute();
  local.second = time.second();
  // Qt counts Monday = 1 .. Sunday = 7.
  local.weekday = date.dayOfWeek() % 7 + 1;
  return local;
}

LocalTime SystemWallClock::Now() const {
  return LocalTimeFrom(QDateTime::currentDateTime());
}

}  // namespace koral
