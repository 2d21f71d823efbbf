// The detector's register map: the four register classes, their sizes, and a
// named address for every register, so no caller writes a bare index.
#pragma once

#include <cstdint>

namespace koral {

// The class byte that addresses a register family on the link. The enum keeps
// the byte as it is: a foreign class byte (0xB0, say) is representable and is
// handled by the bank operations as "no such class".
enum class RegisterClass : std::uint8_t {
  Register = 0xC0,
  Title = 0xD0,
  Zone = 0xE0,
  DateTime = 0xF0,
};

inline constexpr int kRegisterCount = 78;
inline constexpr int kTitleCount = 17;
inline constexpr int kZoneCellCount = 288;
inline constexpr int kDateTimeCount = 9;

inline constexpr int kZoneColumns = 24;
inline constexpr int kZoneRows = 12;
inline constexpr int kZoneCount = 8;  // zones A..H
inline constexpr int kTitleLength = 16;

// Number of registers of a class, 0 for a foreign class byte.
constexpr int RegisterCount(RegisterClass cls) {
  switch (cls) {
    case RegisterClass::Register:
      return kRegisterCount;
    case RegisterClass::Title:
      return kTitleCount;
    case RegisterClass::Zone:
      return kZoneCellCount;
    case RegisterClass::DateTime:
      return kDateTimeCount;
  }
  return 0;
}

struct RegisterAddress {
  RegisterClass cls;
  int index;
  friend constexpr bool operator==(RegisterAddress, RegisterAddress) = default;
};

constexpr RegisterAddress Reg(int index) {
  return {RegisterClass::Register, index};
}

// Register class 0xC0.
namespace reg {
inline constexpr RegisterAddress kTimer1Days = Reg(0);
inline constexpr RegisterAddress kTimer1StartHour = Reg(1);
inline constexpr RegisterAddress kTimer1StartMinute = Reg(2);
inline constexpr RegisterAddress kTimer1StopHour = Reg(3);
inline constexpr RegisterAddress kTimer1StopMinute = Reg(4);
inline constexpr RegisterAddress kTimer2Days = Reg(5);
inline constexpr RegisterAddress kTimer2StartHour = Reg(6);
inline constexpr RegisterAddress kTimer2StartMinute = Reg(7);
inline constexpr RegisterAddress kTimer2StopHour = Reg(8);
inline constexpr RegisterAddress kTimer2StopMinute = Reg(9);
inline constexpr RegisterAddress kTimer3Days = Reg(10);
inline constexpr RegisterAddress kTimer3StartHour = Reg(11);
inline constexpr RegisterAddress kTimer3StartMinute = Reg(12);
inline constexpr RegisterAddress kTimer3StopHour = Reg(13);
inline constexpr RegisterAddress kTimer3StopMinute = Reg(14);
inline constexpr RegisterAddress kDayNightTimer = Reg(15);
inline constexpr RegisterAddress kDayStartHour = Reg(16);
inline constexpr RegisterAddress kDayStartMinute = Reg(17);
inline constexpr RegisterAddress kNightStartHour = Reg(18);
inline constexpr RegisterAddress kNightStartMinute = Reg(19);
inline constexpr RegisterAddress kMotionMode = Reg(20);
inline constexpr RegisterAddress kBuzzer = Reg(21);
inline constexpr RegisterAddress kRelayOutput = Reg(22);
inline constexpr RegisterAddress kExternalInput = Reg(23);
inline constexpr RegisterAddress kWatchDog = Reg(24);
inline constexpr RegisterAddress kEntranceDelay = Reg(25);
inline constexpr RegisterAddress kExitDelay = Reg(26);
inline constexpr RegisterAddress kAlarmProcess = Reg(27);
inline constexpr RegisterAddress kAlarmOutputTime = Reg(28);
inline constexpr RegisterAddress kAlarmResetTime = Reg(29);
inline constexpr RegisterAddress kDisplayLayout = Reg(30);
inline constexpr RegisterAddress kHorizontalPosition = Reg(31);
inline constexpr RegisterAddress kVerticalPosition = Reg(32);
inline constexpr RegisterAddress kStatusDisplay = Reg(33);
inline constexpr RegisterAddress kCalendar = Reg(34);
inline constexpr RegisterAddress kTimeDisplay = Reg(35);
inline constexpr RegisterAddress kTraceEffect = Reg(36);
inline constexpr RegisterAddress kVideoBlackout = Reg(37);
inline constexpr RegisterAddress kTitlerDisplay = Reg(38);
inline constexpr RegisterAddress kUnitBaudRate = Reg(39);
inline constexpr RegisterAddress kUnitAddress = Reg(40);
inline constexpr RegisterAddress kOutputRate = Reg(41);
inline constexpr RegisterAddress kOutputData = Reg(42);
inline constexpr RegisterAddress kVideoLossAlarm = Reg(43);
inline constexpr RegisterAddress kVideoLossBuzzer = Reg(44);
inline constexpr RegisterAddress kVideoLossOutput = Reg(45);

inline constexpr std::uint8_t kMotionModePtz = 15;  // the one mode with its own parameter set

inline constexpr int kFirstMotionParameter = 46;  // Registers 46..77 mirror a MotionParameterSet
inline constexpr int kMotionParameterCount = 32;

// Per-zone motion parameters, zone 0 (A) .. 7 (H).
constexpr RegisterAddress Sensitivity(int zone) {
  return Reg(46 + zone);
}
constexpr RegisterAddress TriggerLevelLow(int zone) {
  return Reg(54 + 2 * zone);
}
constexpr RegisterAddress TriggerLevelHigh(int zone) {
  return Reg(55 + 2 * zone);
}
constexpr RegisterAddress TrackTime(int zone) {
  return Reg(70 + zone);
}
constexpr RegisterAddress MotionParameter(int k) {
  return Reg(kFirstMotionParameter + k);
}
}  // namespace reg

// Title class 0xD0.
namespace title {
constexpr RegisterAddress Character(int position) {
  return {RegisterClass::Title, position};
}  // 0..15
inline constexpr RegisterAddress kRelayState{RegisterClass::Title, 16};
}  // namespace title

// Zone class 0xE0: cell = row * 24 + column.
namespace zone {
constexpr RegisterAddress Cell(int cell) {
  return {RegisterClass::Zone, cell};
}
inline constexpr std::uint8_t kNoZone = 8;
}  // namespace zone

// Date-Time class 0xF0.
namespace datetime {
inline constexpr RegisterAddress kMonth{RegisterClass::DateTime, 0};
inline constexpr RegisterAddress kDayOfMonth{RegisterClass::DateTime, 1};
inline constexpr RegisterAddress kYear{RegisterClass::DateTime, 2};
inline constexpr RegisterAddress kHour{RegisterClass::DateTime, 3};
inline constexpr RegisterAddress kMinute{RegisterClass::DateTime, 4};
inline constexpr RegisterAddress kSecond{RegisterClass::DateTime, 5};
inline constexpr RegisterAddress kDayOfWeek{RegisterClass::DateTime, 6};
inline constexpr RegisterAddress kAlarmCounter{RegisterClass::DateTime, 7};
inline constexpr RegisterAddress kDaylightSaving{RegisterClass::DateTime, 8};
}  // namespace datetime

// How a write to one bank reaches the other.
enum class Sharing {
  PerBank,     // the other bank is untouched
  BothWays,    // a write to either bank also writes the other
  DayToNight,  // a write while DAY is active also writes NIGHT; NIGHT writes stay in NIGHT
};

constexpr Sharing SharingOf(RegisterAddress address) {
  switch (address.cls) {
    case RegisterClass::Register:
      if ((address.index >= 0 && address.index <= 19) || address == reg::kUnitBaudRate ||
          address == reg::kUnitAddress) {
        return Sharing::BothWays;
      }
      return Sharing::PerBank;
    case RegisterClass::DateTime:
      return (address == datetime::kAlarmCounter || address == datetime::kDaylightSaving) ? Sharing::BothWays
                                                                                          : Sharing::PerBank;
    case RegisterClass::Title:
      return address == title::kRelayState ? Sharing::DayToNight : Sharing::PerBank;
    case RegisterClass::Zone:
      return Sharing::PerBank;
  }
  return Sharing::PerBank;
}

}  // namespace koral
