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

struct SameEditorCase {
  const char* name;
  int mode;
  int sameAs;
};

class MotionModeEditorTest : public MotionTabTest, public ::testing::WithParamInterface<SameEditorCase> {};

TEST_P(MotionModeEditorTest, mode_givesSameEditorAsReference) {
  Open();
  window.SelectMotionMode(8);
  for (int z = 0; z < kZoneCount; ++z) {
    window.SelectPaintZone(z);
    window.PressCell(100 + z);
    window.ReleaseStroke();
  }
  window.SelectMotionMode(GetParam().sameAs);
  const std::string reference = EditorShape();
  window.SelectMotionMode(8);
  window.SelectMotionMode(GetParam().mode);
  EXPECT_EQ(EditorShape(), reference);
  EXPECT_EQ(Read(reg::kMotionMode), GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Modes, MotionModeEditorTest,
                         ::testing::Values(SameEditorCase{"directionAB", 9, 2}, SameEditorCase{"directionBA", 10, 2},
                                           SameEditorCase{"directionAll", 11, 8}, SameEditorCase{"motionless1", 12, 1},
                                           SameEditorCase{"motionless8", 13, 8}, SameEditorCase{"museum", 14, 8}),
                         [](const ::testing::TestParamInfo<SameEditorCase>& p) { return std::string(p.param.name); });

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

struct TrackCase {
  int code;
  int kept;
  const char* label;
};

class MotionTrackLabelTest : public SettingsWindowTest, public ::testing::WithParamInterface<TrackCase> {};

TEST_P(MotionTrackLabelTest, trackEdit_showsLabelOfKeptValue) {
  Open();
  window.SetTrackTime(0, GetParam().code);
  EXPECT_EQ(window.MotionRow(0).track.value, GetParam().kept);
  EXPECT_EQ(window.MotionRow(0).trackLabel.caption, GetParam().label);
  EXPECT_EQ(Read(reg::TrackTime(0)), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Codes, MotionTrackLabelTest,
                         ::testing::Values(TrackCase{0, 0, "0.0s"}, TrackCase{198, 198, "5.00m"},
                                           TrackCase{199, 4, "0.4s"}, TrackCase{-1, 4, "0.4s"}));

struct TriggerCase {
  int low;
  int high;
  int shown;
  const char* label;
};

class MotionTriggerDisplayTest : public SettingsWindowTest, public ::testing::WithParamInterface<TriggerCase> {};

TEST_P(MotionTriggerDisplayTest, rawTriggerBytes_showUnsignedLevel) {
  Open();
  Poke(BankId::Day, reg::TriggerLevelLow(0), GetParam().low);
  Poke(BankId::Day, reg::TriggerLevelHigh(0), GetParam().high);
  window.RefreshWindow();
  EXPECT_EQ(window.MotionRow(0).trigger.value, GetParam().shown);
  EXPECT_EQ(window.MotionRow(0).triggerLabel.caption, GetParam().label);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[8], GetParam().low);
  EXPECT_EQ(session.banks.Bank(BankId::Day).normalSet[9], GetParam().high);
}

INSTANTIATE_TEST_SUITE_P(Bytes, MotionTriggerDisplayTest,
                         ::testing::Values(TriggerCase{255, 255, 65535, "65535"}, TriggerCase{0, 128, 32768, "32768"},
                                           TriggerCase{44, 1, 300, "300"}, TriggerCase{5, 0, 5, "05"}));

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

struct IncomingCase {
  const char* name;
  int nightMode;
  bool viaFile;
};

class MotionIncomingTest : public SettingsWindowTest, public ::testing::WithParamInterface<IncomingCase> {};

TEST_P(MotionIncomingTest, incomingNightParameters_surviveSwitchToNight) {
  Open();
  window.SelectMotionMode(8);  // unlike NIGHT, so the switch re-applies NIGHT's mode
  Poke(BankId::Night, reg::kMotionMode, GetParam().nightMode);
  for (int k = 0; k < reg::kMotionParameterCount; ++k)
    Poke(BankId::Night, reg::MotionParameter(k), 10 + k);
  if (GetParam().viaFile) {
    // One file per case: the cases may run at the same time in separate processes.
    const auto path =
        std::filesystem::path(::testing::TempDir()) /
        ("motion_incoming_" + std::string(GetParam().name) + "_" + std::to_string(std::random_device{}()) + ".txt");
    ASSERT_FALSE(window.SaveSettingsFile(path).has_value());
    ASSERT_FALSE(window.OpenSettingsFile(path).has_value());
    std::filesystem::remove(path);
  } else {
    window.AdoptIncomingSettings();
  }
  window.AfterBankSwitch(BankId::Night);
  ASSERT_EQ(window.MotionModeList().position, GetParam().nightMode);
  for (int k = 0; k < reg::kMotionParameterCount; ++k)
    EXPECT_EQ(ReadBank(BankId::Night, reg::MotionParameter(k)), 10 + k) << k;
  EXPECT_EQ(window.MotionRow(7).sensitivity.value, 17);
  const RegisterBank& night = session.banks.Bank(BankId::Night);
  if (GetParam().nightMode == kPtz) {
    EXPECT_EQ(night.normalSet, DefaultNormalParameterSet());
  } else {
    EXPECT_EQ(night.ptzSet, DefaultPtzParameterSet());
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, MotionIncomingTest,
                         ::testing::Values(IncomingCase{"uploadNormal", 1, false},
                                           IncomingCase{"uploadPtz", kPtz, false}, IncomingCase{"fileNormal", 1, true},
                                           IncomingCase{"filePtz", kPtz, true}),
                         [](const ::testing::TestParamInfo<IncomingCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace koral::testing_support
