// The unit's transmitter: frames wait here until their time comes. On a serial
// line frames keep a gap between them so each lands in its own read on the PC.
// The faults of a bad line are injected here too: a unit that never answers,
// one that falls silent part-way through an upload, corrupted bytes, a slow
// unit, and frames handed over in pieces, as a USB serial adapter passes on
// what it has received while the rest is still on the line.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "unit/bytes.h"
#include "unit/unit_clock.h"

namespace koral::emu {

enum class FrameKind { StatusReply, Upload, OutputData, IpReply };

struct OutgoingFrame {
  FrameKind kind = FrameKind::StatusReply;
  Bytes bytes;
  std::string description;  // "status reply (DAY, alarm enabled, video OK)"
};

inline constexpr int kDefaultPieceGapMs = 30;  // well inside the PC's 100 ms wait before it reads

struct LineFaults {
  bool silent = false;                 // never sends anything
  std::optional<int> dropAfterUpload;  // sends this many upload frames, then nothing ever again
  double garbleRate = 0.0;             // share of sent bytes that are corrupted, 0..1
  std::uint32_t garbleSeed = 1;
  int slowMs = 0;                       // every frame leaves this much later
  int pieces = 1;                       // every frame is written in this many pieces (at most one per byte)
  int pieceGapMs = kDefaultPieceGapMs;  // between the pieces of one frame
};

class Outbox {
 public:
  static constexpr std::size_t kMaxWaiting = 32;

  Outbox(int gapMs, LineFaults faults, LogSink log);

  // Queues a frame made now. A status reply or output data frame of the same
  // kind that still waits is brought up to date instead of queuing a second.
  void Push(OutgoingFrame frame, std::int64_t nowMs);
  // The frames whose time has come, oldest first; each one is one write, or
  // each piece of one when frames go in pieces.
  std::vector<Bytes> TakeDue(std::int64_t nowMs);
  std::optional<std::int64_t> NextDueMs() const;
  bool Holds(FrameKind kind) const;
  bool Silent() const { return faults_.silent || fallenSilent_; }
  int UploadFramesSent() const { return uploadFramesSent_; }

 private:
  struct Waiting {
    OutgoingFrame frame;
    std::int64_t readyMs;
  };

  struct Piece {
    Bytes bytes;
    std::int64_t dueMs;
  };

  std::int64_t DueMs(const Waiting& waiting) const;
  // Puts the frame on the line: its pieces from now on, a gap apart.
  void StartSending(Bytes bytes, std::int64_t nowMs);
  // At most one piece per byte, and an empty frame is one (empty) write.
  std::size_t PieceCount(std::size_t frameSize) const;
  std::string PiecesNote(std::size_t frameSize) const;
  void FallSilent();
  int Garble(Bytes& bytes);
  double Uniform();

  int gapMs_;
  LineFaults faults_;
  LogSink log_;
  std::deque<Waiting> waiting_;
  std::deque<Piece> onTheLine_;  // the rest of a frame that has started; nothing else goes before it
  std::optional<std::int64_t> lastSentMs_;
  int uploadFramesSent_ = 0;
  bool fallenSilent_ = false;
  std::mt19937 random_;
};

}  // namespace koral::emu
