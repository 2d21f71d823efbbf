#include <filesystem>
#include <random>
#include <string>

#include "model/defaults.h"
#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

constexpr int kPtz = 15;

class MotionTabTest : public SettingsWindowTest {
 protected:
  // Everything the user sees of the editor for the active mode: rows, their
  // values, the zone buttons and the grid.
  std::string EditorShape() const {
    std::string shape;
    for (int z = 0; z < kZoneCount; ++z) {
      const MotionRowState& row = window.MotionRow(z);
      for (const bool flag : {row.trigger.visible, row.trigger.enabled, row.sensitivity.visible,
                              row.sensitivity.enabled, row.track.visible, row.track.enabled, row.triggerLabel.visible,
                              row.sensitivityLabel.visible, row.trackLabel.visible})
        shape += flag ? '1' : '0';
      shape += ' ' + row.triggerLabel.caption + ' ' + row.sensitivityLabel.caption + ' ' + row.trackLabel.caption + '|';
    }
    for (int k = 0; k < kZoneButtonCount; ++k)
      shape += window.ZoneButtonEnabled(k) ? 'B' : '.';
    for (int c = 0; c < kZoneCellCount; ++c)
      shape += window.ZoneCaption(c);
    return shape;
  }
};

TEST_F(MotionTabTest, motionThreeAreas_showsAndEditsRowsAToCOnlyAndEnablesButtonsAToC) {
  Open();
  window.SelectMotionMode(3);
  EXPECT_EQ(Read(reg::kMotionMode), 3);
  EXPECT_EQ(ReadBank(BankId::Night, reg::kMotionMode), 1);
  for (int z = 0; z < kZoneCount; ++z) {
    const MotionRowState& row = window.MotionRow(z);
    const bool shown = z < 3;
    EXPECT_EQ(row.caption, std::string("ZONE ") + static_cast<char>('A' + z));
    for (const UpDownState* upDown : {&row.trigger, &row.sensitivity, &row.track}) {
      EXPECT_EQ(upDown->visible, shown) << z;
      EXPECT_EQ(upDown->enabled, shown) << z;
    }
    for (const LabelState* label : {&row.triggerLabel, &row.sensitivityLabel, &row.trackLabel})
      EXPECT_EQ(label->visible, shown) << z;
  }
  for (int k = 0; k < kZoneButtonCount; ++k)
    EXPECT_EQ(window.ZoneButtonEnabled(k), k < 3 || k == kPaintNoZone) << k;
  // Edits of a hidden row are refused.
  session.banks.SetSettingsModified(false);
  window.SetSensitivity(3, 10);
  window.SetTriggerLevel(3, 10);
  window.SetTrackTime(3, 10);
  EXPECT_EQ(window.MotionRow(3).sensitivity.value, 50);
  EXPECT_EQ(window.MotionRow(3).trigger.value, 843);
  EXPECT_EQ(window.MotionRow(3).track.value, 4);
  EXPECT_EQ(Read(reg::Sensitivity(3)), 50);
  EXPECT_EQ(Read(reg::TrackTime(3)), 4);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet, DefaultNormalParameterSet());
  EXPECT_FALSE(session.banks.SettingsModified());
  window.SetSensitivity(2, 7);
  EXPECT_EQ(window.MotionRow(2).sensitivityLabel.caption, "07");
  EXPECT_EQ(Read(reg::Sensitivity(2)), 7);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[2], 7);
}

TEST_F(MotionTabTest, mode_givesSameEditorAsReference) {
  const struct {
    const char* name;
    int mode;
    int sameAs;
  } cases[] = {{"directionAB", 9, 2},  {"directionBA", 10, 2}, {"directionAll", 11, 8},
               {"motionless1", 12, 1}, {"motionless8", 13, 8}, {"museum", 14, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    window.SelectMotionMode(8);
    for (int z = 0; z < kZoneCount; ++z) {
      window.SelectPaintZone(z);
      window.PressCell(100 + z);
      window.ReleaseStroke();
    }
    window.SelectMotionMode(c.sameAs);
    const std::string reference = EditorShape();
    window.SelectMotionMode(8);
    window.SelectMotionMode(c.mode);
    EXPECT_EQ(EditorShape(), reference);
    EXPECT_EQ(Read(reg::kMotionMode), c.mode);
  }
}

TEST_F(MotionTabTest, ptzAfterNormalMode_loadsPtzSetAndLaterRestoresNormalEdits) {
  Open();
  window.SelectMotionMode(8);
  EXPECT_EQ(window.MotionRow(7).trigger.value, 1867);
  EXPECT_EQ(window.MotionRow(7).triggerLabel.caption, "1867");
  window.SetSensitivity(5, 33);
  window.SetTriggerLevel(6, 1000);
  window.SetTrackTime(7, 120);
  window.SelectMotionMode(kPtz);
  for (int z = 0; z < kZoneCount; ++z) {
    const MotionRowState& row = window.MotionRow(z);
    const bool corner = z >= 4;
    EXPECT_TRUE(row.trigger.visible && row.sensitivity.enabled && row.track.enabled) << z;
    EXPECT_EQ(row.sensitivityLabel.caption, corner ? "70" : "50") << z;
    EXPECT_EQ(row.trigger.value, corner ? 50 : 75 + 256 * z) << z;
    EXPECT_EQ(row.trackLabel.caption, corner ? "0.1s" : "0.4s") << z;
    EXPECT_EQ(Read(reg::Sensitivity(z)), corner ? 70 : 50) << z;
    EXPECT_EQ(Read(reg::TriggerLevelLow(z)), corner ? 50 : 75) << z;
    EXPECT_EQ(Read(reg::TriggerLevelHigh(z)), corner ? 0 : z) << z;
    EXPECT_EQ(Read(reg::TrackTime(z)), corner ? 1 : 4) << z;
  }
  for (int k = 0; k < kZoneButtonCount; ++k)
    EXPECT_EQ(window.ZoneButtonEnabled(k), k < 4 || k == kPaintNoZone) << k;
  EXPECT_EQ(window.ZoneCaption(0), 'E');
  EXPECT_EQ(window.ZoneCaption(287), 'H');
  window.SelectMotionMode(8);
  EXPECT_EQ(window.MotionRow(4).sensitivity.value, 50);
  EXPECT_EQ(window.MotionRow(5).sensitivity.value, 33);
  EXPECT_EQ(window.MotionRow(6).triggerLabel.caption, "1000");
  EXPECT_EQ(window.MotionRow(7).trackLabel.caption, "30s");
  EXPECT_EQ(Read(reg::Sensitivity(5)), 33);
  EXPECT_EQ(Read(reg::TriggerLevelLow(6)), 232);
  EXPECT_EQ(Read(reg::TriggerLevelHigh(6)), 3);
  EXPECT_EQ(Read(reg::TrackTime(7)), 120);
}

TEST_F(MotionTabTest, triggerEditInDayPtz_changesOnlyDayPtzSet) {
  Open();
  window.SelectMotionMode(kPtz);
  const RegisterBank night = session.banks.Bank(BankId::Night);
  const MotionParameterSet dayNormal = session.banks.Bank(BankId::Day).normalSet;
  MotionParameterSet dayPtz = session.banks.Bank(BankId::Day).ptzSet;
  window.SetTriggerLevel(2, 300);
  EXPECT_EQ(window.MotionRow(2).triggerLabel.caption, "300");
  EXPECT_EQ(ReadBank(BankId::Day, Reg(58)), 44);
  EXPECT_EQ(ReadBank(BankId::Day, Reg(59)), 1);
  dayPtz[12] = 44;
  dayPtz[13] = 1;
  EXPECT_EQ(session.banks.Bank(BankId::Day).ptzSet, dayPtz);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet, dayNormal);
  EXPECT_EQ(session.banks.Bank(BankId::Night), night);
}

TEST_F(SettingsWindowTest, trackEdit_showsLabelOfKeptValue) {
  const struct {
    int code;
    int kept;
    const char* label;
  } cases[] = {{0, 0, "0.0s"}, {198, 198, "5.00m"}, {199, 4, "0.4s"}, {-1, 4, "0.4s"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Open();
    window.SetTrackTime(0, c.code);
    EXPECT_EQ(window.MotionRow(0).track.value, c.kept);
    EXPECT_EQ(window.MotionRow(0).trackLabel.caption, c.label);
    EXPECT_EQ(Read(reg::TrackTime(0)), c.kept);
  }
}

TEST_F(SettingsWindowTest, rawTriggerBytes_showUnsignedLevel) {
  const struct {
    int low;
    int high;
    int shown;
    const char* label;
  } cases[] = {{255, 255, 65535, "65535"}, {0, 128, 32768, "32768"}, {44, 1, 300, "300"}, {5, 0, 5, "05"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Open();
    Poke(BankId::Day, reg::TriggerLevelLow(0), c.low);
    Poke(BankId::Day, reg::TriggerLevelHigh(0), c.high);
    window.RefreshWindow();
    EXPECT_EQ(window.MotionRow(0).trigger.value, c.shown);
    EXPECT_EQ(window.MotionRow(0).triggerLabel.caption, c.label);
    EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[8], c.low);
    EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[9], c.high);
  }
}

TEST_F(MotionTabTest, registerBeyondUpDownRange_keepsUpDownAndHandlerDoesNotRun) {
  Open();
  window.SetSensitivity(0, 20);
  window.SetTrackTime(0, 150);
  Poke(BankId::Day, reg::Sensitivity(0), 150);
  Poke(BankId::Day, reg::TrackTime(0), 199);
  window.RefreshWindow();
  EXPECT_EQ(window.MotionRow(0).sensitivity.value, 20);
  EXPECT_EQ(window.MotionRow(0).sensitivityLabel.caption, "150");
  EXPECT_EQ(window.MotionRow(0).track.value, 150);
  EXPECT_EQ(window.MotionRow(0).trackLabel.caption, "1.00m");
  EXPECT_EQ(Read(reg::Sensitivity(0)), 150);
  EXPECT_EQ(Read(reg::TrackTime(0)), 199);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[0], 20);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[24], 150);
}

TEST_F(SettingsWindowTest, incomingNightParameters_surviveSwitchToNight) {
  const struct {
    const char* name;
    int nightMode;
    bool viaFile;
  } cases[] = {
      {"uploadNormal", 1, false}, {"uploadPtz", kPtz, false}, {"fileNormal", 1, true}, {"filePtz", kPtz, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    window.SelectMotionMode(8);  // unlike NIGHT, so the switch re-applies NIGHT's mode
    Poke(BankId::Night, reg::kMotionMode, c.nightMode);
    for (int k = 0; k < reg::kMotionParameterCount; ++k)
      Poke(BankId::Night, reg::MotionParameter(k), 10 + k);
    if (c.viaFile) {
      // One file per case: the cases may run at the same time in separate processes.
      const auto path = std::filesystem::path(::testing::TempDir()) / ("motion_incoming_" + std::string(c.name) + "_" +
                                                                       std::to_string(std::random_device{}()) + ".txt");
      ASSERT_FALSE(window.SaveSettingsFile(path).has_value());
      ASSERT_FALSE(window.OpenSettingsFile(path).has_value());
      std::filesystem::remove(path);
    } else {
      window.AdoptIncomingSettings();
    }
    window.AfterBankSwitch(BankId::Night);
    ASSERT_EQ(window.MotionModeList().position, c.nightMode);
    for (int k = 0; k < reg::kMotionParameterCount; ++k)
      EXPECT_EQ(ReadBank(BankId::Night, reg::MotionParameter(k)), 10 + k) << k;
    EXPECT_EQ(window.MotionRow(7).sensitivity.value, 17);
    const RegisterBank& night = session.banks.Bank(BankId::Night);
    if (c.nightMode == kPtz) {
      EXPECT_EQ(night.normalSet, DefaultNormalParameterSet());
    } else {
      EXPECT_EQ(night.ptzSet, DefaultPtzParameterSet());
    }
  }
}

}  // namespace
}  // namespace koral::testing_support
