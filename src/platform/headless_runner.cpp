#include "platform/headless_runner.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>

namespace koral {
namespace {

// How often RunUntil looks at its condition while the event loop runs.
constexpr int kConditionPollMs = 10;
// The title of both transfers' completion messages ("Download Completed",
// "Upload  Completed"); a link failure asks its question under another one.
constexpr std::string_view kTransferDoneTitle = "Communication";

Session NewSession(LinkMode link) {
  Session session;
  session.linkMode = link;
  return session;
}

ShownDialog::Kind KindOf(DialogButtons buttons) {
  return buttons == DialogButtons::Ok ? ShownDialog::Kind::Message : ShownDialog::Kind::Question;
}

}  // namespace

HeadlessRunner::HeadlessRunner(LinkMode link)
    : HeadlessRunner(link, link == LinkMode::Serial ? std::make_unique<QtSerialPorts>() : nullptr) {}

HeadlessRunner::HeadlessRunner(const PortDevices& devices)
    : HeadlessRunner(LinkMode::Serial, std::make_unique<QtSerialPorts>(devices)) {}

HeadlessRunner::HeadlessRunner(LinkMode link, std::unique_ptr<QtSerialPorts> ports)
    : session_(NewSession(link)),
      ports_(std::move(ports)),
      socket_(link == LinkMode::Udp ? std::make_unique<QtUdpSocket>() : nullptr),
      hardwareAddresses_(link == LinkMode::Udp ? std::make_unique<SystemHardwareAddresses>() : nullptr),
      engine_(session_, clock_, wallClock_, LinkDevices{ports_.get(), socket_.get(), hardwareAddresses_.get()}, *this),
      keypad_(session_, engine_.GetTransport(), clock_) {
  mainTimer_.setTimerType(Qt::PreciseTimer);
  unpackTimer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&mainTimer_, &QTimer::timeout, &context_, [this] { OnMainTimer(); });
  QObject::connect(&unpackTimer_, &QTimer::timeout, &context_, [this] { engine_.UnpackTimerTick(); });
  // Whatever the settings window does to its timer takes effect when the
  // action that did it has finished.
  engine_.Settings().SetChangeListener([this](SettingsParts) { FollowMainTimer(); });
}

HeadlessRunner::~HeadlessRunner() {
  mainTimer_.stop();
  unpackTimer_.stop();
  // No notification may reach the engine while the devices go.
  if (ports_) {
    for (int n = 1; n <= SerialPorts::kCount; ++n)
      ports_->Port(n).SetReceiveHandler(nullptr);
  }
  if (socket_) socket_->SetDatagramHandler(nullptr);
}

bool HeadlessRunner::RunUntil(const std::function<bool()>& condition, int timeoutMs) {
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

// ---- the connection flows ---------------------------------------------------------

ConnectResult HeadlessRunner::ConnectSerial(int comPort, int speedIndex, UnitModel model, VideoStandard video) {
  if (session_.linkMode != LinkMode::Serial) return {ConnectOutcome::PortError, "There is no serial link in this run"};
  if (!listening_) {
    engine_.Listen();
    listening_ = true;
  }
  SerialConnectionModel& window = engine_.SerialConnection();
  if (!connectionWindowLoaded_) {
    window.Load();
    connectionWindowLoaded_ = true;
  }
  window.Activate();
  window.Options().ChooseModel(model);
  window.Options().ChooseVideo(video);
  const WindowStep step = window.Choose((comPort - 1) * kSpeedsPerPort + speedIndex);
  if (engine_.GetTransport().PortError()) {
    TakeStep(step);
    return {ConnectOutcome::PortError, engine_.GetTransport().PortErrorText()};
  }
  LoadSettingsWindow();
  return {TakeStep(step), {}};
}

ConnectResult HeadlessRunner::ConnectNetwork(const std::string& bridgeAddress, std::uint16_t bridgePort,
                                             std::uint16_t localPort, int speedIndex, UnitModel model,
                                             VideoStandard video) {
  if (session_.linkMode != LinkMode::Udp) return {ConnectOutcome::PortError, "There is no network link in this run"};
  Transport& transport = engine_.GetTransport();
  transport.SetBridgePort(bridgePort);
  transport.SetLocalPort(localPort);
  // Listening binds the socket before the first re-arm: on this port too.
  socket_->SetLocalPort(localPort);
  NetworkConnectionModel& window = engine_.NetworkConnection();
  // Typed before the window loads, so that nothing goes to the default address.
  window.SetAddressText(bridgeAddress);
  if (!listening_) {
    engine_.Listen();
    listening_ = true;
  }
  if (!connectionWindowLoaded_) {
    window.Load();
    connectionWindowLoaded_ = true;
  }
  window.Activate();
  window.Options().ChooseModel(model);
  window.Options().ChooseVideo(video);
  window.SelectSpeed(speedIndex);
  const WindowStep step = window.Connect();
  LoadSettingsWindow();
  return {TakeStep(step), {}};
}

void HeadlessRunner::LoadSettingsWindow() {
  // Once per run, after the connection window's first choice: the menus follow
  // the model chosen there.
  if (settingsWindowLoaded_) return;
  engine_.Settings().Load();
  settingsWindowLoaded_ = true;
}

ConnectOutcome HeadlessRunner::TakeStep(const WindowStep& step) {
  steps_.push_back(step);
  return FollowStep(step);
}

ConnectOutcome HeadlessRunner::FollowStep(const WindowStep& step) {
  if (step.message) Record(KindOf(step.message->buttons), step.message->title, step.message->text);
  switch (step.next) {
    case NextWindow::RunConnectionCheck:
      return RunConnectionCheck();
    case NextWindow::ShowSettingsWindow:
      ShowSettingsWindow();
      return ConnectOutcome::Connected;
    case NextWindow::Stay:
      // A port that failed to open, or a new port chosen while an upload runs.
      return engine_.GetTransport().PortError() ? ConnectOutcome::PortError : ConnectOutcome::Connected;
    case NextWindow::ShowConnectionDialog:
      // "Connection": nobody is there to retry or to work offline.
    case NextWindow::AskPortError:
    case NextWindow::AskExit:
    case NextWindow::AskSave:
    case NextWindow::EndProgram:
      break;
  }
  return ConnectOutcome::NoAnswer;
}

ConnectOutcome HeadlessRunner::RunConnectionCheck() {
  Session& session = session_;
  RunUntil([&session] { return !session.mailboxes.status.empty(); }, kStatusReplyWaitMs);
  return TakeStep(engine_.ConnectionCheck().Check());
}

void HeadlessRunner::ShowSettingsWindow() {
  LoadSettingsWindow();
  engine_.Settings().Activate(false);
  FollowMainTimer();
}

// ---- transfers ------------------------------------------------------------------------

TransferOutcome HeadlessRunner::Download(int timeoutMs) {
  const std::size_t dialogsBefore = dialogs_.size();
  const int windowsBefore = connectionWindowRequests_;
  engine_.GetDownload().StartDownload();
  if (!session_.transfer.downloadRequested) return TransferOutcome::NotStarted;
  const TransferState& state = session_.transfer;
  return AwaitTransferEnd([&state] { return state.downloadRequested; }, dialogsBefore, windowsBefore, timeoutMs);
}

TransferOutcome HeadlessRunner::Upload(int timeoutMs) {
  const std::size_t dialogsBefore = dialogs_.size();
  const int windowsBefore = connectionWindowRequests_;
  engine_.GetUpload().StartUpload();
  if (!session_.transfer.uploadActive) {
    return connectionWindowRequests_ > windowsBefore ? TransferOutcome::NotStarted : TransferOutcome::Cancelled;
  }
  const TransferState& state = session_.transfer;
  return AwaitTransferEnd([&state] { return state.uploadActive; }, dialogsBefore, windowsBefore, timeoutMs);
}

TransferOutcome HeadlessRunner::AwaitTransferEnd(const std::function<bool()>& running, std::size_t dialogsBefore,
                                                 int connectionWindowsBefore, int timeoutMs) {
  if (!RunUntil([&running] { return !running(); }, timeoutMs)) return TransferOutcome::TimedOut;
  const bool completed = std::any_of(
      dialogs_.begin() + static_cast<std::ptrdiff_t>(dialogsBefore), dialogs_.end(), [](const ShownDialog& dialog) {
        return dialog.kind == ShownDialog::Kind::Message && dialog.title == kTransferDoneTitle;
      });
  if (completed) return TransferOutcome::Completed;
  if (connectionWindowRequests_ > connectionWindowsBefore) return TransferOutcome::LinkFailure;
  return TransferOutcome::Cancelled;
}

// ---- the window layer ---------------------------------------------------------------

bool HeadlessRunner::AskOkCancel(std::string_view title, std::string_view text) {
  Record(ShownDialog::Kind::Question, title, text);
  return answerOk_;
}

void HeadlessRunner::ShowMessage(std::string_view title, std::string_view text) {
  Record(ShownDialog::Kind::Message, title, text);
}

void HeadlessRunner::AskRetry(std::string_view title, std::string_view text) {
  Record(ShownDialog::Kind::RetryQuestion, title, text);
}

void HeadlessRunner::ApplyWindowStep(const WindowStep& step) {
  steps_.push_back(step);
  QMetaObject::invokeMethod(
      &context_, [this, step] { FollowStep(step); }, Qt::QueuedConnection);
}

void HeadlessRunner::SetUnpackTimer(int intervalMs) {
  if (intervalMs <= 0) {
    unpackTimer_.stop();
    return;
  }
  unpackTimer_.start(intervalMs);
}

bool HeadlessRunner::DialogShown(std::string_view text) const {
  return std::any_of(dialogs_.begin(), dialogs_.end(),
                     [text](const ShownDialog& dialog) { return dialog.text == text; });
}

void HeadlessRunner::Record(ShownDialog::Kind kind, std::string_view title, std::string_view text) {
  dialogs_.push_back({kind, std::string(title), std::string(text)});
  if (dialogListener_) dialogListener_(dialogs_.back());
}

// ---- the main timer -----------------------------------------------------------------

void HeadlessRunner::FollowMainTimer() {
  const MainTimerState& state = engine_.Settings().MainTimer();
  if (!state.enabled || state.intervalMs <= 0) {
    mainTimer_.stop();
    return;
  }
  // A running timer keeps its rhythm unless the interval changes.
  if (!mainTimer_.isActive() || mainTimer_.interval() != state.intervalMs) mainTimer_.start(state.intervalMs);
}

void HeadlessRunner::OnMainTimer() {
  engine_.MainTimerTick();
  FollowMainTimer();
}

}  // namespace koral
