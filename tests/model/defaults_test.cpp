#include "model/defaults.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/title_charset.h"

namespace koral {
namespace {

std::string TitleOf(const RegisterBank& bank) {
  std::array<std::uint8_t, 16> codes{};
  for (int p = 0; p < 16; ++p)
    codes[static_cast<std::size_t>(p)] = ReadRegister(bank, title::Character(p));
  return DecodeTitle(codes);
}

int TriggerLevel(const RegisterBank& bank, int zone) {
  return ReadRegister(bank, reg::TriggerLevelHigh(zone)) * 256 + ReadRegister(bank, reg::TriggerLevelLow(zone));
}

TEST(FactoryDefaults, bothBanksHoldTheDefaultsOfTheLink) {
  const struct {
    const char* name;
    DefaultsContext context;
    std::string title;
    int verticalPosition, calendar, timeDisplay, outputData;
  } cases[] = {{"serialNtsc", {VideoStandard::Ntsc, LinkMode::Serial, 2}, "QT-1RX NTSC     ", 21, 1, 1, 4},
               {"serialPal", {VideoStandard::Pal, LinkMode::Serial, 0}, "QT-1RX PAL      ", 26, 3, 2, 4},
               {"udpNtsc", {VideoStandard::Ntsc, LinkMode::Udp, 5}, "QT-1RX NTSC     ", 21, 1, 1, 15}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegisterBanks banks;
    LoadFactorySettings(banks, c.context);
    EXPECT_EQ(banks.ActiveBank(), BankId::Day);
    EXPECT_FALSE(banks.SettingsModified());
    EXPECT_EQ(banks.Bank(BankId::Day), banks.Bank(BankId::Night));
    const RegisterBank& bank = banks.Bank(BankId::Day);
    EXPECT_EQ(TitleOf(bank), c.title);
    EXPECT_EQ(ReadRegister(bank, reg::kVerticalPosition), c.verticalPosition);
    EXPECT_EQ(ReadRegister(bank, reg::kCalendar), c.calendar);
    EXPECT_EQ(ReadRegister(bank, reg::kTimeDisplay), c.timeDisplay);
    EXPECT_EQ(ReadRegister(bank, reg::kOutputData), c.outputData);
    EXPECT_EQ(ReadRegister(bank, reg::kUnitBaudRate), c.context.linkBaudIndex);
  }
}

TEST(FactoryDefaults, commonRegistersHoldTheirDefaults) {
  RegisterBanks banks;
  LoadFactorySettings(banks, {});
  // Each value, and the registers that hold it.
  const std::pair<int, std::vector<RegisterAddress>> expected[] = {
      {0,
       {reg::kTimer1Days, reg::kTimer3StopMinute, reg::kDayNightTimer, reg::kDayStartMinute, reg::kExternalInput,
        reg::kVideoLossOutput, title::kRelayState, datetime::kAlarmCounter, datetime::kDaylightSaving}},
      {1, {reg::kMotionMode, reg::kBuzzer, reg::kRelayOutput, reg::kTitlerDisplay, reg::kOutputRate}},
      {2, {reg::kAlarmOutputTime, reg::kAlarmResetTime, reg::kDisplayLayout}},
      {3, {reg::kHorizontalPosition}},
      {10, {reg::kStatusDisplay}},
      {0x07, {reg::kDayStartHour}},
      {0x08, {reg::kTimer1StartHour}},
      {0x17, {reg::kTimer2StopHour}},
      {0x18, {reg::kNightStartHour}},
      {0x30, {reg::kNightStartMinute}},
      {0xD0, {zone::Cell(0), zone::Cell(287)}}};
  for (const auto& [value, addresses] : expected) {
    for (const RegisterAddress address : addresses)
      EXPECT_EQ(banks.ReadRegister(address), value) << "class " << int(address.cls) << " index " << address.index;
  }
}

// Defaults leave the unit address alone; a shared register takes the value of
// the bank loaded last.
TEST(FactoryDefaults, unitAddressIsNeverWritten_sharedRegistersFollowTheLastBank) {
  RegisterBanks banks;
  LoadFactorySettings(banks, {});
  for (const BankId id : {BankId::Day, BankId::Night}) {
    EXPECT_EQ(banks.Bank(id).registers[80], 0);
    EXPECT_EQ(banks.Bank(id).registers[81], 0);
  }
  banks.WriteRegister(reg::kUnitAddress, 9);
  LoadDefaults(banks, {});
  EXPECT_EQ(banks.ReadRegister(reg::kUnitAddress), 9);
  banks.SetActiveBank(BankId::Night);
  LoadDefaults(banks, {VideoStandard::Ntsc, LinkMode::Serial, 1});
  banks.SetActiveBank(BankId::Day);
  LoadDefaults(banks, {VideoStandard::Ntsc, LinkMode::Serial, 4});
  banks.SetActiveBank(BankId::Night);
  EXPECT_EQ(banks.ReadRegister(reg::kUnitBaudRate), 4);
}

TEST(FactoryDefaults, triggerLevelHighByteIsTheZoneIndex) {
  RegisterBanks banks;
  LoadFactorySettings(banks, {});
  const int expected[] = {75, 331, 587, 843, 1099, 1355, 1611, 1867};
  for (int zone = 0; zone < kZoneCount; ++zone) {
    EXPECT_EQ(TriggerLevel(banks.Active(), zone), expected[zone]);
    EXPECT_EQ(banks.ReadRegister(reg::Sensitivity(zone)), 50);
    EXPECT_EQ(banks.ReadRegister(reg::TrackTime(zone)), 4);
  }
}

TEST(FactoryDefaults, ptzSetHasFixedCornerZones) {
  const MotionParameterSet ptz = DefaultPtzParameterSet();
  const MotionParameterSet normal = DefaultNormalParameterSet();
  for (std::size_t zone = 0; zone < 8; ++zone) {
    const bool corner = zone >= 4;
    EXPECT_EQ(ptz[zone], corner ? 70 : 50);
    EXPECT_EQ(ptz[8 + 2 * zone], corner ? 50 : 75);
    EXPECT_EQ(ptz[9 + 2 * zone], corner ? 0 : zone);
    EXPECT_EQ(ptz[24 + zone], corner ? 1 : 4);
    EXPECT_EQ(normal[9 + 2 * zone], zone);
  }
  RegisterBanks banks;
  LoadFactorySettings(banks, {});
  for (const BankId id : {BankId::Day, BankId::Night}) {
    EXPECT_EQ(banks.Bank(id).normalSet, normal);
    EXPECT_EQ(banks.Bank(id).ptzSet, ptz);
  }
}

}  // namespace
}  // namespace koral
