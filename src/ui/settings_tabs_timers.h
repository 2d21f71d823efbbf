// The "Timers" tab: the three weekly timers, each a days list with a start
// and a stop time, and the Day/Night switching timer with its day start and
// night start. A time is an hour and a minute up-down.
#pragma once

#include <vector>

#include "ui/settings_bindings.h"
#include "ui/settings_page.h"

namespace koral::ui {

class TimersPage : public SettingsPage {
 public:
  explicit TimersPage(SettingsWindowModel& model, QWidget* parent = nullptr);

  void ShowParts(SettingsParts parts) override;

 private:
  struct Time {
    UpDownBinding hour;
    UpDownBinding minute;
  };

  SettingsWindowModel& model_;
  std::vector<SettingList> lists_;
  std::vector<Time> times_;  // TimeSettings() order
};

}  // namespace koral::ui
