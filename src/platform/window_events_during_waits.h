// The windows stay alive while the protocol waits: now and then a wait lets
// the windows repaint what changed or was uncovered and answer the desktop's
// "are you there" (so it never marks the program as not responding). Nothing
// else of the program runs inside a wait, as on one thread: the user's input
// waits for the end of the wait, and timers, socket and port notifications
// and activations are held back; a window cannot be closed meanwhile.
#pragma once

#include <QObject>

#include "platform/qt_clock.h"

class QEvent;

namespace koral {

class WindowEventsDuringWaits final : public QObject, public WaitPump {
 public:
  void Pump() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool pumping_ = false;
};

}  // namespace koral
