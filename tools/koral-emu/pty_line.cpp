#include "pty_line.h"

namespace koral::emu {

PtyLine::PtyLine(PseudoTerminal& terminal, const UnitClock& clock, LogSink log, BytesHandler onBytes)
    : terminal_(terminal),
      clock_(clock),
      log_(std::move(log)),
      onBytes_(std::move(onBytes)),
      notifier_(terminal.ReadHandle(), QSocketNotifier::Read) {
  QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
    const Bytes bytes = terminal_.Read();
    if (!bytes.empty()) onBytes_(bytes);
  });
}

void PtyLine::Write(const Bytes& frame) {
  const std::int64_t now = clock_.NowMs();
  if (lastWriteMs_ && now - *lastWriteMs_ > kUnreadAfterMs) {
    if (const int dropped = terminal_.DropUnread(); dropped > 0) {
      log_("nobody read the last " + std::to_string(dropped) + " bytes sent; dropped them");
    }
  }
  lastWriteMs_ = now;
  if (!terminal_.Write(frame)) log_("the pseudo-terminal did not take the whole frame");
}

}  // namespace koral::emu
