// The "Motion" tab: the motion mode list and, per zone A..H, the trigger
// level, sensitivity and track time up-downs, shown for the zones the mode uses.
#pragma once

#include <array>
#include <optional>

#include "model/register_map.h"
#include "ui/settings_bindings.h"
#include "ui/settings_page.h"

class QComboBox;
class QLabel;

namespace koral::ui {

class MotionPage : public SettingsPage {
 public:
  explicit MotionPage(SettingsWindowModel& model, QWidget* parent = nullptr);

  void ShowParts(SettingsParts parts) override;

 private:
  struct Row {
    QLabel* caption;  // lblMotion
    UpDownBinding trigger;
    UpDownBinding sensitivity;
    UpDownBinding track;
  };

  SettingsWindowModel& model_;
  QComboBox* mode_;  // CmbMotion
  std::array<std::optional<Row>, kZoneCount> rows_;
};

}  // namespace koral::ui
