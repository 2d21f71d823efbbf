#include "unit/scene.h"

#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

// Factory settings paint every cell into zone A (trigger level 75, track time
// 0.4 s): its delta starts rising 3 s into the 15 s cycle, passes the trigger
// level at 3.6 s and so alarms at 4.0 s; the alarm holds 5 s.
UnitConfig Moving(LinkMode link = LinkMode::Serial) {
  UnitConfig config = QuietConfig(UnitModel::Qt1Rx, link);
  config.still = false;
  return config;
}

RegisterBanks WithRegister(RegisterBanks banks, RegisterAddress address, std::uint8_t value) {
  for (const BankId id : {BankId::Day, BankId::Night}) {
    banks.SetActiveBank(id);
    banks.WriteRegister(address, value);
  }
  banks.SetActiveBank(BankId::Day);
  return banks;
}

TEST(Scene, factoryBankQuietStart_paintsZoneAWithItsLevelsAndShowsOnlyNoise) {
  const SceneSettings settings = SceneSettingsOf(Factory().Bank(BankId::Day));
  EXPECT_TRUE(settings[0].painted);
  EXPECT_FALSE(settings[1].painted);
  EXPECT_EQ(settings[0].triggerLevel, 75);
  EXPECT_EQ(settings[1].triggerLevel, 256 + 75);
  EXPECT_EQ(settings[0].trackTimeMs, 400);
  Scene scene(0);
  scene.RunTo(2000, settings, {});
  EXPECT_EQ(scene.Seen().motion, 0);
  EXPECT_LT(scene.Seen().delta[0], Scene::kNoiseLevels);
  EXPECT_EQ(scene.Seen().delta[1], 0);  // not painted
}

TEST(Scene, movingZone_triggersThenAlarmsAfterItsTrackTime) {
  Scene scene(0);
  const SceneSettings settings = SceneSettingsOf(Factory().Bank(BankId::Day));
  EXPECT_EQ(scene.RunTo(3900, settings, {}).newAlarms, 0);
  EXPECT_EQ(scene.Seen().trigger, 0x01);
  EXPECT_EQ(scene.RunTo(4000, settings, {}).newAlarms, 0x01);
  EXPECT_EQ(scene.Seen().delta[0], 133);
  EXPECT_FALSE(scene.RunTo(8900, settings, {}).alarmsCleared);
  EXPECT_TRUE(scene.RunTo(9000, settings, {}).alarmsCleared);
}

TEST(Scene, severalPaintedZones_takeTurns) {
  RegisterBanks banks = Factory();
  banks.Bank(BankId::Day).zones[100] = 0xD2;  // one cell of zone C
  const SceneSettings settings = SceneSettingsOf(banks.Bank(BankId::Day));
  Scene scene(0);
  EXPECT_EQ(scene.RunTo(Scene::kCycleMs, settings, {}).newAlarms, 0x01);
  EXPECT_EQ(scene.RunTo(2 * Scene::kCycleMs, settings, {}).newAlarms, 0x04);
}

// What the PC does at a moment: keys, or the camera's video lost.
struct Step {
  std::int64_t atMs;
  Bytes keys;
  bool videoLost = false;
};

TEST(SceneOutput, perSettingsAndSteps_streamsExactlyTheseFrames) {
  UnitConfig qtMx = Moving();
  qtMx.model = UnitModel::QtMx;
  const Bytes alarm = {0x5A, 0x01, 0x01, 0x01, 0x18}, quiet = {0x5A, 0x00, 0x00, 0x00, 0x18};
  const RegisterBanks zoneDelta = WithRegister(Factory(), reg::kOutputData, output::kFirstAreaDelta);
  const struct {
    const char* name;
    UnitConfig config;
    RegisterBanks banks;
    std::vector<Step> steps;
    std::int64_t until;
    std::vector<Sent> sent;
  } cases[] = {
      {"per alarm", Moving(), Factory(), {}, 20000, {{4000, alarm}, {9000, quiet}, {19000, alarm}}},
      {"alarm disabled", Moving(), Factory(), {{0, {0xA5}}}, 20000, {{0, {0x5A, 0x00, 0x00, 0x00, 0x08}}}},
      // CLEAR ends the alarm until the zone is quiet again.
      {"cleared",
       Moving(),
       Factory(),
       {{5000, {0xA8}}},
       18000,
       {{4000, alarm}, {5000, {0x5A, 0x01, 0x01, 0x00, 0x18}}}},
      // Nothing is streamed during a transfer.
      {"transfer",
       Moving(),
       Factory(),
       {{3500, {0x98, 0x98, 0xA0, 0xA8, 0x00, 0x00, 0x00}}, {6000, {0xA0, 0xA4}}},
       10000,
       {{9000, quiet}}},
      // A video loss is reported and stops the motion.
      {"video lost", Moving(), Factory(), {{1000, {}, true}}, 20000, {{1000, {0x5A, 0x00, 0x00, 0x00, 0x98}}}},
      {"rate off", Moving(), WithRegister(Factory(), reg::kOutputRate, 0), {}, 20000, {}},
      {"zone A delta 133, inverted", Moving(), zoneDelta, {}, 4000, {{4000, {0x5A, 0xFF, 0x7A}}}},
      // 25 Dec 25, 09:30:49: four seconds after the unit's clock was set.
      {"event datagram on the network",
       Moving(LinkMode::Udp),
       Factory(0, LinkMode::Udp),
       {},
       4000,
       {{4000, {0x01, 0x21, 0x01, 0x01, 0x01, 0x18, 'A', 'L', 'R', 'M', 0x12, 0x25, 0x25, 0x09, 0x30, 0x49, 0x03}}}},
      {"unselected QT-MX", qtMx, Factory(), {}, 20000, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitHarness h(c.config, c.banks);
    for (const Step& step : c.steps) {
      h.RunUntil(step.atMs);
      if (step.videoLost) h.unit.SetVideoLost(true);
      h.Send(step.keys);
    }
    h.RunUntil(c.until);
    EXPECT_EQ(h.sent, c.sent);
    if (c.steps.size() == 1 && c.steps[0].videoLost) {
      EXPECT_TRUE(h.Logged("video lost"));
    }
  }
  UnitHarness h(Moving());
  h.RunUntil(4000);
  EXPECT_TRUE(h.Logged("-> output ALL FLAGS (alarm zone A): 5A 01 01 01 18"));
}

TEST(SceneOutput, continuousRate_sendsEverySecond) {
  UnitHarness h(Moving(), WithRegister(Factory(), reg::kOutputRate, 2));
  h.RunUntil(5000);
  ASSERT_EQ(h.sent.size(), 5u);
  for (std::size_t i = 0; i < h.sent.size(); ++i)
    EXPECT_EQ(h.sent[i].atMs, 1000 * static_cast<std::int64_t>(i + 1));
  EXPECT_EQ(h.sent[3].bytes, (Bytes{0x5A, 0x01, 0x01, 0x01, 0x18}));
}

}  // namespace
}  // namespace koral::emu::test
