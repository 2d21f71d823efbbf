// The unit's serial line as a pseudo-terminal on the event loop.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <optional>
#include <span>

#include "host_os.h"
#include "unit/unit_clock.h"

namespace koral::emu {

class PtyLine {
 public:
  static constexpr int kUnreadAfterMs = 1000;  // bytes nobody read this long after the last write are stale

  using BytesHandler = std::function<void(std::span<const std::uint8_t>)>;

  PtyLine(PseudoTerminal& terminal, const UnitClock& clock, LogSink log, BytesHandler onBytes);
  void Write(const Bytes& frame);

 private:
  PseudoTerminal& terminal_;
  const UnitClock& clock_;
  LogSink log_;
  BytesHandler onBytes_;
  QSocketNotifier notifier_;
  std::optional<std::int64_t> lastWriteMs_;
};

}  // namespace koral::emu
