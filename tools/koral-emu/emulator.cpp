#include "emulator.h"

#include <algorithm>

#include "model/settings_file.h"

namespace koral::emu {

Emulator::Emulator(Unit& unit, const UnitClock& clock, WriteFrame write, std::optional<std::string> dumpFile,
                   LogSink log)
    : unit_(unit), clock_(clock), write_(std::move(write)), dumpFile_(std::move(dumpFile)), log_(std::move(log)) {
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Pump(); });
}

void Emulator::Receive(std::span<const std::uint8_t> bytes) {
  unit_.Receive(bytes);
  Pump();
}

void Emulator::Receive(std::uint8_t byte) {
  unit_.Receive(byte);
  Pump();
}

void Emulator::ToggleVideoLoss() {
  unit_.SetVideoLost(!unit_.VideoLost());
  Pump();
}

void Emulator::Dump() {
  if (!dumpFile_) return;
  if (const auto error = WriteSettingsFile(*dumpFile_, ComposeSettingsImage(unit_.Banks()))) {
    log_("settings not saved: " + error->message);
    return;
  }
  log_("settings saved to " + *dumpFile_);
}

void Emulator::Pump() {
  for (const Bytes& frame : unit_.Poll())
    write_(frame);
  if (unit_.TakeDownloadCompleted()) Dump();
  const auto wake = unit_.NextWakeMs();
  if (!wake) {
    timer_.stop();
    return;
  }
  const std::int64_t wait = std::max<std::int64_t>(0, *wake - clock_.NowMs());
  timer_.start(std::chrono::milliseconds(wait));
}

}  // namespace koral::emu
