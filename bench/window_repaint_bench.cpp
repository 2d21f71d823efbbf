// How long the settings window goes without painting while a download runs.
// The whole desktop program runs against koral-emu (--still) on COM1, is
// connected through the selector and the serial connection window, and starts
// a download from the menu. From then until "Download Completed" shows, an
// application-wide filter stamps every paint of frmSetup or of a control in
// it. A thread asks the window to repaint every 5 ms (a queued call, which a
// wait's pump delivers like the event loop does), so the figure is what the
// window could paint, not only what changed.
//
//   QT_QPA_PLATFORM=offscreen window_repaint_bench
//   xvfb-run -a env QT_QPA_PLATFORM=xcb window_repaint_bench
//
// Prints the download's duration, the repaints, the longest gap between them
// and the 99th percentile, where the longest gap fell, how late the queued
// repaint requests were delivered, and the message boxes shown meanwhile.
#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "../tests/ui/ui_test_support.h"
#include "ui/desktop_program.h"

namespace koral::bench {
namespace {

using Moment = std::chrono::steady_clock::time_point;
using testing_support::Find;
using testing_support::TopLevel;

constexpr int kConnectMs = 5000;
constexpr int kDownloadMs = 60000;
constexpr auto kDirtyEvery = std::chrono::milliseconds(5);
constexpr double kTargetMs = 100.0;
// Paints closer than this, with no update request between, are one repaint.
constexpr auto kSameRepaint = std::chrono::milliseconds(2);
const QString kDownloadCompleted = QStringLiteral("Download Completed");

Moment Now() {
  return std::chrono::steady_clock::now();
}

double Ms(Moment from, Moment to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

struct Box {
  Moment shown;
  Moment closed;
  QString text;
};

// Stamps the paints of one window and its controls, and when message boxes
// come and go.
class WindowWatcher final : public QObject {
 public:
  explicit WindowWatcher(QWidget& window) : window_(&window) {
    qApp->installEventFilter(this);
    // Every round of the event loop, a wait's pump included, wakes the
    // dispatcher first.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::awake, this, [this] {
      if (recording_) rounds_.push_back(Now());
    });
  }
  ~WindowWatcher() override { qApp->removeEventFilter(this); }
  WindowWatcher(const WindowWatcher&) = delete;
  WindowWatcher& operator=(const WindowWatcher&) = delete;

  void Record(bool on) { recording_ = on; }
  std::size_t PaintEvents() const { return paintEvents_; }
  // When each repaint of the window began.
  const std::vector<Moment>& Repaints() const { return repaints_; }
  const std::vector<Box>& Boxes() const { return boxes_; }
  // When the event loop (or a wait's pump) went round.
  const std::vector<Moment>& Rounds() const { return rounds_; }
  bool Saw(const QString& text) const {
    return std::any_of(boxes_.begin(), boxes_.end(), [&text](const Box& box) { return box.text.contains(text); });
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!recording_ || !watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
      case QEvent::UpdateRequest:
        if (widget == window_) updateRequested_ = true;
        break;
      case QEvent::Paint:
        if (widget == window_ || window_->isAncestorOf(widget)) Painted();
        break;
      case QEvent::Show:
        if (auto* box = qobject_cast<QMessageBox*>(widget)) boxes_.push_back({Now(), {}, box->text()});
        break;
      case QEvent::Hide:
        if (qobject_cast<QMessageBox*>(widget) != nullptr && !boxes_.empty()) boxes_.back().closed = Now();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  // One repaint paints the window's controls one after the other, on the
  // window's update request or, painted at once, in a single run.
  void Painted() {
    const Moment now = Now();
    ++paintEvents_;
    if (updateRequested_ || repaints_.empty() || now - lastPaint_ > kSameRepaint) repaints_.push_back(now);
    updateRequested_ = false;
    lastPaint_ = now;
  }

  QPointer<QWidget> window_;
  bool recording_ = false;
  bool updateRequested_ = false;
  std::size_t paintEvents_ = 0;
  Moment lastPaint_;
  std::vector<Moment> repaints_;
  std::vector<Moment> rounds_;
  std::vector<Box> boxes_;
};

// Asks the window to repaint every few milliseconds from another thread, and
// notes how late each request was delivered on the window's thread.
class KeepDirty {
 public:
  explicit KeepDirty(QWidget& window) : window_(&window), thread_([this] { Run(); }) {}
  ~KeepDirty() { Stop(); }
  KeepDirty(const KeepDirty&) = delete;
  KeepDirty& operator=(const KeepDirty&) = delete;

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // Delivered requests: when each was delivered, and how late.
  const std::vector<std::pair<Moment, double>>& Deliveries() const { return deliveries_; }

 private:
  void Run() {
    while (!stop_) {
      const Moment posted = Now();
      QMetaObject::invokeMethod(
          window_,
          [this, posted] {
            const Moment delivered = Now();
            deliveries_.emplace_back(delivered, Ms(posted, delivered));
            window_->update();
          },
          Qt::QueuedConnection);
      std::this_thread::sleep_for(kDirtyEvery);
    }
  }

  QWidget* window_;
  std::atomic<bool> stop_{false};
  std::vector<std::pair<Moment, double>> deliveries_;  // touched on the window's thread only
  std::thread thread_;
};

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

// Chooses Koral-Serial, QT-1RX and COM1 4800; the settings window once it shows.
QWidget* Connect(ui::DesktopProgram& program) {
  program.Start();
  QWidget* selector = TopLevel("firstpage");
  if (selector == nullptr) return nullptr;
  testing_support::Pick(*Find<QComboBox>(*selector, "cmbSelect"), 0);
  if (!QTest::qWaitFor([] { return TopLevel("Setting") != nullptr; }, kConnectMs)) return nullptr;
  QWidget& setting = *TopLevel("Setting");
  QTest::mouseClick(Find<QRadioButton>(setting, "optModule0"), Qt::LeftButton);
  testing_support::Pick(*Find<QComboBox>(setting, "cmbSelect"), 2);
  if (!QTest::qWaitFor([] { return TopLevel("frmSetup") != nullptr; }, kConnectMs)) return nullptr;
  QTest::qWait(300);  // the connection check's message comes now
  return TopLevel("frmSetup");
}

int Run() {
  testing_support::ModalWatcher acceptBoxes{[](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) testing_support::AcceptMessageBox(*box);
  }};
  testing_support::UnitOnCom1 unit;
  if (!unit.Start({"--still", "--quiet"})) {
    std::fprintf(stderr, "koral-emu: %s\n", unit.Problem().c_str());
    return 1;
  }
  ui::DesktopProgram program;
  QWidget* settings = Connect(program);
  if (settings == nullptr) {
    std::fprintf(stderr, "the settings window did not show\n");
    return 1;
  }

  WindowWatcher watcher(*settings);
  KeepDirty dirty(*settings);
  QTest::qWait(200);  // the requests flowing before the clock starts
  watcher.Record(true);
  const Moment start = Now();
  QTimer::singleShot(0, settings, [settings] { Find<QAction>(*settings, "mnuDownload")->trigger(); });
  const bool completed = QTest::qWaitFor([&watcher] { return watcher.Saw(kDownloadCompleted); }, kDownloadMs);
  watcher.Record(false);
  dirty.Stop();
  QTest::qWait(100);  // the last requests delivered while the window lives
  if (!completed) {
    std::fprintf(stderr, "no \"%s\" within %d s\n", qPrintable(kDownloadCompleted), kDownloadMs / 1000);
    return 1;
  }
  const Box& last = watcher.Boxes().back();
  const Moment end = last.shown;

  // The repaints from the start to the message, the ends counted as repaints
  // so a silent stretch at either end shows.
  std::vector<Moment> moments{start};
  for (const Moment repaint : watcher.Repaints())
    if (repaint > start && repaint < end) moments.push_back(repaint);
  const std::size_t repaints = moments.size() - 1;
  moments.push_back(end);
  std::vector<double> gaps;
  double longest = 0.0;
  Moment longestFrom = start;
  for (std::size_t i = 1; i < moments.size(); ++i) {
    const double gap = Ms(moments[i - 1], moments[i]);
    gaps.push_back(gap);
    if (gap > longest) {
      longest = gap;
      longestFrom = moments[i - 1];
    }
  }
  double latestDelivery = 0.0;
  Moment latestAt = start;
  for (const auto& [delivered, late] : dirty.Deliveries())
    if (delivered > start && delivered < end && late > latestDelivery) {
      latestDelivery = late;
      latestAt = delivered;
    }

  std::printf("platform            %s\n", qPrintable(QGuiApplication::platformName()));
  std::printf("download            %.0f ms (menu to \"%s\")\n", Ms(start, end), qPrintable(kDownloadCompleted));
  std::printf("repaints            %zu (%zu paint events of the window and its controls)\n", repaints,
              watcher.PaintEvents());
  std::printf("longest gap         %.1f ms, from %.0f ms to %.0f ms after the start  (target < %.0f ms: %s)\n", longest,
              Ms(start, longestFrom), Ms(start, longestFrom) + longest, kTargetMs,
              longest < kTargetMs ? "met" : "missed");
  std::printf("99th percentile gap %.1f ms\n", Percentile(gaps, 0.99));
  std::printf("median gap          %.1f ms\n", Percentile(gaps, 0.5));
  std::printf("latest repaint request delivered %.1f ms late, at %.0f ms\n", latestDelivery, Ms(start, latestAt));
  double longestStill = 0.0;
  Moment stillFrom = start;
  const std::vector<Moment>& rounds = watcher.Rounds();
  for (std::size_t i = 1; i < rounds.size(); ++i)
    if (rounds[i] < end && Ms(rounds[i - 1], rounds[i]) > longestStill) {
      longestStill = Ms(rounds[i - 1], rounds[i]);
      stillFrom = rounds[i - 1];
    }
  std::printf("event loop or pump went round %zu times; longest without a round %.1f ms, from %.0f ms\n", rounds.size(),
              longestStill, Ms(start, stillFrom));
  std::string load;
  std::getline(std::ifstream("/proc/loadavg"), load);
  std::printf("load average        %s\n", load.c_str());
  std::printf("gaps over %.0f ms:\n", kTargetMs);
  for (std::size_t i = 1; i < moments.size(); ++i)
    if (Ms(moments[i - 1], moments[i]) >= kTargetMs)
      std::printf("  %8.0f ms  %6.1f ms\n", Ms(start, moments[i - 1]), Ms(moments[i - 1], moments[i]));
  std::printf("message boxes:\n");
  for (const Box& box : watcher.Boxes())
    std::printf("  %8.0f ms  %-40s open %.0f ms\n", Ms(start, box.shown), qPrintable(box.text),
                box.closed > box.shown ? Ms(box.shown, box.closed) : 0.0);
  return 0;
}

}  // namespace
}  // namespace koral::bench

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  return koral::bench::Run();
}
