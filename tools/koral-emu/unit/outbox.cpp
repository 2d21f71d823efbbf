#include "unit/outbox.h"

#include <algorithm>

namespace koral::emu {
namespace {

constexpr double kRandomRange = 4294967296.0;  // 2^32: mt19937 gives 32-bit values
constexpr std::uint32_t kNonZeroMasks = 255;

}  // namespace

Outbox::Outbox(int gapMs, LineFaults faults, LogSink log)
    : gapMs_(gapMs), faults_(faults), log_(std::move(log)), random_(faults.garbleSeed) {}

void Outbox::Push(OutgoingFrame frame, std::int64_t nowMs) {
  if (frame.kind == FrameKind::StatusReply || frame.kind == FrameKind::OutputData) {
    const auto same = std::find_if(waiting_.begin(), waiting_.end(),
                                   [&frame](const Waiting& w) { return w.frame.kind == frame.kind; });
    if (same != waiting_.end()) {
      same->frame = std::move(frame);
      return;
    }
  }
  if (waiting_.size() >= kMaxWaiting) {
    log_("-> " + frame.description + " dropped: " + std::to_string(kMaxWaiting) + " frames already wait");
    return;
  }
  waiting_.push_back({std::move(frame), nowMs + faults_.slowMs});
}

std::int64_t Outbox::DueMs(const Waiting& waiting) const {
  if (!lastSentMs_) return waiting.readyMs;
  return std::max(waiting.readyMs, *lastSentMs_ + gapMs_);
}

std::optional<std::int64_t> Outbox::NextDueMs() const {
  if (!onTheLine_.empty()) return onTheLine_.front().dueMs;
  if (waiting_.empty()) return std::nullopt;
  return DueMs(waiting_.front());
}

bool Outbox::Holds(FrameKind kind) const {
  return std::any_of(waiting_.begin(), waiting_.end(), [kind](const Waiting& w) { return w.frame.kind == kind; });
}

std::vector<Bytes> Outbox::TakeDue(std::int64_t nowMs) {
  std::vector<Bytes> due;
  while (true) {
    if (!onTheLine_.empty()) {
      if (onTheLine_.front().dueMs > nowMs) break;
      due.push_back(std::move(onTheLine_.front().bytes));
      onTheLine_.pop_front();
      lastSentMs_ = nowMs;
      continue;
    }
    if (waiting_.empty() || DueMs(waiting_.front()) > nowMs) break;
    OutgoingFrame frame = std::move(waiting_.front().frame);
    waiting_.pop_front();
    if (frame.kind == FrameKind::Upload && faults_.dropAfterUpload && uploadFramesSent_ >= *faults_.dropAfterUpload) {
      FallSilent();
    }
    if (Silent()) {
      log_("-> " + frame.description + " not sent (" + (faults_.silent ? "silent" : "fallen silent") + ")");
      continue;
    }
    const int garbled = Garble(frame.bytes);
    std::string line = "-> " + frame.description + ": " + Hex(frame.bytes);
    if (garbled > 0) line += " (" + std::to_string(garbled) + " bytes garbled)";
    line += PiecesNote(frame.bytes.size());
    log_(line);
    StartSending(std::move(frame.bytes), nowMs);
    if (frame.kind == FrameKind::Upload && ++uploadFramesSent_ == faults_.dropAfterUpload) FallSilent();
  }
  return due;
}

void Outbox::StartSending(Bytes bytes, std::int64_t nowMs) {
  const std::size_t count = PieceCount(bytes.size());
  // The first pieces take one byte more where the frame does not divide evenly.
  const std::size_t base = bytes.size() / count;
  const std::size_t longer = bytes.size() % count;
  auto from = bytes.begin();
  for (std::size_t i = 0; i < count; ++i) {
    const auto size = static_cast<std::ptrdiff_t>(base + (i < longer ? 1 : 0));
    onTheLine_.push_back({Bytes(from, from + size), nowMs + static_cast<std::int64_t>(i) * faults_.pieceGapMs});
    from += size;
  }
}

std::size_t Outbox::PieceCount(std::size_t frameSize) const {
  const auto asked = static_cast<std::size_t>(std::max(faults_.pieces, 1));
  return std::max<std::size_t>(std::min(asked, frameSize), 1);
}

std::string Outbox::PiecesNote(std::size_t frameSize) const {
  const std::size_t count = PieceCount(frameSize);
  if (count < 2) return {};
  return " (in " + std::to_string(count) + " pieces " + std::to_string(faults_.pieceGapMs) + " ms apart)";
}

void Outbox::FallSilent() {
  if (fallenSilent_) return;
  fallenSilent_ = true;
  log_("falls silent after " + std::to_string(uploadFramesSent_) + " upload frames");
}

double Outbox::Uniform() {
  return static_cast<double>(random_()) / kRandomRange;
}

int Outbox::Garble(Bytes& bytes) {
  if (faults_.garbleRate <= 0.0) return 0;
  int garbled = 0;
  for (std::uint8_t& byte : bytes) {
    if (Uniform() >= faults_.garbleRate) continue;
    byte = static_cast<std::uint8_t>(byte ^ (1 + random_() % kNonZeroMasks));
    ++garbled;
  }
  return garbled;
}

}  // namespace koral::emu
