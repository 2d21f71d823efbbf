#include "app/settings_report.h"

#include <algorithm>
#include <functional>

#include "model/bcd.h"
#include "model/setting_catalogue.h"
#include "model/title_charset.h"
#include "zones/motion_modes.h"
#include "zones/track_time.h"

namespace koral {
namespace {

using Show = std::function<std::string(const RegisterBank&)>;

std::string Unlisted(int value) {
  return "? (" + std::to_string(value) + ")";
}

std::string ListValue(const ListSetting& setting, int value) {
  return static_cast<std::size_t>(value) < setting.items.size()
             ? std::string(setting.items[static_cast<std::size_t>(value)])
             : Unlisted(value);
}

std::string ZoneLetter(std::uint8_t stored) {
  const unsigned z = stored & 0x0Fu;
  if (z < kZoneCount) return std::string(1, static_cast<char>('A' + z));
  return z == zone::kNoZone ? "-" : "?";
}

class ReportBuilder {
 public:
  ReportBuilder(const RegisterBanks& banks) : banks_(banks) {}

  void Add(SettingsTab tab, std::string name, const Show& show) {
    rows_.push_back({std::string(TabCaption(tab)), std::move(name), show(banks_.Bank(BankId::Day)),
                     show(banks_.Bank(BankId::Night))});
  }

  void AddList(RegisterAddress address) {
    const ListSetting& setting = *FindListSetting(address);
    Add(setting.tab, std::string(setting.caption),
        [&setting](const RegisterBank& bank) { return ListValue(setting, ReadRegister(bank, setting.address)); });
  }

  void AddNumber(RegisterAddress address, std::string_view name = {}) {
    const NumberSetting& setting = *FindNumberSetting(address);
    const bool manual = address == reg::kAlarmOutputTime;
    Add(setting.tab, std::string(name.empty() ? setting.caption : name), [&setting, manual](const RegisterBank& bank) {
      const int value = ReadRegister(bank, setting.address);
      return manual ? AlarmOutputLabel(value) : TwoDigitLabel(value);
    });
  }

  void AddTime(const TimeSetting& setting) {
    Add(SettingsTab::Timers, std::string(setting.caption), [&setting](const RegisterBank& bank) {
      return TwoDigitLabel(BcdToDecimal(ReadRegister(bank, setting.hour))) + ":" +
             TwoDigitLabel(BcdToDecimal(ReadRegister(bank, setting.minute)));
    });
  }

  std::vector<SettingRow> Take() { return std::move(rows_); }

 private:
  const RegisterBanks& banks_;
  std::vector<SettingRow> rows_;
};

void AddMotion(ReportBuilder& report) {
  report.Add(SettingsTab::Motion, "Mode", [](const RegisterBank& bank) {
    const int mode = ReadRegister(bank, reg::kMotionMode);
    const auto info = MotionModeOf(mode);
    return info ? std::string(info->item) : Unlisted(mode);
  });
  for (int z = 0; z < kZoneCount; ++z) {
    const std::string zoneName = std::string("Zone ") + static_cast<char>('A' + z);
    report.Add(SettingsTab::Motion, zoneName + " Trigger", [z](const RegisterBank& bank) {
      return TwoDigitLabel(ReadRegister(bank, reg::TriggerLevelHigh(z)) * 256 +
                           ReadRegister(bank, reg::TriggerLevelLow(z)));
    });
    report.Add(SettingsTab::Motion, zoneName + " Sens",
               [z](const RegisterBank& bank) { return TwoDigitLabel(ReadRegister(bank, reg::Sensitivity(z))); });
    report.Add(SettingsTab::Motion, zoneName + " Track", [z](const RegisterBank& bank) {
      const int code = ReadRegister(bank, reg::TrackTime(z));
      const std::string label = TrackTimeLabel(code);
      return label.empty() ? Unlisted(code) : label;
    });
  }
}

void AddZoneMap(ReportBuilder& report) {
  for (int row = 0; row < kZoneRows; ++row) {
    report.Add(SettingsTab::Zone, "Row " + TwoDigitLabel(row + 1), [row](const RegisterBank& bank) {
      std::string cells;
      for (int column = 0; column < kZoneColumns; ++column) {
        cells += ZoneLetter(ReadRegister(bank, zone::Cell(row * kZoneColumns + column)));
      }
      return cells;
    });
  }
}

void AddTitle(ReportBuilder& report) {
  report.Add(SettingsTab::Titler, "Title", [](const RegisterBank& bank) {
    std::array<std::uint8_t, kTitleLength> codes{};
    for (int p = 0; p < kTitleLength; ++p)
      codes[static_cast<std::size_t>(p)] = ReadRegister(bank, title::Character(p));
    std::string text = DecodeTitle(codes);
    text.erase(text.find_last_not_of(' ') + 1);
    return "\"" + text + "\"";
  });
}

}  // namespace

std::vector<SettingRow> DescribeSettings(const RegisterBanks& banks) {
  ReportBuilder report(banks);
  AddMotion(report);
  AddZoneMap(report);

  report.AddList(reg::kBuzzer);
  report.AddList(reg::kRelayOutput);
  report.AddList(title::kRelayState);
  report.AddList(reg::kExternalInput);
  report.AddList(reg::kWatchDog);
  report.AddNumber(reg::kEntranceDelay);
  report.AddNumber(reg::kExitDelay);
  report.AddList(reg::kAlarmProcess);
  report.AddNumber(reg::kAlarmOutputTime);
  report.AddNumber(reg::kAlarmResetTime);

  const auto times = TimeSettings();
  const RegisterAddress timerDays[] = {reg::kTimer1Days, reg::kTimer2Days, reg::kTimer3Days};
  for (std::size_t t = 0; t < 3; ++t) {
    report.AddList(timerDays[t]);
    report.AddTime(times[2 * t]);
    report.AddTime(times[2 * t + 1]);
  }
  report.AddList(reg::kDayNightTimer);
  report.AddTime(times[6]);
  report.AddTime(times[7]);

  report.AddList(reg::kDisplayLayout);
  report.AddNumber(reg::kHorizontalPosition, "Horizontal Position");
  report.AddNumber(reg::kVerticalPosition, "Vertical Position");
  for (const auto address : {reg::kStatusDisplay, reg::kCalendar, reg::kTimeDisplay, reg::kTraceEffect,
                             reg::kVideoBlackout, reg::kTitlerDisplay}) {
    report.AddList(address);
  }

  AddTitle(report);

  report.AddNumber(datetime::kAlarmCounter);
  report.AddList(datetime::kDaylightSaving);

  report.AddList(reg::kUnitBaudRate);
  report.AddNumber(reg::kUnitAddress);
  report.AddList(reg::kOutputRate);
  report.AddList(reg::kOutputData);

  report.AddList(reg::kVideoLossAlarm);
  report.AddList(reg::kVideoLossBuzzer);
  report.AddList(reg::kVideoLossOutput);
  return report.Take();
}

std::string FormatSettingsReport(const std::vector<SettingRow>& rows) {
  std::size_t nameWidth = std::string_view("Setting").size();
  std::size_t dayWidth = std::string_view("DAY").size();
  for (const auto& row : rows) {
    nameWidth = std::max(nameWidth, row.name.size());
    dayWidth = std::max(dayWidth, row.day.size());
  }
  const auto line = [&](const std::string& name, const std::string& day, const std::string& night) {
    std::string text = name;
    text.append(nameWidth + 2 - name.size(), ' ');
    text += day;
    text.append(dayWidth + 2 - day.size(), ' ');
    text += night;
    text.erase(text.find_last_not_of(' ') + 1);
    return text + "\n";
  };

  std::string text = line("Setting", "DAY", "NIGHT");
  std::string section;
  for (const auto& row : rows) {
    if (row.section != section) {
      section = row.section;
      text += "\n[" + section + "]\n";
    }
    text += line(row.name, row.day, row.night);
  }
  return text;
}

}  // namespace koral
