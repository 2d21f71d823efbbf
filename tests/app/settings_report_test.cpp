#include "app/settings_report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/session.h"

namespace koral {
namespace {

const SettingRow* Find(const std::vector<SettingRow>& rows, const std::string& name) {
  for (const auto& row : rows) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

class SettingsReport : public testing::Test {
 protected:
  SettingsReport() { LoadFactorySettings(session_); }

  std::pair<std::string, std::string> Values(const std::string& name) {
    const auto rows = DescribeSettings(session_.banks);
    const SettingRow* row = Find(rows, name);
    if (row == nullptr) return {"<missing>", "<missing>"};
    return {row->day, row->night};
  }

  void WriteNight(RegisterAddress address, int value) {
    session_.banks.SetActiveBank(BankId::Night);
    session_.banks.WriteRegister(address, static_cast<std::uint8_t>(value));
    session_.banks.SetActiveBank(BankId::Day);
  }

  Session session_;
};

TEST_F(SettingsReport, defaultsReadAsTheWindowShowsThem) {
  using P = std::pair<std::string, std::string>;
  EXPECT_EQ(Values("Mode"), P("Motion 1 Area", "Motion 1 Area"));
  EXPECT_EQ(Values("Zone H Trigger"), P("1867", "1867"));
  EXPECT_EQ(Values("Zone A Track"), P("0.4s", "0.4s"));
  EXPECT_EQ(Values("Relay Output"), P("ALARM", "ALARM"));
  EXPECT_EQ(Values("Timer1 Stop"), P("17:00", "17:00"));
  EXPECT_EQ(Values("Night Start"), P("18:30", "18:30"));
  EXPECT_EQ(Values("Alarm Output Time"), P("02", "02"));
  EXPECT_EQ(Values("Title"), P("\"QT-1RX NTSC\"", "\"QT-1RX NTSC\""));
  EXPECT_EQ(Values("Row 01"), P(std::string(24, 'A'), std::string(24, 'A')));
  EXPECT_EQ(Values("Baud Rate"), P("1200,n,8,1", "1200,n,8,1"));
}

TEST_F(SettingsReport, nightValuesAndValuesTheWindowCannotShow) {
  using P = std::pair<std::string, std::string>;
  WriteNight(reg::kAlarmOutputTime, 0);
  WriteNight(reg::kRelayOutput, 3);
  WriteNight(reg::kCalendar, 9);
  WriteNight(reg::TrackTime(1), 199);
  WriteNight(reg::kMotionMode, 15);
  WriteNight(zone::Cell(0), 8);
  WriteNight(zone::Cell(1), 9);
  WriteNight(reg::kEntranceDelay, 150);
  EXPECT_EQ(Values("Alarm Output Time"), P("02", "MAN"));
  EXPECT_EQ(Values("Relay Output"), P("ALARM", "TIMER1"));
  EXPECT_EQ(Values("Calendar"), P("MMM-DD-YY", "? (9)"));
  EXPECT_EQ(Values("Zone B Track"), P("0.4s", "? (199)"));
  EXPECT_EQ(Values("Mode"), P("Motion 1 Area", "PTZ"));
  EXPECT_EQ(Values("Row 01").second, "-?" + std::string(22, 'A'));
  EXPECT_EQ(Values("Entrance Delay"), P("00", "150"));
}

TEST_F(SettingsReport, tableHasAHeadingAndOneBlockPerTab) {
  const std::string text = FormatSettingsReport(DescribeSettings(session_.banks));
  EXPECT_THAT(text, testing::StartsWith("Setting"));
  for (const char* section : {"[Motion]", "[Zone]", "[Alarms]", "[Timers]", "[Screen]", "[Titler]", "[Date-Time]",
                              "[Serial Port]", "[Video Loss]"}) {
    EXPECT_THAT(text, testing::HasSubstr(std::string("\n") + section + "\n"));
  }
  EXPECT_THAT(text, testing::ContainsRegex("\nRelay State +NO +NO\n"));
  EXPECT_THAT(text, testing::Not(testing::HasSubstr(" \n")));
}

}  // namespace
}  // namespace koral
