// One tab of the settings window: it builds its widgets bound to the
// view-model and writes the state of the parts a change touched into them.
#pragma once

#include <QWidget>

#include "app/settings_window_model.h"

namespace koral::ui {

class SettingsPage : public QWidget {
 public:
  using QWidget::QWidget;

  virtual void ShowParts(SettingsParts parts) = 0;
};

}  // namespace koral::ui
