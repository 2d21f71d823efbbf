#include "ui/desktop_program.h"

#include <QApplication>
#include <QFileDialog>
#include <utility>

#include "app/alarm_window_notice.h"
#include "platform/data_files.h"
#include "ui/alarm_window.h"
#include "ui/connection_dialog.h"
#include "ui/day_night_switcher_dialog.h"
#include "ui/help_window.h"
#include "ui/ip_tool.h"
#include "ui/keypad_window.h"
#include "ui/message_boxes.h"
#include "ui/network_connection_window.h"
#include "ui/serial_connection_window.h"
#include "ui/serial_monitor_window.h"
#include "ui/settings_window.h"
#include "ui/startup_window.h"
#include "ui/udp_monitor_window.h"

namespace koral::ui {
namespace {

constexpr std::string_view kAboutTitle = "Digital video motion detector";
constexpr std::string_view kAboutText = "KORAL version 3.09";

std::optional<std::filesystem::path> ChosenPath(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return std::filesystem::path(path.toStdString());
}

}  // namespace

DesktopProgram::DesktopProgram() : selector_(selectorSession_) {}

DesktopProgram::~DesktopProgram() {
  // The windows go before the runtime whose models they show.
  alarmWindow_.reset();
  alarmModel_.reset();
  udpMonitorWindow_.reset();
  serialMonitorWindow_.reset();
  keypadWindow_.reset();
  settingsWindow_.reset();
  connectionDialog_.reset();
  networkWindow_.reset();
  serialWindow_.reset();
}

void DesktopProgram::Start() {
  startupWindow_ = std::make_unique<StartupWindow>(
      selector_, [this](const StartupChoice& choice) { OnStartupChoice(choice); }, [this] { End(); });
  startupWindow_->show();
}

void DesktopProgram::OnStartupChoice(const StartupChoice& choice) {
  if (choice.window == koral::StartupWindow::IpAddressSetting) {
    // The IP address tool has its own port and windows; no link runtime.
    ipTool_ = std::make_unique<IpTool>([this] { End(); });
    ipTool_->Start();
    return;
  }
  runtime_ = std::make_unique<LinkRuntime>(
      choice.linkMode, choice.linkMode == LinkMode::Serial ? std::make_unique<QtSerialPorts>() : nullptr,
      static_cast<WindowLayer&>(*this));
  runtime_->SetWaitPump(&waitPump_);
  runtime_->KeepSerialMonitorPolled();
  runtime_->Listen();
  ShowConnectionWindow();
}

// ---- the connection flow -----------------------------------------------------------

void DesktopProgram::ApplyWindowStep(const WindowStep& step) {
  // Followed once the engine call that asked has returned, as a window is
  // shown and activated after the handler that showed it.
  pendingSteps_.push_back(step);
  followPendingSteps_.Schedule();
}

void DesktopProgram::FollowPendingSteps() {
  for (const WindowStep& step : std::exchange(pendingSteps_, {}))
    FollowStep(step);
}

void DesktopProgram::FollowStep(const WindowStep& step) {
  const bool asks =
      step.next == NextWindow::AskPortError || step.next == NextWindow::AskExit || step.next == NextWindow::AskSave;
  if (step.message && !asks) ::ShowMessage(DialogParent(), step.message->title, step.message->text);
  Session& session = runtime_->GetSession();
  switch (step.next) {
    case NextWindow::Stay:
      return;
    case NextWindow::ShowSettingsWindow:
      ShowSettingsWindow();
      return;
    case NextWindow::RunConnectionCheck:
      EnsureSettingsWindow();
      runtime_->AwaitConnectionCheck([this] { FollowStep(runtime_->Engine().ConnectionCheck().Check()); });
      return;
    case NextWindow::ShowConnectionDialog:
      ShowConnectionDialog();
      return;
    case NextWindow::AskPortError: {
      const bool retry = ::AskRetryCancel(DialogParent(), step.message->title, step.message->text);
      FollowStep(AnswerPortErrorQuestion(session, retry));
      return;
    }
    case NextWindow::AskExit: {
      const bool yes = ::AskYesNo(DialogParent(), step.message->title, step.message->text);
      FollowStep(AnswerExitQuestion(session, yes));
      return;
    }
    case NextWindow::AskSave: {
      const MessageAnswer answer = ::AskYesNoCancel(DialogParent(), step.message->title, step.message->text);
      const CloseAnswer close = answer == MessageAnswer::Yes  ? CloseAnswer::Yes
                                : answer == MessageAnswer::No ? CloseAnswer::No
                                                              : CloseAnswer::Cancel;
      std::optional<std::filesystem::path> saveTo;
      if (close == CloseAnswer::Yes) saveTo = SaveFileDialog("Text Files(*.txt);;All Files(*.*)");
      const CloseOutcome outcome = runtime_->Engine().Settings().AnswerCloseQuestion(close, saveTo);
      if (outcome.error) ::ShowMessage(DialogParent(), "KORAL", *outcome.error);
      if (outcome.endProgram) End();
      return;
    }
    case NextWindow::EndProgram:
      End();
      return;
  }
}

void DesktopProgram::ShowConnectionWindow() {
  const auto onStep = [this](const WindowStep& step) { FollowStep(step); };
  if (runtime_->GetSession().linkMode == LinkMode::Serial) {
    if (!serialWindow_)
      serialWindow_ = std::make_unique<SerialConnectionWindow>(runtime_->Engine().SerialConnection(), onStep);
    serialWindow_->show();
    serialWindow_->raise();
    serialWindow_->activateWindow();
  } else {
    if (!networkWindow_)
      networkWindow_ = std::make_unique<NetworkConnectionWindow>(runtime_->Engine().NetworkConnection(), onStep);
    networkWindow_->show();
    networkWindow_->raise();
    networkWindow_->activateWindow();
  }
}

void DesktopProgram::EnsureSettingsWindow() {
  // Created once, after the connection window recorded the unit's model.
  if (!settingsWindow_)
    settingsWindow_ =
        std::make_unique<SettingsWindow>(runtime_->Engine().Settings(), static_cast<SettingsWindowActions&>(*this));
}

void DesktopProgram::ShowSettingsWindow() {
  EnsureSettingsWindow();
  HideConnectionWindows();
  if (connectionDialog_) connectionDialog_->hide();
  settingsWindow_->show();
  settingsWindow_->raise();
  settingsWindow_->activateWindow();
  settingsWindow_->Activate();
  runtime_->FollowMainTimer();
}

void DesktopProgram::ShowConnectionDialog() {
  if (!connectionDialog_) {
    connectionDialog_ = std::make_unique<ConnectionDialog>(runtime_->Engine().ConnectionCheck(),
                                                           [this](const WindowStep& step) { FollowStep(step); });
  }
  connectionDialog_->show();
  connectionDialog_->raise();
  connectionDialog_->activateWindow();
}

void DesktopProgram::HideConnectionWindows() {
  if (serialWindow_) serialWindow_->hide();
  if (networkWindow_) networkWindow_->hide();
}

QWidget* DesktopProgram::DialogParent() const {
  QWidget* active = QApplication::activeWindow();
  if (active != nullptr) return active;
  if (settingsWindow_ && settingsWindow_->isVisible()) return settingsWindow_.get();
  return nullptr;
}

void DesktopProgram::End() {
  // At once, whatever windows are open; no close event asks again.
  QCoreApplication::exit(0);
}

// ---- the window layer -------------------------------------------------------------

bool DesktopProgram::AskOkCancel(std::string_view title, std::string_view text) {
  return ::AskOkCancel(DialogParent(), title, text);
}

void DesktopProgram::ShowMessage(std::string_view title, std::string_view text) {
  ::ShowMessage(DialogParent(), title, text);
}

void DesktopProgram::AskRetry(std::string_view title, std::string_view text) {
  // Cancel, Try Again and Continue lead to the same next step.
  ::AskCancelTryAgainContinue(DialogParent(), title, text);
}

// ---- the settings window's menus --------------------------------------------------

void DesktopProgram::Upload() {
  runtime_->Engine().GetUpload().StartUpload();
}

void DesktopProgram::Download() {
  runtime_->Engine().GetDownload().StartDownload();
}

void DesktopProgram::ShowKeypad() {
  if (!keypadWindow_) keypadWindow_ = std::make_unique<KeypadWindow>(runtime_->Keypad());
  keypadWindow_->Open();
}

void DesktopProgram::ShowAlarmWindow() {
  if (const auto notice = AlarmWindowNotice(runtime_->GetSession().linkMode))
    ::ShowMessage(DialogParent(), notice->title, notice->text);
  if (!alarmWindow_) {
    alarmModel_ =
        std::make_unique<AlarmWindowModel>(runtime_->Engine().GetTransport(), runtime_->GetSession().mailboxes, sound_);
    alarmWindow_ = std::make_unique<AlarmWindow>(*alarmModel_);
  }
  alarmWindow_->Open();
}

void DesktopProgram::ShowSerialWindow() {
  LinkEngine& engine = runtime_->Engine();
  if (runtime_->GetSession().linkMode == LinkMode::Serial) {
    if (!serialMonitorWindow_) serialMonitorWindow_ = std::make_unique<SerialMonitorWindow>(engine.SerialMonitor());
    serialMonitorWindow_->ShowFromMenu();
    runtime_->FollowSerialMonitorPoll();
  } else {
    if (!udpMonitorWindow_) udpMonitorWindow_ = std::make_unique<UdpMonitorWindow>(engine.UdpMonitor());
    udpMonitorWindow_->ShowFromMenu();
  }
}

void DesktopProgram::ShowManual() {
  const std::optional<QString> manual = FindManual();
  if (!helpWindow_) helpWindow_ = std::make_unique<HelpWindow>();
  if (manual && helpWindow_->Open(*manual)) return;
  // Not silent: a user who asks for the manual should learn where it is missing.
  ::ShowMessage(DialogParent(), "KORAL",
                ("The manual \"koral.hlp\" was not found in " +
                 DataFileFolders(AlsoCurrentDirectory::No).join(QStringLiteral(" or ")) + ".")
                    .toStdString());
}

void DesktopProgram::SwitchDayNight() {
  SettingsWindowModel& settings = runtime_->Engine().Settings();
  const std::optional<BankId> chosen =
      RunDayNightSwitcher(settingsWindow_.get(), runtime_->GetSession().banks.ActiveBank());
  settings.AfterBankSwitch(chosen);
}

void DesktopProgram::ShowAbout() {
  ::ShowMessage(DialogParent(), kAboutTitle, kAboutText);
}

bool DesktopProgram::PortError() const {
  return runtime_->Engine().GetTransport().PortError();
}

std::optional<std::filesystem::path> DesktopProgram::OpenFileDialog(const QString& filter) {
  return ChosenPath(QFileDialog::getOpenFileName(DialogParent(), QString(), QString(), filter));
}

std::optional<std::filesystem::path> DesktopProgram::SaveFileDialog(const QString& filter) {
  return ChosenPath(QFileDialog::getSaveFileName(DialogParent(), QString(), QString(), filter));
}

void DesktopProgram::ShowMessage(const QString& title, const QString& text) {
  ::ShowMessage(DialogParent(), title.toStdString(), text.toStdString());
}

CloseAnswer DesktopProgram::AskClose(const QString& title, const QString& text) {
  switch (::AskYesNoCancel(DialogParent(), title.toStdString(), text.toStdString())) {
    case MessageAnswer::Yes:
      return CloseAnswer::Yes;
    case MessageAnswer::No:
      return CloseAnswer::No;
    default:
      return CloseAnswer::Cancel;
  }
}

}  // namespace koral::ui
