// AlarmWin, the zone alarm window: eight lamps A..H over AlarmWindowModel,
// the sound toggle and "Clear Alarm". Its own 100 ms timer ticks the model
// while the window is loaded.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>

#include "monitor/alarm_window_model.h"

class QPushButton;

namespace koral::ui {

class AlarmLamp;

class AlarmWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AlarmWindow(koral::AlarmWindowModel& model, QWidget* parent = nullptr);

  // Loads the window unless it is loaded already (the model, its message, the
  // timer), then brings it to the front.
  void Open();

  // Writes the model's lamps and captions into the widgets.
  void ShowState();

 protected:
  // Closing unloads: the timer stops and the model forgets its state.
  void closeEvent(QCloseEvent* event) override;

 private:
  void Tick();

  koral::AlarmWindowModel& model_;
  std::array<AlarmLamp*, koral::AlarmWindowModel::kZoneCount> lamps_{};
  QPushButton* soundToggle_;
  QPushButton* clearAlarm_;
  QTimer timer_;
};

}  // namespace koral::ui
