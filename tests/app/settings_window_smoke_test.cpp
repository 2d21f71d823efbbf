#include "app/day_night_switcher_model.h"
#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

TEST_F(SettingsWindowTest, loadShowsDayDefaultsUnmodified) {
  Open();
  EXPECT_FALSE(session.banks.SettingsModified());
  EXPECT_EQ(session.banks.ActiveBank(), BankId::Day);
  EXPECT_EQ(window.MotionModeList().position, 1);
  EXPECT_EQ(window.ZoneCaption(0), 'A');
  EXPECT_TRUE(window.ZoneButtonEnabled(0));
  EXPECT_FALSE(window.ZoneButtonEnabled(1));
  EXPECT_TRUE(window.ZoneButtonEnabled(8));
  EXPECT_TRUE(window.MotionRow(0).trigger.visible);
  EXPECT_FALSE(window.MotionRow(1).trigger.visible);
  EXPECT_EQ(window.MotionRow(7).triggerLabel.caption, "1867");
  EXPECT_EQ(window.TitleText(), "QT-1RX NTSC");
  EXPECT_EQ(window.Caption(), "KORAL ,DAY ,Video OK");
  EXPECT_EQ(window.List(List("cmbBaudRate")).position, 2);
}

}  // namespace
}  // namespace koral::testing_support

namespace koral::testing_support {
namespace {

TEST_F(SettingsWindowTest, dayNightSwitcher_opensOnTheActiveBankAndOnlyOkSwitches) {
  Open();
  DayNightSwitcherModel switcher;
  session.banks.SetActiveBank(BankId::Night);
  switcher.Open(session.banks.ActiveBank());
  EXPECT_EQ(switcher.Selected(), BankId::Night);

  switcher.Choose(BankId::Day);
  window.AfterBankSwitch(DayNightSwitcherModel::Cancel());
  EXPECT_EQ(session.banks.ActiveBank(), BankId::Night);

  window.AfterBankSwitch(switcher.Ok());
  EXPECT_EQ(session.banks.ActiveBank(), BankId::Day);
}

}  // namespace
}  // namespace koral::testing_support
