#include "ui/udp_monitor_window.h"

namespace koral::ui {

UdpMonitorWindow::UdpMonitorWindow(UdpMonitorModel& model, QWidget* parent)
    : MonitorWindow(model.Display(), QStringLiteral("UDPWin"), TextsOf<UdpMonitorModel>(), parent), model_(model) {}

void UdpMonitorWindow::ShowFromMenu() {
  model_.Show();
  ShowAndRaise();
}

}  // namespace koral::ui
