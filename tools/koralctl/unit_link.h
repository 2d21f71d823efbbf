// One unit reached the way the connection windows reach it, with the engine
// and its view-models run headless: the serial connection window's COM1 entry
// (the --serial device behind COM1) or the network connection window's
// "Connect", then for a QT-1RX the connection check.
#pragma once

#include <QTimer>
#include <memory>
#include <optional>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "progress.h"
#include "runtime/headless_runner.h"

namespace koralctl {

// The COM port the --serial device stands behind.
inline constexpr int kSerialPortNumber = 1;
// Long enough for a whole transfer at 1200 baud; a silent unit ends one much
// sooner, when the heartbeat gives up on it.
inline constexpr int kTransferLimitMs = 10 * 60 * 1000;

// The speed position the link runs at: a QT-MX always at 4800.
int LinkSpeedIndex(const LinkChoice& link);
// The note for a --baud that a QT-MX does not use.
std::optional<std::string> SpeedNote(const LinkChoice& link);

class UnitLink {
 public:
  // Nothing is opened or sent yet. The QT-MX speed note goes to `io.err`.
  UnitLink(const LinkChoice& link, CommandStreams io, Progress& progress);
  ~UnitLink();
  UnitLink(const UnitLink&) = delete;
  UnitLink& operator=(const UnitLink&) = delete;

  koral::HeadlessRunner& Runner() { return *runner_; }
  koral::LinkEngine& Engine() { return runner_->Engine(); }
  koral::SettingsWindowModel& Settings() { return runner_->Engine().Settings(); }
  const LinkChoice& Choice() const { return link_; }

  // The connection window's choice and, for a QT-1RX, the connection check.
  // Nothing when the settings window is up, else why the unit is not there.
  std::optional<std::string> Connect();
  // Since Connect, the heartbeat gave up on the unit and asked for the
  // connection window.
  bool Lost() const { return runner_->ConnectionWindowRequests() > windowRequestsAtConnect_; }

  // "COM1 (/dev/ttyUSB0) at 4800 baud", "the bridge 192.168.0.100:26482 at 4800 baud".
  std::string Where() const;
  // While a transfer runs its progress bar is shown as "`what` 42%".
  void ShowTransferProgress(std::string what) { transferName_ = std::move(what); }

 private:
  void WatchProgressBar();

  LinkChoice link_;
  Progress& progress_;
  std::unique_ptr<koral::HeadlessRunner> runner_;
  QTimer progressWatch_;
  std::string transferName_;
  int windowRequestsAtConnect_ = 0;
};

}  // namespace koralctl
