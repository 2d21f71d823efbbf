#include "platform/window_events_during_waits.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>

namespace koral {

void WindowEventsDuringWaits::Pump() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr || pumping_) return;
  pumping_ = true;
  application->installEventFilter(this);
  // Input is queued by the toolkit until the event loop runs again; the other
  // two flags keep the dispatcher from even looking at timers and sockets
  // where it can, and the filter holds back the rest.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers |
                                  QEventLoop::X11ExcludeTimers);
  // A repaint asked for in this round is posted as an update request, which
  // would otherwise wait for the next round, a whole pump interval later.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
  application->removeEventFilter(this);
  pumping_ = false;
}

bool WindowEventsDuringWaits::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Timer:
    case QEvent::SockAct:
    case QEvent::SockClose:
      // Not delivered, not lost: a timer fires again, a socket with data
      // still unread notifies again once the event loop runs.
      return true;
    case QEvent::ActivationChange:
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      // A window's activation runs its handlers; the desktop's notice of it
      // is all that is lost.
      return true;
    case QEvent::Close:
      event->ignore();
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace koral
