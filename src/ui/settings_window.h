// The settings window (frmSetup): the nine tabs of detector settings, the
// File, Communication and Help menus, the transfer progress and the link
// status in the caption. It shows the view-model and forwards the user's
// actions; what belongs to the engine or to other windows goes through
// SettingsWindowActions.
#pragma once

#include <QMainWindow>
#include <vector>

#include "app/settings_window_model.h"
#include "ui/settings_window_actions.h"

class QAction;
class QMenu;
class QLabel;
class QProgressBar;
class QTabWidget;

namespace koral::ui {

class SettingsPage;

class SettingsWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `model` and `actions` must outlive the window. Constructing the window is
  // its load (model.Load()): create it once the connection window has
  // recorded the unit's model, then only show and hide it.
  SettingsWindow(SettingsWindowModel& model, SettingsWindowActions& actions, QWidget* parent = nullptr);
  ~SettingsWindow() override;

  // What the window's activation does: model.Activate(), and closing when the
  // serial port could not be opened. The window runs it itself whenever it
  // becomes active after another window of the program.
  void Activate();
  // Writes the view-model's state of the touched parts into the widgets.
  void ShowParts(SettingsParts parts);

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class OtherWindow { Program, Transient };

  void BuildMenus();
  QAction* AddMenuAction(QMenu& menu, const char* name, const char* caption, void (SettingsWindow::*handler)());
  void OpenFile();
  void SaveFile();
  void Exit();
  void CopyDayToNight();
  void CopyNightToDay();
  void ShowConnectionWindow();
  void ShowKeypad();
  void Upload();
  void Download();
  void ShowAlarmWindow();
  void ShowSerialWindow();
  void SwitchDayNight();
  void ShowManual();
  void ShowAbout();

  void ShowCaption();
  void ShowProgress();
  void ShowMenus();
  void NoteFocusWindow(QWindow* window);

  SettingsWindowModel& model_;
  SettingsWindowActions& actions_;
  QTabWidget* tabs_ = nullptr;  // SSTab1
  std::vector<SettingsPage*> pages_;
  QProgressBar* progress_ = nullptr;  // Pbr
  QLabel* pleaseWait_ = nullptr;      // lblDisplay
  QLabel* missedPolls_ = nullptr;     // Label54
  QAction* comPort_ = nullptr;        // mnuComPort
  QAction* upload_ = nullptr;         // mnuupload
  QAction* alarmWindow_ = nullptr;    // mnuAlarm
  QAction* serialWindow_ = nullptr;   // mnuWin
  // The window last active before this one: coming back from another of the
  // program's windows is an activation, coming back from a message box or a
  // file dialog is not (the heartbeat's own failure message must not restart it).
  OtherWindow lastOther_ = OtherWindow::Program;
};

}  // namespace koral::ui
