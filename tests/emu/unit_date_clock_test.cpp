#include "unit/unit_date_clock.h"

#include <gtest/gtest.h>

#include "model/data_byte.h"

namespace koral::emu {
namespace {

struct RunCase {
  const char* name;
  CivilTime start;
  std::int64_t elapsedMs;
  CivilTime now;
};

TEST(UnitDateClock, elapsedTime_carriesIntoTheDate) {
  const RunCase cases[] = {{"withinASecond", {2025, 12, 25, 9, 30, 45}, 999, {2025, 12, 25, 9, 30, 45}},
                           {"nextMinute", {2025, 12, 25, 9, 30, 45}, 15'000, {2025, 12, 25, 9, 31, 0}},
                           {"newYear", {2025, 12, 31, 23, 59, 59}, 1'000, {2026, 1, 1, 0, 0, 0}},
                           {"leapDay", {2024, 2, 28, 23, 0, 0}, 3'600'000, {2024, 2, 29, 0, 0, 0}}};
  for (const RunCase& c : cases)
    EXPECT_EQ(UnitDateClock(c.start, 1000).Now(1000 + c.elapsedMs), c.now) << c.name;
}

std::array<std::uint8_t, 18> DateTimeBytes(std::array<std::uint8_t, 9> values) {
  std::array<std::uint8_t, 18> bytes{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    bytes[2 * i] = HighDataByte(values[i]);
    bytes[2 * i + 1] = LowDataByte(values[i]);
  }
  return bytes;
}

TEST(UnitDateClock, downloadedClockRegisters_giveTheMomentOrNoneWhenTheyNameNoDay) {
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({0x12, 0x25, 0x25, 0x09, 0x30, 0x45, 5, 0, 0})),
            (CivilTime{2025, 12, 25, 9, 30, 45}));
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({})), std::nullopt);
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({0x02, 0x30, 0x25, 0, 0, 0, 1, 0, 0})), std::nullopt);
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({0x02, 0x03, 0x25, 0x24, 0, 0, 1, 0, 0})), std::nullopt);
}

}  // namespace
}  // namespace koral::emu
