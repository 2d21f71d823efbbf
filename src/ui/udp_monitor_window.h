// UDPWin: the UDP monitor. The unit's event datagrams as the lines the
// network receive path has decoded into its view-model.
#pragma once

#include "net/udp_monitor_model.h"
#include "ui/monitor_window.h"

namespace koral::ui {

class UdpMonitorWindow : public MonitorWindow {
  Q_OBJECT

 public:
  explicit UdpMonitorWindow(UdpMonitorModel& model, QWidget* parent = nullptr);

  // The menu entry "Serial &Window" on the network link: shows the window
  // (loading it first, which registers with the bridge), raised and active.
  void ShowFromMenu();

 protected:
  void ClearModel() override { model_.Clear(); }
  void CloseModel() override { model_.Close(); }

 private:
  UdpMonitorModel& model_;
};

}  // namespace koral::ui
