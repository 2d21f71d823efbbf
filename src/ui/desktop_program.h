// The desktop program's composition: the start-up selector, then the link
// runtime for the chosen link with its windows. It is the window layer the
// engine asks (message boxes, the next window of the connection flow) and does
// what the settings window's menus ask of the rest of the program.
#pragma once

#include <QObject>
#include <memory>
#include <vector>

#include "app/connection_check_model.h"
#include "app/session.h"
#include "app/startup_selector_model.h"
#include "app/window_layer.h"
#include "monitor/alarm_window_model.h"
#include "platform/deferred_call.h"
#include "platform/qt_sound_output.h"
#include "platform/window_events_during_waits.h"
#include "runtime/link_runtime.h"
#include "ui/settings_window_actions.h"

class QWidget;

namespace koral::ui {

class StartupWindow;
class SerialConnectionWindow;
class NetworkConnectionWindow;
class ConnectionDialog;
class SettingsWindow;
class KeypadWindow;
class SerialMonitorWindow;
class UdpMonitorWindow;
class AlarmWindow;
class HelpWindow;
class IpTool;

class DesktopProgram final : public QObject, private WindowLayer, private SettingsWindowActions {
 public:
  DesktopProgram();
  ~DesktopProgram() override;
  DesktopProgram(const DesktopProgram&) = delete;
  DesktopProgram& operator=(const DesktopProgram&) = delete;

  // Shows firstpage.
  void Start();

 private:
  void OnStartupChoice(const StartupChoice& choice);
  void FollowPendingSteps();
  // What a window or the engine asked to be shown next.
  void FollowStep(const WindowStep& step);
  void EnsureSettingsWindow();
  void ShowSettingsWindow();
  void ShowConnectionDialog();
  void HideConnectionWindows();
  QWidget* DialogParent() const;
  void End();

  // WindowLayer
  bool AskOkCancel(std::string_view title, std::string_view text) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void AskRetry(std::string_view title, std::string_view text) override;
  void ApplyWindowStep(const WindowStep& step) override;
  void ShowConnectionWindow() override;
  void SetUnpackTimer(int) override {}            // the runtime keeps it
  void SetSerialMonitorPolling(bool) override {}  // the runtime keeps the poll

  // SettingsWindowActions
  void ShowKeypad() override;
  void Upload() override;
  void Download() override;
  void ShowAlarmWindow() override;
  void ShowSerialWindow() override;
  void SwitchDayNight() override;
  void ShowManual() override;
  void ShowAbout() override;
  bool PortError() const override;
  void EndProgram() override { End(); }
  std::optional<std::filesystem::path> OpenFileDialog(const QString& filter) override;
  std::optional<std::filesystem::path> SaveFileDialog(const QString& filter) override;
  void ShowMessage(const QString& title, const QString& text) override;
  CloseAnswer AskClose(const QString& title, const QString& text) override;

  Session selectorSession_;  // only the link choice: the runtime owns the run's session
  StartupSelectorModel selector_;
  std::unique_ptr<StartupWindow> startupWindow_;
  WindowEventsDuringWaits waitPump_;
  std::unique_ptr<LinkRuntime> runtime_;
  // Steps the engine asked for, followed when its call has returned.
  std::vector<WindowStep> pendingSteps_;
  DeferredCall followPendingSteps_{[this] { FollowPendingSteps(); }};
  std::unique_ptr<SerialConnectionWindow> serialWindow_;
  std::unique_ptr<NetworkConnectionWindow> networkWindow_;
  std::unique_ptr<ConnectionDialog> connectionDialog_;
  std::unique_ptr<SettingsWindow> settingsWindow_;
  std::unique_ptr<KeypadWindow> keypadWindow_;
  std::unique_ptr<SerialMonitorWindow> serialMonitorWindow_;
  std::unique_ptr<UdpMonitorWindow> udpMonitorWindow_;
  QtSoundOutput sound_;
  std::unique_ptr<AlarmWindowModel> alarmModel_;
  std::unique_ptr<AlarmWindow> alarmWindow_;
  std::unique_ptr<HelpWindow> helpWindow_;
  std::unique_ptr<IpTool> ipTool_;
};

}  // namespace koral::ui
