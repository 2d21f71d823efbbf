#include "ui/ip_tool.h"

#include <QTimer>
#include <algorithm>
#include <cstdint>
#include <utility>

#include "app/session.h"
#include "link/transport.h"
#include "net/ip_setting_model.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/window_events_during_waits.h"
#include "ui/ip_address_window.h"
#include "ui/ip_port_window.h"

namespace koral::ui {

// The parts in the order they depend on each other; the windows go first.
class IpTool::Composition {
 public:
  explicit Composition(std::function<void()> endProgram)
      : transport_(session_.linkMode, clock_, &ports_, nullptr, nullptr),
        addressModel_(transport_, clock_),
        portModel_(transport_, addressModel_),
        addressWindow_(
            addressModel_, [this] { FollowReadBackTimer(); }, endProgram),
        portWindow_(
            portModel_, [this] { ShowAddressWindow(); }, std::move(endProgram)) {
    // The windows repaint during the 10 ms pauses after each byte.
    clock_.SetWaitPump(&waitPump_);
    readBack_.setSingleShot(true);
    QObject::connect(&readBack_, &QTimer::timeout, &readBack_, [this] { OnReadBackTimer(); });
  }

  void Start() {
    portWindow_.show();
    portWindow_.raise();
    portWindow_.activateWindow();
  }

 private:
  void ShowAddressWindow() {
    // Loading the address window started the model's timer.
    FollowReadBackTimer();
    if (!addressModel_.Visible()) return;
    addressWindow_.show();
    addressWindow_.raise();
    addressWindow_.activateWindow();
  }

  // Runs the timer as the model has it: stopped at period 0, (re)started when
  // the model started it anew, due a period after the model's start.
  void FollowReadBackTimer() {
    if (addressModel_.TimerPeriodMs() == 0) {
      readBack_.stop();
      return;
    }
    const std::int64_t startedAt = addressModel_.TimerStartedAtMs();
    if (readBack_.isActive() && startedAt == followedStartMs_) return;
    followedStartMs_ = startedAt;
    const std::int64_t dueInMs = startedAt + addressModel_.TimerPeriodMs() - clock_.NowMs();
    readBack_.start(static_cast<int>(std::max<std::int64_t>(dueInMs, 0)));
  }

  void OnReadBackTimer() {
    addressModel_.TimerTick();
    addressWindow_.ShowModel();
    FollowReadBackTimer();
  }

  Session session_;  // the serial link; the tool uses nothing else of it
  QtClock clock_;
  WindowEventsDuringWaits waitPump_;
  QtSerialPorts ports_;
  Transport transport_;
  IpAddressModel addressModel_;
  IpPortModel portModel_;
  QTimer readBack_;  // Timer1
  std::int64_t followedStartMs_ = -1;
  IpAddressWindow addressWindow_;
  IpPortWindow portWindow_;
};

IpTool::IpTool(std::function<void()> endProgram) : composition_(std::make_unique<Composition>(std::move(endProgram))) {}

IpTool::~IpTool() = default;

void IpTool::Start() {
  composition_->Start();
}

}  // namespace koral::ui
