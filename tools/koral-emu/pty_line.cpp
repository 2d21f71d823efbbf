#include "pty_line.h"

#include <array>

#include "unit/commands.h"

namespace koral::emu {
namespace {

constexpr std::size_t kGarbageChunk = 512;

bool IsStatusReply(const Bytes& frame) {
  return frame.size() >= 3 && frame[1] == kStatusReplyId && frame[2] == cmd::kStatusRequest;
}

}  // namespace

PtyLine::PtyLine(PseudoTerminal& terminal, const UnitClock& clock, LogSink log, BytesHandler onBytes)
    : terminal_(terminal),
      clock_(clock),
      log_(std::move(log)),
      onBytes_(std::move(onBytes)),
      notifier_(terminal.ReadHandle(), QSocketNotifier::Read),
      writable_(terminal.ReadHandle(), QSocketNotifier::Write) {
  QObject::connect(&notifier_, &QSocketNotifier::activated, [this] {
    const Bytes bytes = terminal_.Read();
    if (!bytes.empty()) onBytes_(bytes);
  });
  writable_.setEnabled(false);
  QObject::connect(&writable_, &QSocketNotifier::activated, [this] { WriteGarbage(); });
  garbageTimer_.setSingleShot(true);
}

void PtyLine::Write(const Bytes& frame) {
  if (garbageRunning_) return;
  const std::int64_t now = clock_.NowMs();
  if (lastWriteMs_ && now - *lastWriteMs_ > kUnreadAfterMs) {
    if (const int dropped = terminal_.DropUnread(); dropped > 0) {
      log_("nobody read the last " + std::to_string(dropped) + " bytes sent; dropped them");
    }
  }
  lastWriteMs_ = now;
  if (!terminal_.Write(frame)) log_("the pseudo-terminal did not take the whole frame");
  if (garbageSeconds_ && !garbageTimer_.isActive() && IsStatusReply(frame)) {
    garbageTimer_.callOnTimeout([this] { StartGarbage(); });
    garbageTimer_.start(kGarbageDelayMs);
  }
}

void PtyLine::SendGarbageAfterFirstStatusReply(int seconds, std::uint32_t seed) {
  garbageSeconds_ = seconds;
  random_.seed(seed);
}

void PtyLine::StartGarbage() {
  const int seconds = *garbageSeconds_;
  garbageSeconds_.reset();
  garbageRunning_ = true;
  log_("garbage: random bytes for " + std::to_string(seconds) + " s");
  garbageTimer_.disconnect();
  garbageTimer_.callOnTimeout([this] { StopGarbage(); });
  garbageTimer_.start(seconds * 1000);
  writable_.setEnabled(true);
}

void PtyLine::WriteGarbage() {
  // Until the line is full; the notifier says when it has room again.
  std::array<std::uint8_t, kGarbageChunk> chunk{};
  for (;;) {
    for (auto& byte : chunk)
      byte = static_cast<std::uint8_t>(random_());
    if (!terminal_.Write(chunk)) return;
    garbageBytes_ += chunk.size();
  }
}

void PtyLine::StopGarbage() {
  writable_.setEnabled(false);
  garbageRunning_ = false;
  log_("garbage: over after " + std::to_string(garbageBytes_) + " bytes");
}

}  // namespace koral::emu
