// frmSerialWin: the serial monitor. The unit's output data as the lines its
// view-model decodes, with cmbSerialOutput choosing how the frames are read.
#pragma once

#include "monitor/serial_monitor_model.h"
#include "ui/monitor_window.h"

class QComboBox;

namespace koral::ui {

class SerialMonitorWindow : public MonitorWindow {
  Q_OBJECT

 public:
  explicit SerialMonitorWindow(SerialMonitorModel& model, QWidget* parent = nullptr);

  // The menu entry "Serial &Window": shows the window (loading it first),
  // raised and active.
  void ShowFromMenu();

 protected:
  void ClearModel() override { model_.Clear(); }
  void CloseModel() override { model_.Close(); }

 private:
  void ShowSelectedType();

  SerialMonitorModel& model_;
  QComboBox* output_ = nullptr;
};

}  // namespace koral::ui
