// Whether the serial monitor window keeps up with 100 ALL FLAGS frames a
// second however many lines it holds: for 10 thousand, 1 million and 10
// million lines held, 500 frames as fast as they go, each polled by the
// view-model, caught up with by the view and painted, on Qt's offscreen
// platform. The process's CPU time per frame, times 100, is the share of one
// core the window needs at 100 frames a second.
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <cstddef>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>

#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "monitor/output_decoder.h"
#include "monitor/serial_monitor_model.h"
#include "ui/monitor_text_view.h"
#include "ui/serial_monitor_window.h"

namespace {

// Zones A, B and C moving, triggered and alarmed; day mode, video OK.
const koral::ByteString kAllFlagsFrame = {0x5A, 0x01, 0x02, 0x04, 0x98};
constexpr std::size_t kLinesPerFrame = 4;
constexpr int kWarmUpFrames = 50;
constexpr int kMeasuredFrames = 500;
constexpr double kFramesPerSecond = 100;

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The process's resident memory, from /proc/self/statm.
double ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  double pages = 0;
  double resident = 0;
  statm >> pages >> resident;
  return resident * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// Counts the paints of the widget it watches, to show that each frame painted.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return QObject::eventFilter(watched, event);
  }
  int paints = 0;
};

struct SerialMonitor {
  koral::Mailboxes mailboxes;
  koral::TransferState transfer;
  bool videoLost = false;
  koral::SerialMonitorModel model{mailboxes, transfer, videoLost};

  void Frame() {
    mailboxes.monitor = kAllFlagsFrame;
    model.Poll();
  }
};

void Measure(std::size_t linesHeld) {
  const double residentBefore = ResidentBytes();
  auto monitor = std::make_unique<SerialMonitor>();
  monitor->model.SelectType(koral::kAllFlags);
  for (std::size_t line = 0; line < linesHeld; line += kLinesPerFrame)
    monitor->Frame();
  const double residentPerLine = (ResidentBytes() - residentBefore) / static_cast<double>(linesHeld);

  koral::ui::SerialMonitorWindow window(monitor->model);
  window.resize(640, 480);
  window.ShowFromMenu();
  QApplication::processEvents();
  auto& view = *window.findChild<koral::ui::MonitorTextView*>(QStringLiteral("txtDisplay"));
  PaintCounter counter;
  view.viewport()->installEventFilter(&counter);

  // A frame as the window sees it at its busiest: the poll, the view catching
  // up at once instead of on its 40 ms timer, the paint, and whatever else the
  // event loop then has to do.
  const auto frame = [&] {
    monitor->Frame();
    view.Refresh();
    view.viewport()->repaint();
    QApplication::processEvents();
  };
  for (int i = 0; i < kWarmUpFrames; ++i)
    frame();
  const int paintsBefore = counter.paints;
  const double start = ProcessCpuSeconds();
  for (int i = 0; i < kMeasuredFrames; ++i)
    frame();
  const double cpuPerFrame = (ProcessCpuSeconds() - start) / kMeasuredFrames;

  std::printf(
      "%10zu lines | %7.1f us CPU per frame | %5.2f %% of one core at 100 frames/s | %d paints / %d frames"
      " | resident %.1f B per line | top line %zu\n",
      linesHeld, cpuPerFrame * 1e6, cpuPerFrame * kFramesPerSecond * 100, counter.paints - paintsBefore,
      kMeasuredFrames, residentPerLine, view.TopLine());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  for (const std::size_t lines : {std::size_t{10'000}, std::size_t{1'000'000}, std::size_t{10'000'000}})
    Measure(lines);
  return 0;
}
