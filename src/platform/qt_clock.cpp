#include "platform/qt_clock.h"

#include <QThread>

namespace koral {

QtClock::QtClock() {
  timer_.start();
}

std::int64_t QtClock::NowMs() const {
  return timer_.elapsed();
}

void QtClock::Sleep(int ms) {
  if (ms > 0) QThread::msleep(static_cast<unsigned long>(ms));
}

}  // namespace koral
