// The PC's local date and time.
#pragma once

#include <QDateTime>

#include "link/wall_clock.h"

namespace koral {

// The fields of a local date and time; weekday 1 = Sunday .. 7 = Saturday.
LocalTime LocalTimeFrom(const QDateTime& dateTime);

class SystemWallClock final : public WallClock {
 public:
  LocalTime Now() const override;
};

}  // namespace koral
