#include "model/defaults.h"

#include <cstddef>
#include <string>

#include "model/title_charset.h"

namespace koral {
namespace {

constexpr std::uint8_t kDefaultSensitivity = 50;
constexpr std::uint8_t kDefaultTriggerLow = 75;  // the high byte is the zone's index
constexpr std::uint8_t kDefaultTrack = 4;        // 0.4 s
constexpr std::uint8_t kCornerSensitivity = 70;  // PTZ corner zones E..H
constexpr std::uint8_t kCornerTriggerLow = 50;
constexpr std::uint8_t kCornerTrack = 1;  // 0.1 s
constexpr int kPtzPaintedZones = 4;

void SetZoneParameters(MotionParameterSet& set, int zone, std::uint8_t sensitivity, std::uint8_t triggerLow,
                       std::uint8_t triggerHigh, std::uint8_t track) {
  const auto z = static_cast<std::size_t>(zone);
  set[z] = sensitivity;
  set[8 + 2 * z] = triggerLow;
  set[9 + 2 * z] = triggerHigh;
  set[24 + z] = track;
}

// The default title names the QT-1RX whichever model is attached.
std::string DefaultTitle(VideoStandard video) {
  return std::string("QT-1RX ") + VideoStandardName(video);
}

}  // namespace

MotionParameterSet DefaultNormalParameterSet() {
  MotionParameterSet set{};
  for (int zone = 0; zone < kZoneCount; ++zone) {
    SetZoneParameters(set, zone, kDefaultSensitivity, kDefaultTriggerLow, static_cast<std::uint8_t>(zone),
                      kDefaultTrack);
  }
  return set;
}

MotionParameterSet DefaultPtzParameterSet() {
  MotionParameterSet set = DefaultNormalParameterSet();
  for (int zone = kPtzPaintedZones; zone < kZoneCount; ++zone) {
    SetZoneParameters(set, zone, kCornerSensitivity, kCornerTriggerLow, 0, kCornerTrack);
  }
  return set;
}

void SetDefaultMotionParameterSets(RegisterBanks& banks) {
  for (const BankId id : {BankId::Day, BankId::Night}) {
    banks.Bank(id).normalSet = DefaultNormalParameterSet();
    banks.Bank(id).ptzSet = DefaultPtzParameterSet();
  }
  banks.LoadMotionParameterSet();
}

void LoadDefaults(RegisterBanks& banks, const DefaultsContext& context) {
  const bool pal = context.video == VideoStandard::Pal;
  const auto write = [&banks](RegisterAddress address, int value) {
    banks.WriteRegister(address, static_cast<std::uint8_t>(value));
  };

  for (int cell = 0; cell < kZoneCellCount; ++cell)
    write(zone::Cell(cell), 0);

  const auto titleCodes = EncodeTitle(DefaultTitle(context.video));
  for (int p = 0; p < kTitleLength; ++p)
    write(title::Character(p), titleCodes[static_cast<std::size_t>(p)]);
  write(title::kRelayState, 0);

  for (const auto days : {reg::kTimer1Days, reg::kTimer2Days, reg::kTimer3Days}) {
    write(days, 0);
    write(Reg(days.index + 1), 0x08);  // start 08:00
    write(Reg(days.index + 2), 0x00);
    write(Reg(days.index + 3), 0x17);  // stop 17:00
    write(Reg(days.index + 4), 0x00);
  }
  write(reg::kDayNightTimer, 0);
  write(reg::kDayStartHour, 0x07);
  write(reg::kDayStartMinute, 0x00);
  write(reg::kNightStartHour, 0x18);
  write(reg::kNightStartMinute, 0x30);
  write(reg::kMotionMode, 1);  // "Motion 1 Area"
  write(reg::kBuzzer, 1);
  write(reg::kRelayOutput, 1);
  write(reg::kExternalInput, 0);
  write(reg::kWatchDog, 0);
  write(reg::kEntranceDelay, 0);
  write(reg::kExitDelay, 0);
  write(reg::kAlarmProcess, 0);
  write(reg::kAlarmOutputTime, 2);
  write(reg::kAlarmResetTime, 2);
  write(reg::kDisplayLayout, 2);
  write(reg::kHorizontalPosition, 3);
  write(reg::kVerticalPosition, pal ? 26 : 21);
  write(reg::kStatusDisplay, 10);
  write(reg::kCalendar, pal ? 3 : 1);
  write(reg::kTimeDisplay, pal ? 2 : 1);
  write(reg::kTraceEffect, 0);
  write(reg::kVideoBlackout, 0);
  write(reg::kTitlerDisplay, 1);
  write(reg::kUnitBaudRate, context.linkBaudIndex);
  // The unit address keeps whatever it holds.
  write(reg::kOutputRate, 1);
  write(reg::kOutputData, context.link == LinkMode::Udp ? 15 : 4);
  write(reg::kVideoLossAlarm, 0);
  write(reg::kVideoLossBuzzer, 0);
  write(reg::kVideoLossOutput, 0);

  SetDefaultMotionParameterSets(banks);

  write(datetime::kAlarmCounter, 0);
  write(datetime::kDaylightSaving, 0);
}

void LoadFactorySettings(RegisterBanks& banks, const DefaultsContext& context) {
  banks.SetActiveBank(BankId::Night);
  LoadDefaults(banks, context);
  banks.SetActiveBank(BankId::Day);
  LoadDefaults(banks, context);
  banks.SetSettingsModified(false);
}

}  // namespace koral
