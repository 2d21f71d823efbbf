// Every setting edited by a list, an up-down or a pair of time up-downs: its
// control, its caption, its register and, for a list, its items in order
// (value = position). The settings window and the readable reports share it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "model/register_map.h"

namespace koral {

enum class SettingsTab { Motion, Zone, Alarms, Timers, Screen, Titler, DateTime, SerialPort, VideoLoss };

std::string_view TabCaption(SettingsTab tab);

struct ListSetting {
  std::string_view control;  // cmbRelay
  std::string_view caption;  // "Relay Output"
  RegisterAddress address;
  std::span<const std::string_view> items;
  SettingsTab tab;
};

struct NumberSetting {
  std::string_view control;       // udEntDelay
  std::string_view labelControl;  // lblEntDelay
  std::string_view caption;       // "Entrance Delay"
  RegisterAddress address;
  int minimum;
  int maximum;
  int designValue;  // what the up-down holds before the first refresh
  SettingsTab tab;
};

// An hour and a minute up-down holding packed BCD.
struct TimeSetting {
  std::string_view caption;  // "Timer1 Start"
  std::string_view hourControl;
  std::string_view minuteControl;
  RegisterAddress hour;
  RegisterAddress minute;
};

inline constexpr int kMaxHour = 23;
inline constexpr int kMaxMinute = 59;
inline constexpr int kVerticalPositionMaxNtsc = 22;
inline constexpr int kVerticalPositionMaxPal = 27;

std::span<const ListSetting> ListSettings();
std::span<const NumberSetting> NumberSettings();
std::span<const TimeSetting> TimeSettings();

// The list or number setting of a register, if one edits it.
const ListSetting* FindListSetting(RegisterAddress address);
const NumberSetting* FindNumberSetting(RegisterAddress address);

// The month and weekday names of the clock labels (month 1..12, weekday 1 = Sunday).
std::string_view MonthName(int month);
std::string_view WeekdayName(int weekday);

// A number as the window's labels show it: at least two digits ("07", "150").
std::string TwoDigitLabel(int value);

// Alarm output time 0 reads "MAN" (manual reset) instead of "00".
std::string AlarmOutputLabel(int value);

}  // namespace koral
