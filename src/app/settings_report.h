// The settings of both banks as text a person reads: one row per setting with
// its DAY and NIGHT value shown as the settings window shows it.
#pragma once

#include <string>
#include <vector>

#include "model/register_bank.h"

namespace koral {

struct SettingRow {
  std::string section;  // the tab the setting sits on
  std::string name;
  std::string day;
  std::string night;
};

std::vector<SettingRow> DescribeSettings(const RegisterBanks& banks);

// A table with a heading line, one block per tab, columns padded with spaces.
std::string FormatSettingsReport(const std::vector<SettingRow>& rows);

}  // namespace koral
