#include "model/setting_catalogue.h"

#include <array>

namespace koral {
namespace {

using Items = std::string_view;

constexpr std::array<Items, 2> kOffOn = {"OFF", "ON"};
constexpr std::array<Items, 2> kBuzzerItems = {"OFF", "ALARM"};
constexpr std::array<Items, 7> kRelayItems = {"OFF", "ALARM", "PRETRIG", "TIMER1", "TIMER2", "TIMER3", "DAY/NGT"};
constexpr std::array<Items, 2> kRelayStateItems = {"NO", "NC"};
constexpr std::array<Items, 7> kExternalInputItems = {"OFF",     "ALM-AND", "ALM-OR", "ENABLE",
                                                      "DISABLE", "DAY/NGT", "CAP REF"};
constexpr std::array<Items, 2> kAlarmProcessItems = {"Time", "Retrigger"};
constexpr std::array<Items, 12> kTimerDayItems = {"OFF", "SUN", "MON", "TUE", "WED", "THU",
                                                  "FRI", "SAT", "M-F", "M-S", "S-S", "ALL"};
constexpr std::array<Items, 3> kDisplayLayoutItems = {"OFF", "STACKED", "SERIES"};
// Four items read "ARED" on the unit's own menu; they are kept as the unit shows them.
constexpr std::array<Items, 11> kStatusItems = {"OFF",          "AREA A DELTA", "AREA B DELTA", "AREA C DELTA",
                                                "AREA D DELTA", "ARED E DELTA", "ARED F DELTA", "ARED G DELTA",
                                                "ARED H DELTA", "ALL DELTA",    "ALARM FLAGS"};
constexpr std::array<Items, 4> kCalendarItems = {"OFF", "MMM-DD-YY", "YY-MMM-DD", "DD-MMM-YY"};
constexpr std::array<Items, 3> kTimeDisplayItems = {"OFF", "12 HOUR", "24 HOUR"};
constexpr std::array<Items, 7> kTraceEffectItems = {"OFF",      "MOTION",   "MEMORY",   "MEMORY/F",
                                                    "MEMORY/S", "MEMORY/A", "MEMORY/AS"};
constexpr std::array<Items, 3> kVideoBlackoutItems = {"OFF", "ON", "AUTO"};
constexpr std::array<Items, 5> kDstItems = {"OFF", "USA", "CANADA", "AUSTRALIA", "TASMANIA"};
constexpr std::array<Items, 6> kBaudRateItems = {"1200,n,8,1", "2400,n,8,1",  "4800,n,8,1",
                                                 "9600,n,8,1", "19200,n,8,1", "28800,n,8,1"};
constexpr std::array<Items, 3> kOutputRateItems = {"OFF", "PER ALARM", "CONTINUOUS"};
constexpr std::array<Items, 16> kOutputDataItems = {"MOVE FLAGS",   "TRIG FLAGS",   "ALARM FLAGS",  "STAT FLAGS",
                                                    "ALL FLAGS",    "AREA A DELTA", "AREA B DELTA", "AREA C DELTA",
                                                    "AREA D DELTA", "AREA E DELTA", "AREA F DELTA", "AREA G DELTA",
                                                    "AREA H DELTA", "TOTAL DELTA",  "EVENT LOG",    "UDP"};
constexpr std::array<Items, 2> kVideoLossOutputItems = {"RED SCREEN", "VIDEO"};

using enum SettingsTab;

const std::array<ListSetting, 24> kListSettings = {{
    {"cmbBuzzer", "Buzzer", reg::kBuzzer, kBuzzerItems, Alarms},
    {"cmbRelay", "Relay Output", reg::kRelayOutput, kRelayItems, Alarms},
    {"Cmbstate", "Relay State", title::kRelayState, kRelayStateItems, Alarms},
    {"cmbExtInp", "External Input", reg::kExternalInput, kExternalInputItems, Alarms},
    {"cmbWDT", "Watch dog timer", reg::kWatchDog, kOffOn, Alarms},
    {"cmbAlmPro", "Alarm Process", reg::kAlarmProcess, kAlarmProcessItems, Alarms},
    {"cmbTmr1", "Timer1", reg::kTimer1Days, kTimerDayItems, Timers},
    {"cmbTmr2", "Timer2", reg::kTimer2Days, kTimerDayItems, Timers},
    {"cmbTmr3", "Timer3", reg::kTimer3Days, kTimerDayItems, Timers},
    {"cmbTmrDayNgt", "Day/Night Timers", reg::kDayNightTimer, kOffOn, Timers},
    {"cmbDispLayout", "Display Layout", reg::kDisplayLayout, kDisplayLayoutItems, Screen},
    {"cmbStatus", "Status", reg::kStatusDisplay, kStatusItems, Screen},
    {"cmbCalendar", "Calendar", reg::kCalendar, kCalendarItems, Screen},
    {"cmbTimeDisp", "Time Display", reg::kTimeDisplay, kTimeDisplayItems, Screen},
    {"cmbTraceEffect", "Trace Effect", reg::kTraceEffect, kTraceEffectItems, Screen},
    {"cmbVBlackout", "Video Blackout", reg::kVideoBlackout, kVideoBlackoutItems, Screen},
    {"cmbTitleDisp", "Titler Display", reg::kTitlerDisplay, kOffOn, Screen},
    {"cmbDst", "DST", datetime::kDaylightSaving, kDstItems, DateTime},
    {"cmbBaudRate", "Baud Rate", reg::kUnitBaudRate, kBaudRateItems, SerialPort},
    {"cmbOutputRate", "Output Rate", reg::kOutputRate, kOutputRateItems, SerialPort},
    {"cmbOutputData", "Output Data", reg::kOutputData, kOutputDataItems, SerialPort},
    {"cmbVLALM", "Video Loss Alarm", reg::kVideoLossAlarm, kOffOn, VideoLoss},
    {"cmbVLBUZ", "Video Loss Buzzer", reg::kVideoLossBuzzer, kOffOn, VideoLoss},
    {"cmbVLOUT", "Video Loss Output", reg::kVideoLossOutput, kVideoLossOutputItems, VideoLoss},
}};

const std::array<NumberSetting, 8> kNumberSettings = {{
    {"udEntDelay", "lblEntDelay", "Entrance Delay", reg::kEntranceDelay, 0, 99, 0, Alarms},
    {"udExitDelay", "lblExitDelay", "Exit Delay", reg::kExitDelay, 0, 99, 0, Alarms},
    {"udAlarmOut", "lblAlarmOut", "Alarm Output Time", reg::kAlarmOutputTime, 0, 99, 2, Alarms},
    {"udReset", "lblReset", "Alarm Reset Time", reg::kAlarmResetTime, 0, 99, 2, Alarms},
    {"udHPosition", "lblHPosition", "Horizontal", reg::kHorizontalPosition, 1, 19, 3, Screen},
    {"udVPosition", "lblVPosition", "Vertical", reg::kVerticalPosition, 1, kVerticalPositionMaxNtsc, 21, Screen},
    {"udAlmCounter", "lblAlmCounter", "Alarm Counter", datetime::kAlarmCounter, 0, 99, 0, DateTime},
    {"udAddr", "lblAddress", "Unit Input Address", reg::kUnitAddress, 0, 127, 0, SerialPort},
}};

const std::array<TimeSetting, 8> kTimeSettings = {{
    {"Timer1 Start", "udTmr1StartHour", "udTmr1StartMinute", reg::kTimer1StartHour, reg::kTimer1StartMinute},
    {"Timer1 Stop", "udTmr1StopHour", "udTmr1StopMinute", reg::kTimer1StopHour, reg::kTimer1StopMinute},
    {"Timer2 Start", "udTmr2StartHour", "udTmr2StartMinute", reg::kTimer2StartHour, reg::kTimer2StartMinute},
    {"Timer2 Stop", "udTmr2StopHour", "udTmr2StopMinute", reg::kTimer2StopHour, reg::kTimer2StopMinute},
    {"Timer3 Start", "udTmr3StartHour", "udTmr3StartMinute", reg::kTimer3StartHour, reg::kTimer3StartMinute},
    {"Timer3 Stop", "udTmr3StopHour", "udTmr3StopMinute", reg::kTimer3StopHour, reg::kTimer3StopMinute},
    {"Day Start", "udTmrDayStartHour", "udTmrDayStopMinute", reg::kDayStartHour, reg::kDayStartMinute},
    {"Night Start", "udTmrNgtStartHour", "udTmrNgtStopMinute", reg::kNightStartHour, reg::kNightStartMinute},
}};

constexpr std::array<std::string_view, 12> kMonthNames = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::array<std::string_view, 7> kWeekdayNames = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

}  // namespace

std::string_view TabCaption(SettingsTab tab) {
  constexpr std::array<std::string_view, 9> kCaptions = {"Motion", "Zone",      "Alarms",      "Timers",    "Screen",
                                                         "Titler", "Date-Time", "Serial Port", "Video Loss"};
  return kCaptions[static_cast<std::size_t>(tab)];
}

std::span<const ListSetting> ListSettings() {
  return kListSettings;
}
std::span<const NumberSetting> NumberSettings() {
  return kNumberSettings;
}
std::span<const TimeSetting> TimeSettings() {
  return kTimeSettings;
}

const ListSetting* FindListSetting(RegisterAddress address) {
  for (const auto& setting : kListSettings) {
    if (setting.address == address) return &setting;
  }
  return nullptr;
}

const NumberSetting* FindNumberSetting(RegisterAddress address) {
  for (const auto& setting : kNumberSettings) {
    if (setting.address == address) return &setting;
  }
  return nullptr;
}

std::string_view MonthName(int month) {
  return month >= 1 && month <= 12 ? kMonthNames[static_cast<std::size_t>(month - 1)] : std::string_view{};
}

std::string_view WeekdayName(int weekday) {
  return weekday >= 1 && weekday <= 7 ? kWeekdayNames[static_cast<std::size_t>(weekday - 1)] : std::string_view{};
}

std::string TwoDigitLabel(int value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (digits.size() < 2) digits.insert(0, "0");
  return value < 0 ? "-" + digits : digits;
}

std::string AlarmOutputLabel(int value) {
  std::string label = TwoDigitLabel(value);
  return label == "00" ? "MAN" : label;
}

}  // namespace koral
