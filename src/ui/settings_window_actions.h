// What the settings window (frmSetup) asks of the rest of the program: the
// menu commands that belong to the link engine or to other windows, the file
// dialogs and the message boxes. The program's composition implements it; the
// window tests use a fake.
#pragma once

#include <QString>
#include <filesystem>
#include <optional>

#include "app/settings_window_model.h"

namespace koral::ui {

class SettingsWindowActions {
 public:
  virtual ~SettingsWindowActions() = default;

  // ---- Communication menu ----
  virtual void ShowConnectionWindow() = 0;  // mnuComPort: Setting or SetUDP, by link, modeless
  virtual void ShowKeypad() = 0;            // mnuKeyboard: frmKey, modeless
  virtual void Upload() = 0;                // mnuupload: the engine's upload
  virtual void Download() = 0;              // mnuDownload: the engine's download
  // mnuAlarm: on the serial link the "Select ALL FLAGS" notice comes first;
  // then AlarmWin, modeless.
  virtual void ShowAlarmWindow() = 0;
  virtual void ShowSerialWindow() = 0;  // mnuWin: frmSerialWin or UDPWin, by link, modeless
  // mnuMode: the DAY/NIGHT switcher; its answer goes to
  // SettingsWindowModel::AfterBankSwitch.
  virtual void SwitchDayNight() = 0;

  // ---- Help menu ----
  virtual void ShowManual() = 0;  // mnuManual: "koral.hlp" beside the program, failures ignored
  virtual void ShowAbout() = 0;   // mnuAbout

  // ---- lifecycle ----
  // Whether opening the serial port failed; asked on every activation.
  virtual bool PortError() const = 0;
  // The settings window closed for good: the whole program ends at once.
  virtual void EndProgram() = 0;

  // ---- dialogs ----
  // `filter` is in Qt's form ("Text Files(*.txt);;All Files(*.*)"). Nothing
  // when the user cancelled.
  virtual std::optional<std::filesystem::path> OpenFileDialog(const QString& filter) = 0;
  virtual std::optional<std::filesystem::path> SaveFileDialog(const QString& filter) = 0;
  virtual void ShowMessage(const QString& title, const QString& text) = 0;      // OK only
  virtual CloseAnswer AskClose(const QString& title, const QString& text) = 0;  // Yes / No / Cancel
};

}  // namespace koral::ui
