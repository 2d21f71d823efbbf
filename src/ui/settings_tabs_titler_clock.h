// The "Titler" tab (the 16-character title txtVCGS) and the "Date-Time" tab
// (the PC clock as the unit receives it, the alarm counter and the DST rule).
#pragma once

#include <array>

#include "ui/settings_page.h"
#include "ui/settings_tabs_catalogue.h"

class QLabel;
class QLineEdit;

namespace koral::ui {

class TitlerPage : public SettingsPage {
 public:
  explicit TitlerPage(SettingsWindowModel& model, QWidget* parent = nullptr);

  void ShowParts(SettingsParts parts) override;

 private:
  void ShowTitle();

  SettingsWindowModel& model_;
  QLineEdit* title_;  // txtVCGS
};

class DateTimePage : public CataloguePage {
 public:
  explicit DateTimePage(SettingsWindowModel& model, QWidget* parent = nullptr);

  void ShowParts(SettingsParts parts) override;

 private:
  SettingsWindowModel& model_;
  // lblMonth, lblDay, lblYear, lblHour, lblMinute, lblSec, lblDOW
  std::array<QLabel*, 7> clock_{};
};

}  // namespace koral::ui
