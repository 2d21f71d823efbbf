// The UDP monitor window (UDPWin): the unit's event datagrams as lines, newest
// on top, with Clear, Save and Print. It has no timer: the network receive path
// calls OnEvent() when an event datagram has arrived.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "link/mailboxes.h"
#include "link/transport.h"
#include "monitor/monitor_display.h"
#include "net/event_decoder.h"

namespace koral {

// Writes a monitor's text to a file exactly as shown (CR LF kept), creating or
// overwriting it. Returns why it failed, naming the file, or nothing.
std::optional<std::string> SaveMonitorText(const std::filesystem::path& path, std::string_view text);

class UdpMonitorModel {
 public:
  static constexpr std::string_view kCaption = "UDP Window";
  static constexpr std::string_view kClear = "Clear";  // Command1
  static constexpr std::string_view kSave = "&Save";   // cmdSave
  static constexpr std::string_view kPrint = "Print";  // cmdPrn
  static constexpr std::string_view kFileFilter = "Text Files(*.txt)|*.txt|All Files(*.*)|*.*";
  static constexpr int kFileFilterIndex = 1;

  // The session's monitor mailbox and video-lost flag; the transport registers
  // this PC with the bridge when the window loads.
  UdpMonitorModel(Mailboxes& mailboxes, bool& videoLost, Transport& transport);

  // The menu entry: shows the window, loading it first if it is not loaded.
  void Show();
  // The close box: hides the window; its text stays.
  void Close() { visible_ = false; }
  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }

  // The receive path's event hook: decodes the monitor mailbox and puts the
  // lines on top. Lines for a window that is not loaded load it hidden.
  void OnEvent();

  const MonitorDisplay& Display() const { return display_; }
  void Clear() { display_.Clear(); }
  // The text as shown, for Save and Print.
  std::string Text() const { return display_.Text(); }
  std::optional<std::string> Save(const std::filesystem::path& path) const { return SaveMonitorText(path, Text()); }

 private:
  // Load: the bridge learns where to send the unit's frames.
  void EnsureLoaded();

  Mailboxes& mailboxes_;
  bool& videoLost_;
  Transport& transport_;
  MonitorDisplay display_;
  DecodedEvent decoded_;  // every event decodes into it, reusing its lines
  bool loaded_ = false;
  bool visible_ = false;
};

}  // namespace koral
