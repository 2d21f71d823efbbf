// The program's clock: milliseconds since start-up and the blocking wait that
// paces the protocol.
#pragma once

#include <QElapsedTimer>
#include <cstdint>

#include "link/clock.h"
#include "platform/precise_sleep.h"

namespace koral {

// What a wait may do now and then while it holds the thread: let the windows
// repaint and answer the desktop, and nothing else.
class WaitPump {
 public:
  virtual ~WaitPump() = default;
  virtual void Pump() = 0;
};

class QtClock final : public Clock {
 public:
  // How often a wait lets its pump run.
  static constexpr int kPumpEveryMs = 25;

  QtClock();

  std::int64_t NowMs() const override;
  // Holds the calling thread, the user-interface thread included: the protocol's
  // waits are meant to. Bytes that arrive meanwhile stay with the operating
  // system and are delivered when the event loop runs again. With a pump, the
  // wait ends at its deadline however long the pump took, and never earlier.
  // The deadline is kept to the microsecond, not rounded to the system's
  // timer: the link's pace is the sum of many short waits.
  void Sleep(int ms) override;

  // Run during waits from now on; none by default.
  void SetWaitPump(WaitPump* pump) { pump_ = pump; }

 private:
  PreciseSleepScope preciseSleep_;
  QElapsedTimer timer_;
  WaitPump* pump_ = nullptr;
  std::int64_t lastPumpNs_ = 0;
};

}  // namespace koral
