// The unit's serial line as a pseudo-terminal on the event loop.
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <span>

#include "host_os.h"
#include "unit/unit_clock.h"

namespace koral::emu {

class PtyLine {
 public:
  static constexpr int kUnreadAfterMs = 1000;  // bytes nobody read this long after the last write are stale
  // Long enough for the PC's connection check to have seen the first reply.
  static constexpr int kGarbageDelayMs = 3000;

  using BytesHandler = std::function<void(std::span<const std::uint8_t>)>;

  PtyLine(PseudoTerminal& terminal, const UnitClock& clock, LogSink log, BytesHandler onBytes);
  void Write(const Bytes& frame);
  // kGarbageDelayMs after the first status reply, random bytes for `seconds`,
  // written whenever the line has room; the unit's own frames are lost meanwhile.
  void SendGarbageAfterFirstStatusReply(int seconds, std::uint32_t seed);

 private:
  void StartGarbage();
  void WriteGarbage();
  void StopGarbage();

  PseudoTerminal& terminal_;
  const UnitClock& clock_;
  LogSink log_;
  BytesHandler onBytes_;
  QSocketNotifier notifier_;
  std::optional<std::int64_t> lastWriteMs_;

  std::optional<int> garbageSeconds_;  // a burst still to come
  bool garbageRunning_ = false;
  std::uint64_t garbageBytes_ = 0;
  std::mt19937 random_;
  QSocketNotifier writable_;
  QTimer garbageTimer_;
};

}  // namespace koral::emu
