// The program's clock: milliseconds since start-up and the blocking wait that
// paces the protocol.
#pragma once

#include <QElapsedTimer>
#include <cstdint>

#include "link/clock.h"

namespace koral {

class QtClock final : public Clock {
 public:
  QtClock();

  std::int64_t NowMs() const override;
  // Holds the calling thread, the user-interface thread included: the protocol's
  // waits are meant to. Bytes that arrive meanwhile stay with the operating
  // system and are delivered when the event loop runs again.
  void Sleep(int ms) override;

 private:
  QElapsedTimer timer_;
};

}  // namespace koral
