// The "Zone" tab: the zone grid and, below it, the nine buttons that choose
// the zone a stroke paints (A..H and "-" for no zone).
#pragma once

#include <array>

#include "ui/settings_page.h"

class QPushButton;
class ZoneGridWidget;

namespace koral::ui {

class ZonePage : public SettingsPage {
 public:
  explicit ZonePage(SettingsWindowModel& model, QWidget* parent = nullptr);

  void ShowParts(SettingsParts parts) override;

 private:
  void ShowButtons();

  SettingsWindowModel& model_;
  ZoneGridWidget* grid_;
  std::array<QPushButton*, kZoneButtonCount> buttons_{};  // btnZone
};

}  // namespace koral::ui
