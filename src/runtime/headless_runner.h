// The link engine and its view-models on a Qt event loop, with no window: what
// the command-line tool runs, and what the end-to-end tests drive. The link
// runtime owns the session, the clocks, the devices, the engine and the
// timers, as it does for the desktop program; the runner is its window layer:
// every question is answered (OK unless told otherwise), and every message,
// question and window step is recorded.
#pragma once

#include <QObject>
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
#include "platform/qt_serial_port.h"
#include "platform/qt_udp_socket.h"
#include "runtime/link_runtime.h"

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
  Damaged,      // an upload ended with a damaged frame among its own: nothing was kept
};

class HeadlessRunner final : private WindowLayer {
 public:
  // The serial link on COM1..COM6 as the system and KORAL_COM1..KORAL_COM6 name
  // them, or the network link.
  explicit HeadlessRunner(LinkMode link);
  // The serial link with these devices behind COM1..COM6.
  explicit HeadlessRunner(const PortDevices& devices);
  ~HeadlessRunner() override;
  HeadlessRunner(const HeadlessRunner&) = delete;
  HeadlessRunner& operator=(const HeadlessRunner&) = delete;

  LinkEngine& Engine() { return runtime_.Engine(); }
  Session& GetSession() { return runtime_.GetSession(); }
  // The keypad window's model; load it when the keypad opens, after connecting,
  // so that its keys follow the model chosen in the connection window.
  KeypadModel& Keypad() { return runtime_.Keypad(); }
  Clock& GetClock() { return runtime_.GetClock(); }
  // The network link's socket; null on the serial link.
  QtUdpSocket* Socket() { return runtime_.Socket(); }

  // Runs the event loop until `condition` holds or `timeoutMs` has passed; the
  // condition's last value.
  bool RunUntil(const std::function<bool()>& condition, int timeoutMs) {
    return runtime_.RunUntil(condition, timeoutMs);
  }

  // ---- what a user does ----
  // The serial connection window: model and video chosen, then the entry of
  // COM `comPort` (1..6) at speed position `speedIndex` (0..5); the connection
  // check for a QT-1RX (once the unit has answered, or
  // ConnectionCheckModel::kStatusReplyWaitMs has passed); then the settings
  // window, whose main timer starts.
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

  // ---- what the windows would have shown ----
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
  bool MainTimerRunning() const { return runtime_.MainTimerRunning(); }
  int MainTimerInterval() const { return runtime_.MainTimerInterval(); }
  bool UnpackTimerRunning() const { return runtime_.UnpackTimerRunning(); }
  bool SerialMonitorPolling() const { return runtime_.SerialMonitorPolling(); }

 private:
  HeadlessRunner(LinkMode link, std::unique_ptr<QtSerialPorts> ports);

  // WindowLayer
  bool AskOkCancel(std::string_view title, std::string_view text) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void AskRetry(std::string_view title, std::string_view text) override;
  // Recorded at once and followed once the engine call that asked has returned,
  // as a window would be shown and activated.
  void ApplyWindowStep(const WindowStep& step) override;
  void ShowConnectionWindow() override { ++connectionWindowRequests_; }
  // The runtime keeps the timers and the polling flag.
  void SetUnpackTimer(int /*intervalMs*/) override {}
  void SetSerialMonitorPolling(bool /*on*/) override {}

  void Record(ShownDialog::Kind kind, std::string_view title, std::string_view text);
  // Records a step and follows it.
  ConnectOutcome TakeStep(const WindowStep& step);
  // Shows what a step asks for; the outcome of the connection flow it leads to.
  ConnectOutcome FollowStep(const WindowStep& step);
  ConnectOutcome RunConnectionCheck();
  void ShowSettingsWindow();
  // Runs a started transfer to its end and says how it ended.
  TransferOutcome AwaitTransferEnd(const std::function<bool()>& running, std::size_t dialogsBefore,
                                   int connectionWindowsBefore, int timeoutMs);
  void LoadSettingsWindow();

  // What the window layer records comes before the runtime that reports to it.
  bool answerOk_ = true;
  std::function<void(const ShownDialog&)> dialogListener_;
  std::vector<ShownDialog> dialogs_;
  std::vector<WindowStep> steps_;
  int connectionWindowRequests_ = 0;
  bool connectionWindowLoaded_ = false;
  bool settingsWindowLoaded_ = false;

  LinkRuntime runtime_;
  QObject context_;  // queued window steps die with the runner, before the runtime
};

}  // namespace koral
