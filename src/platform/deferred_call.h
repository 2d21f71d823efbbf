// A call made once the event loop runs again, as a zero timer rather than a
// queued call: a protocol wait that lets the windows repaint holds timers back
// but not queued calls, and a receive handler must never run inside a wait.
#pragma once

#include <QTimer>
#include <functional>
#include <utility>

namespace koral {

class DeferredCall {
 public:
  explicit DeferredCall(std::function<void()> call) : call_(std::move(call)) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { call_(); });
  }
  DeferredCall(const DeferredCall&) = delete;
  DeferredCall& operator=(const DeferredCall&) = delete;

  // Once, however often it is asked for before it runs.
  void Schedule() {
    if (!timer_.isActive()) timer_.start();
  }
  void Cancel() { timer_.stop(); }
  bool Scheduled() const { return timer_.isActive(); }

 private:
  std::function<void()> call_;
  QTimer timer_;
};

}  // namespace koral
