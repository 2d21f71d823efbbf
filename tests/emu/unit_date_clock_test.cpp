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

class UnitDateClockRun : public testing::TestWithParam<RunCase> {};

TEST_P(UnitDateClockRun, elapsedTime_carriesIntoTheDate) {
  const UnitDateClock clock(GetParam().start, 1000);
  EXPECT_EQ(clock.Now(1000 + GetParam().elapsedMs), GetParam().now);
}

INSTANTIATE_TEST_SUITE_P(
    Moments, UnitDateClockRun,
    testing::Values(RunCase{"withinASecond", {2025, 12, 25, 9, 30, 45}, 999, {2025, 12, 25, 9, 30, 45}},
                    RunCase{"nextMinute", {2025, 12, 25, 9, 30, 45}, 15'000, {2025, 12, 25, 9, 31, 0}},
                    RunCase{"newYear", {2025, 12, 31, 23, 59, 59}, 1'000, {2026, 1, 1, 0, 0, 0}},
                    RunCase{"leapDay", {2024, 2, 28, 23, 0, 0}, 3'600'000, {2024, 2, 29, 0, 0, 0}}),
    [](const testing::TestParamInfo<RunCase>& p) { return std::string(p.param.name); });

std::array<std::uint8_t, 18> DateTimeBytes(std::array<std::uint8_t, 9> values) {
  std::array<std::uint8_t, 18> bytes{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    bytes[2 * i] = HighDataByte(values[i]);
    bytes[2 * i + 1] = LowDataByte(values[i]);
  }
  return bytes;
}

TEST(UnitDateClock, downloadedClockRegisters_giveTheMoment) {
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({0x12, 0x25, 0x25, 0x09, 0x30, 0x45, 5, 0, 0})),
            (CivilTime{2025, 12, 25, 9, 30, 45}));
}

TEST(UnitDateClock, clockRegistersNamingNoDay_areRefused) {
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({})), std::nullopt);
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({0x02, 0x30, 0x25, 0, 0, 0, 1, 0, 0})), std::nullopt);
  EXPECT_EQ(CivilTimeFromDateTime(DateTimeBytes({0x02, 0x03, 0x25, 0x24, 0, 0, 1, 0, 0})), std::nullopt);
}

}  // namespace
}  // namespace koral::emu
