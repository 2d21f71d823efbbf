#include "runtime/headless_runner.h"

#include <QMetaObject>
#include <algorithm>

namespace koral {
namespace {

// The title of both transfers' completion messages ("Download Completed",
// "Upload  Completed"); a link failure asks its question under another one.
constexpr std::string_view kTransferDoneTitle = "Communication";

ShownDialog::Kind KindOf(DialogButtons buttons) {
  return buttons == DialogButtons::Ok ? ShownDialog::Kind::Message : ShownDialog::Kind::Question;
}

}  // namespace

HeadlessRunner::HeadlessRunner(LinkMode link)
    : HeadlessRunner(link, link == LinkMode::Serial ? std::make_unique<QtSerialPorts>() : nullptr) {}

HeadlessRunner::HeadlessRunner(const PortDevices& devices)
    : HeadlessRunner(LinkMode::Serial, std::make_unique<QtSerialPorts>(devices)) {}

HeadlessRunner::HeadlessRunner(LinkMode link, std::unique_ptr<QtSerialPorts> ports)
    : runtime_(link, std::move(ports), *this) {}

HeadlessRunner::~HeadlessRunner() = default;

// ---- the connection flows ---------------------------------------------------------

namespace {

// A connection window shown as a user opens it: loaded the first time, then
// activated, with the unit's model and video standard chosen.
template <typename ConnectionWindowModel>
void OpenConnectionWindow(ConnectionWindowModel& window, bool& loaded, UnitModel model, VideoStandard video) {
  if (!loaded) {
    window.Load();
    loaded = true;
  }
  window.Activate();
  window.Options().ChooseModel(model);
  window.Options().ChooseVideo(video);
}

}  // namespace

ConnectResult HeadlessRunner::ConnectSerial(int comPort, int speedIndex, UnitModel model, VideoStandard video) {
  if (GetSession().linkMode != LinkMode::Serial)
    return {ConnectOutcome::PortError, "There is no serial link in this run"};
  runtime_.Listen();
  SerialConnectionModel& window = Engine().SerialConnection();
  OpenConnectionWindow(window, connectionWindowLoaded_, model, video);
  const WindowStep step = window.Choose((comPort - 1) * kSpeedsPerPort + speedIndex);
  if (Engine().GetTransport().PortError()) {
    TakeStep(step);
    return {ConnectOutcome::PortError, Engine().GetTransport().PortErrorText()};
  }
  LoadSettingsWindow();
  return {TakeStep(step), {}};
}

ConnectResult HeadlessRunner::ConnectNetwork(const std::string& bridgeAddress, std::uint16_t bridgePort,
                                             std::uint16_t localPort, int speedIndex, UnitModel model,
                                             VideoStandard video) {
  if (GetSession().linkMode != LinkMode::Udp)
    return {ConnectOutcome::PortError, "There is no network link in this run"};
  Transport& transport = Engine().GetTransport();
  transport.SetBridgePort(bridgePort);
  transport.SetLocalPort(localPort);
  // Listening binds the socket before the first re-arm: on this port too.
  Socket()->SetLocalPort(localPort);
  NetworkConnectionModel& window = Engine().NetworkConnection();
  // Typed before the window loads, so that nothing goes to the default address.
  window.SetAddressText(bridgeAddress);
  runtime_.Listen();
  OpenConnectionWindow(window, connectionWindowLoaded_, model, video);
  window.SelectSpeed(speedIndex);
  const WindowStep step = window.Connect();
  LoadSettingsWindow();
  return {TakeStep(step), {}};
}

void HeadlessRunner::LoadSettingsWindow() {
  // Once per run, after the connection window's first choice: the menus follow
  // the model chosen there.
  if (settingsWindowLoaded_) return;
  Engine().Settings().Load();
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
      return Engine().GetTransport().PortError() ? ConnectOutcome::PortError : ConnectOutcome::Connected;
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
  runtime_.AwaitConnectionCheckHere();
  return TakeStep(Engine().ConnectionCheck().Check());
}

void HeadlessRunner::ShowSettingsWindow() {
  LoadSettingsWindow();
  Engine().Settings().Activate(false);
  runtime_.FollowMainTimer();
}

// ---- transfers ------------------------------------------------------------------------

TransferOutcome HeadlessRunner::Download(int timeoutMs) {
  const std::size_t dialogsBefore = dialogs_.size();
  const int windowsBefore = connectionWindowRequests_;
  Engine().GetDownload().StartDownload();
  if (!GetSession().transfer.downloadRequested) return TransferOutcome::NotStarted;
  const TransferState& state = GetSession().transfer;
  return AwaitTransferEnd([&state] { return state.downloadRequested; }, dialogsBefore, windowsBefore, timeoutMs);
}

TransferOutcome HeadlessRunner::Upload(int timeoutMs) {
  const std::size_t dialogsBefore = dialogs_.size();
  const int windowsBefore = connectionWindowRequests_;
  Engine().GetUpload().StartUpload();
  if (!GetSession().transfer.uploadActive) {
    return connectionWindowRequests_ > windowsBefore ? TransferOutcome::NotStarted : TransferOutcome::Cancelled;
  }
  const TransferState& state = GetSession().transfer;
  const TransferOutcome outcome =
      AwaitTransferEnd([&state] { return state.uploadActive; }, dialogsBefore, windowsBefore, timeoutMs);
  if (outcome == TransferOutcome::Cancelled && !state.uploadDamage.empty()) return TransferOutcome::Damaged;
  return outcome;
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

bool HeadlessRunner::DialogShown(std::string_view text) const {
  return std::any_of(dialogs_.begin(), dialogs_.end(),
                     [text](const ShownDialog& dialog) { return dialog.text == text; });
}

void HeadlessRunner::Record(ShownDialog::Kind kind, std::string_view title, std::string_view text) {
  dialogs_.push_back({kind, std::string(title), std::string(text)});
  if (dialogListener_) dialogListener_(dialogs_.back());
}

}  // namespace koral
