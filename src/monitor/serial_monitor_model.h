// The serial monitor window (frmSerialWin): every 100 ms it takes the latest
// frame from the unit, decodes it as the chosen output type and puts the lines
// on top of its display.
#pragma once

#include <string_view>

#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "monitor/monitor_display.h"
#include "monitor/output_decoder.h"

namespace koral {

class SerialMonitorModel {
 public:
  static constexpr int kPollMs = 100;
  static constexpr std::string_view kCaption = "Serial Window";
  static constexpr std::string_view kClear = "Clear";  // Command1
  static constexpr std::string_view kSave = "&Save";   // cmdSave
  static constexpr std::string_view kPrint = "Print";  // cmdPrn
  static constexpr std::string_view kFileFilter = "Text Files(*.txt)|*.txt|All Files(*.*)|*.*";

  SerialMonitorModel(Mailboxes& mailboxes, const TransferState& transfer, bool& videoLost);

  // cmbSerialOutput: the fifteen output types; "EVENT LOG" when the window loads.
  int SelectedType() const { return selectedType_; }
  void SelectType(int type);

  // The menu entry: shows the window, loading it first if it is not loaded.
  void Show();
  // The close box: hides the window; its text, type and poll stay.
  void Close() { visible_ = false; }
  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }

  // The poll timer; an upload switches it off and back on. Switching it loads
  // the window hidden if it is not loaded, after which it polls unseen.
  bool Polling() const { return polling_; }
  void SetPolling(bool on);
  // One poll: decodes the frame waiting in the monitor mailbox, if any, and
  // consumes it whether or not it could be decoded.
  void Poll();

  const MonitorDisplay& Display() const { return display_; }
  void Clear() { display_.Clear(); }

 private:
  Mailboxes& mailboxes_;
  const TransferState& transfer_;
  bool& videoLost_;
  MonitorDisplay display_;
  DecodedOutput decoded_;  // every poll decodes into it, reusing its lines
  int selectedType_ = kEventLog;
  bool polling_ = true;
  bool loaded_ = false;
  bool visible_ = false;
};

}  // namespace koral
