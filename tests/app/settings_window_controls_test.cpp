// The settings window's editors: lists, up-downs, timer times, titler and clock,
// each through its handler into the banks and back through a refresh.
#include <algorithm>
#include <array>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

// The position of an item text, so a test names what the user picks.
int ItemPosition(const ListState& list, std::string_view text) {
  const auto found = std::find(list.items.begin(), list.items.end(), text);
  return found == list.items.end() ? -1 : static_cast<int>(found - list.items.begin());
}

TEST_F(SettingsWindowTest, pickedItem_writesItsPositionWithBankSharing) {
  const struct {
    const char *name, *control, *item;
    BankId active;
    RegisterAddress address;
    int value;
    bool reachesOtherBank;
  } cases[] = {{"capRefOnDay", "cmbExtInp", "CAP REF", BankId::Day, reg::kExternalInput, 6, false},
               {"mondayToFridayOnNight", "cmbTmr2", "M-F", BankId::Night, reg::kTimer2Days, 8, true},
               {"closedOnNight", "Cmbstate", "NC", BankId::Night, title::kRelayState, 1, false},
               {"closedOnDay", "Cmbstate", "NC", BankId::Day, title::kRelayState, 1, true},
               {"tasmaniaOnNight", "cmbDst", "TASMANIA", BankId::Night, datetime::kDaylightSaving, 4, true},
               {"udpOutputOnNight", "cmbOutputData", "UDP", BankId::Night, reg::kOutputData, 15, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    if (c.active == BankId::Night) window.AfterBankSwitch(BankId::Night);
    const int index = List(c.control);
    const int otherBefore = ReadBank(OtherBank(c.active), c.address);
    ASSERT_NE(otherBefore, c.value);
    window.SelectListItem(index, ItemPosition(window.List(index), c.item));
    EXPECT_EQ(window.List(index).position, c.value);
    EXPECT_EQ(ReadBank(c.active, c.address), c.value);
    EXPECT_EQ(ReadBank(OtherBank(c.active), c.address), c.reachesOtherBank ? c.value : otherBefore);
  }
}

TEST_F(SettingsWindowTest, registerBeyondListItems_leavesListUnselectedAndRegisterAsIs) {
  Open();
  const std::array<const char*, 4> lists = {"cmbRelay", "Cmbstate", "cmbBaudRate", "cmbOutputData"};
  const auto beyond = [this](const char* control) { return static_cast<int>(window.List(List(control)).items.size()); };
  for (const char* control : lists)
    Poke(BankId::Day, ListSettings()[static_cast<std::size_t>(List(control))].address, beyond(control));
  const auto followed = link.followedSpeeds;
  window.RefreshWindow();
  for (const char* control : lists) {
    SCOPED_TRACE(control);
    EXPECT_EQ(window.List(List(control)).position, std::nullopt);
    EXPECT_EQ(Read(ListSettings()[static_cast<std::size_t>(List(control))].address), beyond(control));
  }
  EXPECT_EQ(link.followedSpeeds, followed);
}

TEST_F(SettingsWindowTest, picked9600_followsOnSerialLinkOnlyAndSharesRegister39) {
  const int baud = List("cmbBaudRate");
  for (const LinkMode mode : {LinkMode::Serial, LinkMode::Udp}) {
    SCOPED_TRACE(mode == LinkMode::Serial ? "serial" : "network");
    link.followedSpeeds.clear();
    Open(UnitModel::Qt1Rx, VideoStandard::Ntsc, mode, 2);
    // Load, activation and a refresh to another speed (a file opened) show the
    // speed without moving the link.
    Poke(BankId::Day, reg::kUnitBaudRate, 4);
    window.RefreshWindow();
    EXPECT_EQ(window.List(baud).position, 4);
    EXPECT_EQ(link.followedSpeeds, std::vector<int>{});
    window.SelectListItem(baud, ItemPosition(window.List(baud), "9600,n,8,1"));
    EXPECT_EQ(link.followedSpeeds, (mode == LinkMode::Serial ? std::vector<int>{3} : std::vector<int>{}));
    EXPECT_EQ(ReadBank(BankId::Day, reg::kUnitBaudRate), 3);
    EXPECT_EQ(ReadBank(BankId::Night, reg::kUnitBaudRate), 3);
    EXPECT_TRUE(window.List(baud).enabled);
  }
}

TEST_F(SettingsWindowTest, setValue_writesRegisterAndLabel) {
  const struct {
    const char* control;
    int value;
    RegisterAddress address;
    const char* label;
    bool reachesOtherBank;
  } cases[] = {{"udAlarmOut", 0, reg::kAlarmOutputTime, "MAN", false},
               {"udAlarmOut", 1, reg::kAlarmOutputTime, "01", false},
               {"udExitDelay", 7, reg::kExitDelay, "07", false},
               {"udAddr", 127, reg::kUnitAddress, "127", true},
               {"udAddr", 5, reg::kUnitAddress, "05", true},
               {"udAlmCounter", 42, datetime::kAlarmCounter, "42", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.value));
    Open();
    const int nightBefore = ReadBank(BankId::Night, c.address);
    ASSERT_NE(nightBefore, c.value);
    window.SetNumber(Number(c.control), c.value);
    EXPECT_EQ(window.Number(Number(c.control)).value, c.value);
    EXPECT_EQ(window.NumberLabel(Number(c.control)).caption, c.label);
    EXPECT_EQ(ReadBank(BankId::Day, c.address), c.value);
    EXPECT_EQ(ReadBank(BankId::Night, c.address), c.reachesOtherBank ? c.value : nightBefore);
  }
}

TEST_F(SettingsWindowTest, entranceDelayRegister_refreshesUpDownOrOnlyItsLabel) {
  const int delay = Number("udEntDelay");
  struct Case {
    int stored, upDown;
    const char* label;
  };
  for (const Case c : {Case{99, 99, "99"}, Case{150, 12, "150"}, Case{0, 0, "00"}}) {
    SCOPED_TRACE(c.stored);
    Open();
    window.SetNumber(delay, 12);
    Poke(BankId::Day, reg::kEntranceDelay, c.stored);
    window.RefreshWindow();
    EXPECT_EQ(window.Number(delay).value, c.upDown);
    EXPECT_EQ(window.NumberLabel(delay).caption, c.label);
    EXPECT_EQ(Read(reg::kEntranceDelay), c.stored);
  }
}

TEST_F(SettingsWindowTest, verticalPosition_ntscStopsAt22AndWrapsToOne_palTakes26To27) {
  Open();
  const int vertical = Number("udVPosition");
  window.SetNumber(vertical, 23);
  EXPECT_EQ(window.Number(vertical).value, 21);
  EXPECT_EQ(Read(reg::kVerticalPosition), 21);
  window.SetNumber(vertical, 22);
  window.StepNumber(vertical, +1);
  EXPECT_EQ(window.Number(vertical).value, 1);
  EXPECT_EQ(window.NumberLabel(vertical).caption, "01");
  EXPECT_EQ(Read(reg::kVerticalPosition), 1);
  window.StepNumber(vertical, -1);
  EXPECT_EQ(Read(reg::kVerticalPosition), 22);
  session.videoStandard = VideoStandard::Pal;
  window.Activate(false);
  EXPECT_EQ(window.Number(vertical).maximum, 27);
  Open(UnitModel::Qt1Rx, VideoStandard::Pal);
  EXPECT_EQ(window.Number(vertical).value, 26);
  EXPECT_EQ(window.NumberLabel(vertical).caption, "26");
  window.SetNumber(vertical, 27);
  EXPECT_EQ(Read(reg::kVerticalPosition), 27);
  EXPECT_EQ(window.NumberLabel(vertical).caption, "27");
}

TEST_F(SettingsWindowTest, setTime_storesBcdInBothBanksAndLabel) {
  const struct {
    const char* name;  // the up-down
    int index;         // in TimeSettings()
    bool hour;
    int value;
    RegisterAddress address;
    std::uint8_t bcd;
    const char* label;
  } cases[] = {{"udTmr1StopHour", 1, true, 17, reg::kTimer1StopHour, 0x17, "17"},
               {"udTmrNgtStopMinute", 7, false, 5, reg::kNightStartMinute, 0x05, "05"},
               {"udTmrDayStartHour", 6, true, 0, reg::kDayStartHour, 0x00, "00"},
               {"udTmr3StartMinute", 4, false, 59, reg::kTimer3StartMinute, 0x59, "59"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    const auto set = [&](int value) {
      c.hour ? window.SetTimeHour(c.index, value) : window.SetTimeMinute(c.index, value);
    };
    set(c.value == 0 ? 1 : 0);  // a default equal to c.value would make the next call a no-op
    set(c.value);
    EXPECT_EQ((c.hour ? window.TimeHour(c.index) : window.TimeMinute(c.index)).value, c.value);
    EXPECT_EQ((c.hour ? window.TimeHourLabel(c.index) : window.TimeMinuteLabel(c.index)).caption, c.label);
    EXPECT_EQ(ReadBank(BankId::Night, c.address), c.bcd);
    const auto& stored = session.banks.Bank(BankId::Day).registers;
    const auto byte = static_cast<std::size_t>(2 * c.address.index);
    EXPECT_EQ(stored[byte], 0xD0 | (c.bcd >> 4));  // 17: 0xD1 0xD7
    EXPECT_EQ(stored[byte + 1], 0xD0 | (c.bcd & 0x0F));
  }
}

TEST_F(SettingsWindowTest, typedTitle_writesAllSixteenCodesAndRefreshesDecoded) {
  const struct {
    const char *typed, *kept;  // kept: what the box shows once typed
    std::vector<int> codes;    // then spaces (16) up to 16
    const char* shown;         // after a refresh
  } cases[] = {{"open", "open", {0, 32, 21, 30}, "0PEN"},
               {"A#B", "A#B", {17, 16, 18}, "A B"},
               {"                ", "                ", {}, ""},
               // One space code per character, whatever its UTF-8 length.
               {"Z\u00fcrich \u20ac5", "Z\u00fcrich \u20ac5", {42, 16, 34, 25, 19, 24, 16, 16, 5}, "Z RICH  5"},
               // Sixteen characters are 17 bytes here; the 17th character goes.
               {"ABCDEFGHIJKLMNP\u00e9Q",
                "ABCDEFGHIJKLMNP\u00e9",
                {17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 32, 16},
                "ABCDEFGHIJKLMNP"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    Open();
    std::vector<int> expected = c.codes;
    expected.resize(kTitleLength, 16);
    window.SetTitleText(c.typed);
    EXPECT_EQ(window.TitleText(), c.kept);
    window.RefreshWindow();
    EXPECT_EQ(window.TitleText(), c.shown);
    std::vector<int> stored;
    for (int p = 0; p < kTitleLength; ++p)
      stored.push_back(Read(title::Character(p)));
    EXPECT_EQ(stored, expected);
  }
}

TEST_F(SettingsWindowTest, refresh_showsUnusedTitleCodesAsSpacesAndBcdTimesAsDecimal) {
  Open();
  const std::array<int, 4> codes = {17, 31, 50, 18};
  for (int p = 0; p < kTitleLength; ++p)
    Poke(BankId::Day, title::Character(p), p < 4 ? codes[static_cast<std::size_t>(p)] : 16);
  Poke(BankId::Day, reg::kNightStartHour, 0x21);
  window.RefreshWindow();
  EXPECT_EQ(window.TitleText(), "A  B");
  EXPECT_EQ(window.TimeHour(7).value, 21);
  EXPECT_EQ(window.TimeHourLabel(7).caption, "21");
}

TEST_F(SettingsWindowTest, clockTick_writesActiveBankOnlyAndKeepsModifiedFlag) {
  Open();
  clock.now = {2006, 12, 31, 23, 59, 7, 1};
  const std::array<int, 7> expected = {0x12, 0x31, 0x06, 0x23, 0x59, 0x07, 1};
  for (const auto& [active, modified] : {std::pair{BankId::Day, true}, {BankId::Day, false}, {BankId::Night, false}}) {
    SCOPED_TRACE(std::string(BankName(active)) + (modified ? " modified" : " clean"));
    window.AfterBankSwitch(active);
    session.banks.SetSettingsModified(modified);
    const auto otherClock = session.banks.Bank(OtherBank(active)).dateTime;
    window.UpdateClockRegisters();
    for (int i = 0; i < 7; ++i)
      EXPECT_EQ(ReadBank(active, {RegisterClass::DateTime, i}), expected[static_cast<std::size_t>(i)]) << i;
    const ClockLabels& shown = window.Clock();
    EXPECT_EQ(std::vector<std::string>(
                  {shown.month, shown.day, shown.year, shown.hour, shown.minute, shown.second, shown.weekday}),
              std::vector<std::string>({"DEC", "31", "06", "23", "59", "07", "SUN"}));
    EXPECT_EQ(session.banks.SettingsModified(), modified);
    EXPECT_EQ(session.banks.Bank(OtherBank(active)).dateTime, otherClock);
  }
}

SettingsParts Parts(std::initializer_list<SettingsPart> parts) {
  SettingsParts all = 0;
  for (const SettingsPart part : parts)
    all |= static_cast<SettingsParts>(part);
  return all;
}

TEST_F(SettingsWindowTest, changeListener_reportsOncePerActionExactlyThePartsItChanged) {
  Open();
  std::vector<SettingsParts> reported;
  window.SetChangeListener([&reported](SettingsParts parts) { reported.push_back(parts); });
  clock.now = {2006, 12, 31, 23, 59, 7, 1};
  // In order, each on what the one before left; an empty list: no notification.
  const std::vector<std::tuple<const char*, std::function<void()>, std::vector<SettingsParts>>> actions = {
      {"clockTick", [this] { window.UpdateClockRegisters(); }, {Parts({SettingsPart::Clock})}},
      {"clockTickSameSecond", [this] { window.UpdateClockRegisters(); }, {}},
      {"titleEdit", [this] { window.SetTitleText("HELLO"); }, {Parts({SettingsPart::Title})}},
      {"titleUnchanged", [this] { window.SetTitleText("HELLO"); }, {}},
      {"relayPicked", [this] { window.SelectListItem(List("cmbRelay"), 5); }, {Parts({SettingsPart::Lists})}},
      {"addressSet", [this] { window.SetNumber(Number("udAddr"), 9); }, {Parts({SettingsPart::Numbers})}},
      {"addressUnchanged", [this] { window.SetNumber(Number("udAddr"), 9); }, {}},
      {"minuteSet", [this] { window.SetTimeMinute(0, 45); }, {Parts({SettingsPart::Times})}},
      {"bankSwitch",
       [this] {
         Poke(BankId::Night, reg::kRelayOutput, 2);
         Poke(BankId::Night, title::Character(0), 18);
         window.AfterBankSwitch(BankId::Night);
       },
       {Parts({SettingsPart::Lists, SettingsPart::Title, SettingsPart::Caption})}},
      {"paintZoneAndCell",
       [this] {
         window.SelectPaintZone(kPaintNoZone);
         window.PressCell(30);
         window.ReleaseStroke();
       },
       {Parts({SettingsPart::ZoneGrid}), Parts({SettingsPart::ZoneGrid})}},
      {"linkState", [this] { window.ShowLinkState(true); }, {Parts({SettingsPart::Caption})}},
      {"missedPolls", [this] { window.ShowMissedPolls(3); }, {Parts({SettingsPart::Caption})}},
      {"progress", [this] { window.ProgressStart(); }, {Parts({SettingsPart::Progress})}},
      {"timerStopped", [this] { window.StopMainTimer(); }, {Parts({SettingsPart::MainTimer})}},
      {"activated", [this] { window.Activate(false); }, {Parts({SettingsPart::MainTimer, SettingsPart::Caption})}},
      {"activatedAgain", [this] { window.Activate(false); }, {}},
  };
  for (const auto& [name, action, expected] : actions) {
    SCOPED_TRACE(name);
    reported.clear();
    action();
    EXPECT_EQ(reported, expected);
  }
}

}  // namespace
}  // namespace koral::testing_support
