#include "runtime/link_runtime.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <utility>

namespace koral {
namespace {

// How often a waiting loop looks at its condition.
constexpr int kConditionPollMs = 10;

Session NewSession(LinkMode link) {
  Session session;
  session.linkMode = link;
  return session;
}

}  // namespace

LinkRuntime::LinkRuntime(LinkMode link, std::unique_ptr<QtSerialPorts> ports, WindowLayer& windows)
    : windows_(windows),
      session_(NewSession(link)),
      ports_(link == LinkMode::Serial ? std::move(ports) : nullptr),
      socket_(link == LinkMode::Udp ? std::make_unique<QtUdpSocket>() : nullptr),
      hardwareAddresses_(link == LinkMode::Udp ? std::make_unique<SystemHardwareAddresses>() : nullptr),
      engine_(session_, clock_, wallClock_, LinkDevices{ports_.get(), socket_.get(), hardwareAddresses_.get()}, *this),
      keypad_(session_, engine_.GetTransport(), clock_) {
  session_.fileSync = &fileSync_;
  mainTimer_.setTimerType(Qt::PreciseTimer);
  // Each tick starts the next interval itself (OnMainTimer).
  mainTimer_.setSingleShot(true);
  unpackTimer_.setTimerType(Qt::PreciseTimer);
  checkTimer_.setInterval(kConditionPollMs);
  QObject::connect(&mainTimer_, &QTimer::timeout, &context_, [this] { OnMainTimer(); });
  QObject::connect(&unpackTimer_, &QTimer::timeout, &context_, [this] { engine_.UnpackTimerTick(); });
  QObject::connect(&checkTimer_, &QTimer::timeout, &context_, [this] { OnCheckTimer(); });
  monitorTimer_.setInterval(SerialMonitorModel::kPollMs);
  QObject::connect(&monitorTimer_, &QTimer::timeout, &context_, [this] { engine_.MonitorPollTick(); });
  // Whatever the settings window does to its timer takes effect when the
  // action that did it has finished.
  engine_.Settings().SetChangeListener([this](SettingsParts parts) {
    FollowMainTimer();
    if (settingsListener_) settingsListener_(parts);
  });
}

LinkRuntime::~LinkRuntime() {
  mainTimer_.stop();
  unpackTimer_.stop();
  checkTimer_.stop();
  monitorTimer_.stop();
  engine_.Settings().SetChangeListener(nullptr);
  // No notification may reach the engine while the devices go.
  if (ports_) {
    for (int n = 1; n <= SerialPorts::kCount; ++n)
      ports_->Port(n).SetReceiveHandler(nullptr);
  }
  if (socket_) socket_->SetDatagramHandler(nullptr);
}

void LinkRuntime::Listen() {
  if (listening_) return;
  engine_.Listen();
  listening_ = true;
}

bool LinkRuntime::RunUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer elapsed;
  elapsed.start();
  QEventLoop loop;
  QTimer wake;
  wake.setSingleShot(true);
  QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
  while (!condition()) {
    const qint64 left = timeoutMs - elapsed.elapsed();
    if (left <= 0) return condition();
    wake.start(static_cast<int>(std::min<qint64>(left, kConditionPollMs)));
    loop.exec();
  }
  return true;
}

void LinkRuntime::AwaitConnectionCheck(std::function<void()> look) {
  pendingLook_ = std::move(look);
  checkStarted_.start();
  checkTimer_.start();
}

void LinkRuntime::OnCheckTimer() {
  if (!pendingLook_ || !engine_.ConnectionCheck().ReadyToLook(static_cast<int>(checkStarted_.elapsed()))) return;
  checkTimer_.stop();
  const auto look = std::exchange(pendingLook_, nullptr);
  look();
}

void LinkRuntime::AwaitConnectionCheckHere() {
  QElapsedTimer since;
  since.start();
  ConnectionCheckModel& check = engine_.ConnectionCheck();
  RunUntil([&] { return check.ReadyToLook(static_cast<int>(since.elapsed())); },
           ConnectionCheckModel::kStatusReplyWaitMs + kConditionPollMs);
}

void LinkRuntime::FollowMainTimer() {
  const MainTimerState& state = engine_.Settings().MainTimer();
  if (!state.enabled || state.intervalMs <= 0) {
    mainTimer_.stop();
    return;
  }
  // A running timer keeps its rhythm unless the interval changes.
  if (!mainTimer_.isActive() || mainTimer_.interval() != state.intervalMs) mainTimer_.start(state.intervalMs);
}

void LinkRuntime::OnMainTimer() {
  // The next tick is due one interval after this one fired. A periodic timer
  // would keep a grid instead, and a download step that ran a little over a
  // whole interval would then wait for the grid point after next: a few
  // milliseconds late would cost the link most of an interval.
  const MainTimerState& state = engine_.Settings().MainTimer();
  if (state.enabled && state.intervalMs > 0) mainTimer_.start(state.intervalMs);
  engine_.MainTimerTick();
  FollowMainTimer();
}

void LinkRuntime::SetUnpackTimer(int intervalMs) {
  if (intervalMs <= 0) {
    unpackTimer_.stop();
    return;
  }
  unpackTimer_.start(intervalMs);
}

void LinkRuntime::SetSerialMonitorPolling(bool on) {
  serialMonitorPolling_ = on;
  FollowSerialMonitorPoll();
  windows_.SetSerialMonitorPolling(on);
}

void LinkRuntime::KeepSerialMonitorPolled() {
  monitorTimerWanted_ = true;
  FollowSerialMonitorPoll();
}

void LinkRuntime::FollowSerialMonitorPoll() {
  const SerialMonitorModel& monitor = engine_.SerialMonitor();
  const bool run =
      monitorTimerWanted_ && session_.linkMode == LinkMode::Serial && monitor.Loaded() && monitor.Polling();
  if (!run) {
    monitorTimer_.stop();
  } else if (!monitorTimer_.isActive()) {
    monitorTimer_.start();
  }
}

}  // namespace koral
