// What the transfers and the heartbeat ask of the windows. The application
// implements it over the settings window, the connection windows and the
// message boxes; tests script it.
#pragma once

#include <string_view>

namespace koral {

class TransferHost {
 public:
  virtual ~TransferHost() = default;

  // ---- message boxes ----
  // OK / Cancel; true for OK.
  virtual bool AskOkCancel(std::string_view title, std::string_view text) = 0;
  // OK only.
  virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
  // "Do you want to retry ?" with Cancel, Try Again and Continue; what follows
  // is the same whichever is pressed.
  virtual void AskRetry(std::string_view title, std::string_view text) = 0;

  // ---- the settings window ----
  virtual int UnitAddress() const = 0;       // what udAddr shows
  virtual int UnitBaudPosition() const = 0;  // cmbBaudRate's position, -1 for none
  virtual void RefreshWindow() = 0;
  // The window's load routine: both banks back to factory defaults.
  virtual void ReloadFactorySettings() = 0;
  // Values came in from the unit: adopt them (parameter sets) and refresh.
  virtual void AdoptIncomingSettings() = 0;
  // The PC clock into the DAY bank's clock registers, whichever bank is shown;
  // the modified flag stays as it was.
  virtual void UpdateDayClockRegisters() = 0;
  virtual void UpdateClockRegisters() = 0;  // the active bank's, every tick
  virtual void ShowPleaseWait() = 0;
  virtual void ProgressStart() = 0;
  virtual void SetProgress(int value) = 0;
  virtual void ProgressEnd() = 0;
  virtual void ShowLinkState(bool communicating) = 0;  // the caption after a link check
  virtual void ShowMissedPolls(int count) = 0;         // Label54
  virtual bool SerialWindowMenuEnabled() const = 0;    // false for QT-MX: never polled
  virtual void StopMainTimer() = 0;

  // ---- other windows and timers ----
  virtual void ShowConnectionWindow() = 0;
  virtual void SetUnpackTimer(int intervalMs) = 0;  // 0 stops it
  virtual void SetSerialMonitorPolling(bool on) = 0;
};

}  // namespace koral
