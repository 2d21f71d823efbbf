#include "model/register_bank.h"

#include <gtest/gtest.h>

#include <vector>

namespace koral {
namespace {

// The two bytes a register occupies in its class array.
std::vector<std::uint8_t> TwoBytes(const RegisterBank& bank, RegisterAddress address) {
  const auto i = static_cast<std::size_t>(2 * address.index);
  switch (address.cls) {
    case RegisterClass::Register:
      return {bank.registers[i], bank.registers[i + 1]};
    case RegisterClass::Title:
      return {bank.title[i], bank.title[i + 1]};
    case RegisterClass::DateTime:
      return {bank.dateTime[i], bank.dateTime[i + 1]};
    default:
      return {};
  }
}

// Each write lands in the active bank; shared registers are mirrored by rule.
TEST(WriteRegister, writesActiveBankAndMirrorsByRule) {
  const struct {
    const char* name;
    RegisterAddress address;
    BankId activeBank;
    std::uint8_t value;
    bool otherBankWritten;
  } cases[] = {{"timer2DaysFromNight", reg::kTimer2Days, BankId::Night, 3, true},
               {"nightStartMinuteFromDay", reg::kNightStartMinute, BankId::Day, 0x30, true},
               {"baudRateFromNight", reg::kUnitBaudRate, BankId::Night, 5, true},
               {"unitAddressFromDay", reg::kUnitAddress, BankId::Day, 127, true},
               {"motionModeStaysInBank", reg::kMotionMode, BankId::Day, 15, false},
               {"displayLayoutStaysInBank", reg::kDisplayLayout, BankId::Day, 2, false},
               {"outputDataStaysInBank", reg::kOutputData, BankId::Night, 14, false},
               {"sensitivityStaysInBank", reg::Sensitivity(7), BankId::Night, 99, false},
               {"relayStateDayToNight", title::kRelayState, BankId::Day, 1, true},
               {"relayStateNightOnly", title::kRelayState, BankId::Night, 1, false},
               {"titleCharacterStaysInBank", title::Character(15), BankId::Day, 42, false},
               {"alarmCounterBothWays", datetime::kAlarmCounter, BankId::Night, 99, true},
               {"daylightSavingBothWays", datetime::kDaylightSaving, BankId::Day, 4, true},
               {"clockStaysInBank", datetime::kSecond, BankId::Day, 0x59, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegisterBanks banks;
    banks.SetActiveBank(c.activeBank);
    banks.WriteRegister(c.address, c.value);
    const std::vector<std::uint8_t> expected = {static_cast<std::uint8_t>(0xD0 | (c.value >> 4)),
                                                static_cast<std::uint8_t>(0xD0 | (c.value & 0x0F))};
    EXPECT_EQ(TwoBytes(banks.Bank(c.activeBank), c.address), expected);
    const auto other = TwoBytes(banks.Bank(OtherBank(c.activeBank)), c.address);
    EXPECT_EQ(other, (c.otherBankWritten ? expected : std::vector<std::uint8_t>{0, 0}));
    EXPECT_TRUE(banks.SettingsModified());
    EXPECT_EQ(banks.ReadRegister(c.address), c.value);
  }
}

TEST(WriteRegister, zoneCellKeepsOnlyTheLowNibbleAndReadsBackUnmasked) {
  RegisterBanks banks;
  banks.SetActiveBank(BankId::Day);
  banks.WriteRegister(zone::Cell(5), 0x1A);
  EXPECT_EQ(banks.Bank(BankId::Day).zones[5], 0xDA);
  EXPECT_EQ(banks.ReadRegister(zone::Cell(5)), 0xDA);
  EXPECT_EQ(banks.Bank(BankId::Night).zones[5], 0);
}

// A foreign class or an index outside the class stores nothing; a foreign
// class still marks the settings modified.
TEST(WriteRegister, foreignClassOrIndexOutsideTheClass_storesNothing) {
  RegisterBanks banks;
  const RegisterAddress foreign{static_cast<RegisterClass>(0xB0), 3};
  banks.WriteRegister(foreign, 0x55);
  EXPECT_TRUE(banks.SettingsModified());
  for (const RegisterAddress outside : {foreign, Reg(78), Reg(-1), title::Character(17), zone::Cell(288),
                                        RegisterAddress{RegisterClass::DateTime, 9}}) {
    banks.WriteRegister(outside, 0xFF);
    EXPECT_EQ(banks.ReadRegister(outside), 0);
  }
  EXPECT_EQ(banks.Bank(BankId::Day), RegisterBank{});
  EXPECT_EQ(banks.Bank(BankId::Night), RegisterBank{});
  EXPECT_EQ(banks.ReadRegister(reg::kUnitAddress), 0);
  banks.Bank(banks.ActiveBank()).registers[80] = 0x37;  // a foreign high byte: only its nibble counts
  banks.Bank(banks.ActiveBank()).registers[81] = 0xD5;
  EXPECT_EQ(banks.ReadRegister(reg::kUnitAddress), 0x75);
}

// Fills a bank with a pattern that differs per byte and per bank.
void Fill(RegisterBank& bank, std::uint8_t seed) {
  auto fill = [&seed](auto& bytes) {
    for (auto& b : bytes)
      b = seed++;
  };
  fill(bank.registers);
  fill(bank.title);
  fill(bank.zones);
  fill(bank.dateTime);
  fill(bank.normalSet);
  fill(bank.ptzSet);
}

TEST(CopyBanks, copiesEverythingButTheClockRegisters) {
  for (const bool dayToNight : {true, false}) {
    RegisterBanks banks;
    Fill(banks.Bank(BankId::Day), 1);
    Fill(banks.Bank(BankId::Night), 100);
    const BankId from = dayToNight ? BankId::Day : BankId::Night;
    const BankId to = OtherBank(from);
    const RegisterBank source = banks.Bank(from);
    const RegisterBank targetBefore = banks.Bank(to);
    dayToNight ? banks.CopyDayToNight() : banks.CopyNightToDay();
    const RegisterBank& target = banks.Bank(to);
    EXPECT_EQ(target.registers, source.registers);
    EXPECT_EQ(target.title, source.title);
    EXPECT_EQ(target.zones, source.zones);
    EXPECT_EQ(target.normalSet, source.normalSet);
    EXPECT_EQ(target.ptzSet, source.ptzSet);
    for (std::size_t i = 0; i < target.dateTime.size(); ++i) {
      EXPECT_EQ(target.dateTime[i], i < 14 ? targetBefore.dateTime[i] : source.dateTime[i]) << "Date-Time byte " << i;
    }
    EXPECT_EQ(banks.Bank(from), source);
    EXPECT_FALSE(banks.SettingsModified());
  }
}

TEST(MotionParameterSets, activeSetFollowsTheModeOfTheActiveBank) {
  RegisterBanks banks;
  banks.SetActiveBank(BankId::Night);
  banks.Bank(BankId::Night).normalSet.fill(11);
  banks.Bank(BankId::Night).ptzSet.fill(22);
  banks.Bank(BankId::Day).ptzSet.fill(33);
  banks.WriteRegister(reg::kMotionMode, 14);
  banks.LoadMotionParameterSet();
  EXPECT_EQ(banks.ReadRegister(reg::MotionParameter(31)), 11);
  banks.WriteRegister(reg::kMotionMode, reg::kMotionModePtz);
  banks.LoadMotionParameterSet();
  for (int k = 0; k < reg::kMotionParameterCount; ++k)
    EXPECT_EQ(banks.ReadRegister(reg::MotionParameter(k)), 22);
  EXPECT_EQ(banks.Bank(BankId::Day).registers, RegisterBank{}.registers);  // per-bank registers, no mirroring
}

}  // namespace
}  // namespace koral
