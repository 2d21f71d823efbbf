// The link engine and its view-models on a Qt event loop, with no window: what
// the command-line tool runs, and what the end-to-end tests drive. It owns the
// session, the clocks, the devices of one link and the engine, keeps the
// settings window's main timer and the upload's unpack timer running as the
// view-models say, and stands in for the window layer: every question is
// answered (OK unless told otherwise), and every message, question and window
// step is recorded.
#pragma once

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/keypad_model.h"
#include "app/link_engine.h"
#include "app/session.h"
#include "app/window_layer.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_udp_socket.h"
#include "platform/system_hardware_addresses.h"
#include "platform/system_wall_clock.h"

namespace koral {

// A message box the program would have shown.
struct ShownDialog {
  enum class Kind {
    Message,       // OK only
    Question,      // OK / Cancel
    RetryQuestion  // Cancel, Try Again, Continue: what follows is the same for each
  };
  Kind kind = Kind::Message;
  std::string title;
  std::string text;
  friend bool operator==(const ShownDialog&, const ShownDialog&) = default;
};

enum class ConnectOutcome {
  Connected,  // the settings window is up and its main timer runs
  PortError,  // the serial port could not be opened (ConnectResult::reason says why)
  NoAnswer,   // the unit did not answer the status request: the "Connection" dialog was offered
};

struct ConnectResult {
  ConnectOutcome outcome = ConnectOutcome::NoAnswer;
  std::string reason;  // for a port error, the text the connection window showed
};

enum class TransferOutcome {
  Completed,    // the completion message was shown
  Cancelled,    // the confirmation was answered Cancel
  NotStarted,   // the program works offline: the connection window was asked for instead
  LinkFailure,  // the heartbeat gave up on the unit and asked for the connection window
  TimedOut,     // still running when the time was up
};

class HeadlessRunner final : public WindowLayer {
 public:
  // A script's connection check looks once, like the window's, but first gives
  // the unit this long to answer the status request of the connection window:
  // a unit that has not answered within two seconds is taken as not there.
  static constexpr int kStatusReplyWaitMs = 2000;

  // The serial link on COM1..COM6 as the system and KORAL_COM1..KORAL_COM6 name
  // them, or the network link.
  explicit HeadlessRunner(LinkMode link);
  // The serial link with these devices behind COM1..COM6.
  explicit HeadlessRunner(const PortDevices& devices);
  ~HeadlessRunner() override;
  HeadlessRunner(const HeadlessRunner&) = delete;
  HeadlessRunner& operator=(const HeadlessRunner&) = delete;

  LinkEngine& Engine() { return engine_; }
  Session& GetSession() { return session_; }
  // The keypad window's model; load it when the keypad opens, after connecting,
  // so that its keys follow the model chosen in the connection window.
  KeypadModel& Keypad() { return keypad_; }
  Clock& GetClock() { return clock_; }
  // The network link's socket; null on the serial link.
  QtUdpSocket* Socket() { return socket_.get(); }

  // Runs the event loop until `condition` holds or `timeoutMs` has passed; the
  // condition's last value.
  bool RunUntil(const std::function<bool()>& condition, int timeoutMs);

  // ---- what a user does ----
  // The serial connection window: model and video chosen, then the entry of
  // COM `comPort` (1..6) at speed position `speedIndex` (0..5); the connection
  // check for a QT-1RX (after waiting up to kStatusReplyWaitMs for the reply);
  // then the settings window, whose main timer starts.
  ConnectResult ConnectSerial(int comPort, int speedIndex, UnitModel model, VideoStandard video = VideoStandard::Ntsc);
  // The network connection window: the bridge's address and UDP port, this
  // PC's UDP port, the speed, model and video, then "Connect", the check and
  // the settings window as above.
  ConnectResult ConnectNetwork(const std::string& bridgeAddress, std::uint16_t bridgePort, std::uint16_t localPort,
                               int speedIndex, UnitModel model, VideoStandard video = VideoStandard::Ntsc);
  // Communication > Download, then the main timer runs it to its end.
  TransferOutcome Download(int timeoutMs);
  // Communication > Upload, then the frames and the main timer run it to its end.
  TransferOutcome Upload(int timeoutMs);

  // ---- the window layer's side ----
  // How the questions (OK / Cancel) are answered from now on; OK at first.
  void AnswerQuestionsWith(bool ok) { answerOk_ = ok; }
  // Told of every dialog as it is shown (for progress on a terminal, say).
  void SetDialogListener(std::function<void(const ShownDialog&)> listener) { dialogListener_ = std::move(listener); }
  const std::vector<ShownDialog>& Dialogs() const { return dialogs_; }
  bool DialogShown(std::string_view text) const;
  // Every step of the connection flow, from the connection windows, the check
  // and the engine, in order.
  const std::vector<WindowStep>& WindowSteps() const { return steps_; }
  // How often the connection window was asked for (link failure, offline transfer).
  int ConnectionWindowRequests() const { return connectionWindowRequests_; }
  bool MainTimerRunning() const { return mainTimer_.isActive(); }
  int MainTimerInterval() const { return mainTimer_.interval(); }
  bool UnpackTimerRunning() const { return unpackTimer_.isActive(); }
  bool SerialMonitorPolling() const { return serialMonitorPolling_; }

  // WindowLayer
  bool AskOkCancel(std::string_view title, std::string_view text) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void AskRetry(std::string_view title, std::string_view text) override;
  // Recorded at once and followed once the engine call that asked has returned,
  // as a window would be shown and activated.
  void ApplyWindowStep(const WindowStep& step) override;
  void ShowConnectionWindow() override { ++connectionWindowRequests_; }
  void SetUnpackTimer(int intervalMs) override;
  void SetSerialMonitorPolling(bool on) override { serialMonitorPolling_ = on; }

 private:
  HeadlessRunner(LinkMode link, std::unique_ptr<QtSerialPorts> ports);

  void Record(ShownDialog::Kind kind, std::string_view title, std::string_view text);
  // Records a step and follows it.
  ConnectOutcome TakeStep(const WindowStep& step);
  // Shows what a step asks for; the outcome of the connection flow it leads to.
  ConnectOutcome FollowStep(const WindowStep& step);
  ConnectOutcome RunConnectionCheck();
  void ShowSettingsWindow();
  // The main timer as SettingsWindowModel::MainTimer() says.
  void FollowMainTimer();
  void OnMainTimer();
  // Runs a started transfer to its end and says how it ended.
  TransferOutcome AwaitTransferEnd(const std::function<bool()>& running, std::size_t dialogsBefore,
                                   int connectionWindowsBefore, int timeoutMs);
  void LoadSettingsWindow();

  Session session_;
  QtClock clock_;
  SystemWallClock wallClock_;
  std::unique_ptr<QtSerialPorts> ports_;
  std::unique_ptr<QtUdpSocket> socket_;
  std::unique_ptr<SystemHardwareAddresses> hardwareAddresses_;
  LinkEngine engine_;
  KeypadModel keypad_;

  QObject context_;  // queued calls die with the runner
  QTimer mainTimer_;
  QTimer unpackTimer_;
  bool listening_ = false;
  bool connectionWindowLoaded_ = false;
  bool settingsWindowLoaded_ = false;

  bool answerOk_ = true;
  std::function<void(const ShownDialog&)> dialogListener_;
  std::vector<ShownDialog> dialogs_;
  std::vector<WindowStep> steps_;
  int connectionWindowRequests_ = 0;
  bool serialMonitorPolling_ = true;
};

}  // namespace koral
