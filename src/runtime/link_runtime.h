// The link engine on Qt's event loop: the session, the clocks, the devices of
// one link, the engine and the timers its view-models ask for. The desktop
// program and the command-line tool both run one of these; each brings its own
// window layer for the questions, messages and windows, and the runtime keeps
// the timers itself.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <string_view>

#include "app/keypad_model.h"
#include "app/link_engine.h"
#include "app/session.h"
#include "app/window_layer.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_udp_socket.h"
#include "platform/system_file_sync.h"
#include "platform/system_hardware_addresses.h"
#include "platform/system_wall_clock.h"

namespace koral {

class LinkRuntime final : private WindowLayer {
 public:
  // The serial link on `ports` (null for the network link), told to `windows`.
  LinkRuntime(LinkMode link, std::unique_ptr<QtSerialPorts> ports, WindowLayer& windows);
  ~LinkRuntime() override;
  LinkRuntime(const LinkRuntime&) = delete;
  LinkRuntime& operator=(const LinkRuntime&) = delete;

  LinkEngine& Engine() { return engine_; }
  Session& GetSession() { return session_; }
  KeypadModel& Keypad() { return keypad_; }
  Clock& GetClock() { return clock_; }
  QtSerialPorts* Ports() { return ports_.get(); }
  QtUdpSocket* Socket() { return socket_.get(); }

  // Installs the receive handlers; once, before the first connection.
  void Listen();
  // Run during the protocol's waits from now on (the windows' repaints).
  void SetWaitPump(WaitPump* pump) { clock_.SetWaitPump(pump); }
  // Told of every change of the settings window, after the runtime has made
  // the main timer follow it.
  void SetSettingsListener(std::function<void(SettingsParts)> listener) { settingsListener_ = std::move(listener); }

  // Runs the event loop until `condition` holds or `timeoutMs` has passed; the
  // condition's last value. For scripts: a window never waits like this.
  bool RunUntil(const std::function<bool()>& condition, int timeoutMs);
  // The connection check (Form1): lets the event loop run, so that the unit's
  // answer to the status request is received, until the check may look, then
  // calls `look` once.
  void AwaitConnectionCheck(std::function<void()> look);
  // The same, blocking in a nested event loop until the check has looked.
  void AwaitConnectionCheckHere();

  // The settings window's main timer as its view-model says.
  void FollowMainTimer();
  bool MainTimerRunning() const { return mainTimer_.isActive(); }
  int MainTimerInterval() const { return mainTimer_.interval(); }
  bool UnpackTimerRunning() const { return unpackTimer_.isActive(); }
  bool SerialMonitorPolling() const { return serialMonitorPolling_; }
  // The serial monitor's own poll timer, for a program that shows the monitor
  // (the command-line tool polls it itself): from now on it runs every 100 ms
  // while the monitor is loaded and an upload has not switched it off.
  void KeepSerialMonitorPolled();
  // After the serial monitor was shown: its timer follows its state.
  void FollowSerialMonitorPoll();
  bool SerialMonitorTimerRunning() const { return monitorTimer_.isActive(); }

 private:
  // WindowLayer: the timers are ours, the rest is the window layer's.
  bool AskOkCancel(std::string_view title, std::string_view text) override { return windows_.AskOkCancel(title, text); }
  void ShowMessage(std::string_view title, std::string_view text) override { windows_.ShowMessage(title, text); }
  void AskRetry(std::string_view title, std::string_view text) override { windows_.AskRetry(title, text); }
  void ApplyWindowStep(const WindowStep& step) override { windows_.ApplyWindowStep(step); }
  void ShowConnectionWindow() override { windows_.ShowConnectionWindow(); }
  void SetUnpackTimer(int intervalMs) override;
  void SetSerialMonitorPolling(bool on) override;

  void OnMainTimer();
  void OnCheckTimer();

  WindowLayer& windows_;
  SystemFileSync fileSync_;
  Session session_;
  QtClock clock_;
  SystemWallClock wallClock_;
  std::unique_ptr<QtSerialPorts> ports_;
  std::unique_ptr<QtUdpSocket> socket_;
  std::unique_ptr<SystemHardwareAddresses> hardwareAddresses_;
  LinkEngine engine_;
  KeypadModel keypad_;

  QObject context_;  // queued calls and timer slots die with the runtime
  QTimer mainTimer_;
  QTimer unpackTimer_;
  QTimer checkTimer_;
  QTimer monitorTimer_;
  bool monitorTimerWanted_ = false;
  QElapsedTimer checkStarted_;
  std::function<void()> pendingLook_;
  bool listening_ = false;
  bool serialMonitorPolling_ = true;
  std::function<void(SettingsParts)> settingsListener_;
};

}  // namespace koral
