// How soon the desktop program shows its first window, and how much memory it
// holds then. The probe is koral's main with a watcher on the application that
// catches the first top-level window exposed and, once that expose has been
// handled (the window painted), prints the times since the process began and
// its resident memory, and ends the program.
//
// Built twice: koral_startup_probe runs the program's own start-up;
// koral_startup_bare (KORAL_STARTUP_BARE) is a QApplication with one empty
// QWidget, linked with Qt Widgets only, which is the floor Qt sets by itself.
//
//   koral_startup_probe             one run; prints the figures of this process
//   koral_startup_probe --runs N    starts itself N times after one warm-up and
//                                   prints each figure's median, min and max
//
// A run started by --runs is timed from just before its exec, to the
// nanosecond, so the figure holds the dynamic loader, Qt's plugin loading and
// the platform connection. A run started otherwise is timed from the start
// time the kernel keeps, which counts in clock ticks (10 ms).
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#ifndef KORAL_STARTUP_BARE
#include "ui/desktop_program.h"
#endif

extern char** environ;

namespace {

constexpr const char* kExecStampVariable = "KORAL_STARTUP_EXEC_NS";
constexpr int kMaxRuns = 200;

std::int64_t Now(clockid_t clock) {
  timespec time{};
  clock_gettime(clock, &time);
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

// Milliseconds since this process began.
double MillisecondsSinceStart() {
  if (const char* stamp = std::getenv(kExecStampVariable))
    return static_cast<double>(Now(CLOCK_MONOTONIC) - std::stoll(stamp)) / 1e6;
  // Field 22 of /proc/self/stat: the start time in clock ticks since boot.
  // The fields are counted after the command name, which may hold spaces.
  std::ifstream statFile("/proc/self/stat");
  std::string stat;
  std::getline(statFile, stat);
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string skipped;
  for (int field = 3; field < 22; ++field)
    fields >> skipped;
  long long startTicks = 0;
  fields >> startTicks;
  const double tickMs = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  return static_cast<double>(Now(CLOCK_BOOTTIME)) / 1e6 - static_cast<double>(startTicks) * tickMs;
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  }
  return -1;
}

// The figures of one run, in the order they are printed.
struct Figures {
  double mainMs = 0;      // main entered: the loader and static initialisers done
  double appMs = 0;       // QApplication made: the platform plugin loaded and connected
  double shownMs = 0;     // the program's first window created and shown
  double exposedMs = 0;   // the first top-level window exposed
  double paintedMs = 0;   // that expose handled: the window painted
  double residentKb = 0;  // VmRSS then
};

constexpr std::array<const char*, 6> kFigureNames = {"main_ms",    "app_ms",     "shown_ms",
                                                     "exposed_ms", "painted_ms", "vmrss_kb"};

void Print(const Figures& f) {
  std::printf("%s %.2f %s %.2f %s %.2f %s %.2f %s %.2f %s %.0f\n", kFigureNames[0], f.mainMs, kFigureNames[1], f.appMs,
              kFigureNames[2], f.shownMs, kFigureNames[3], f.exposedMs, kFigureNames[4], f.paintedMs, kFigureNames[5],
              f.residentKb);
  std::fflush(stdout);
}

class FirstWindowProbe final : public QObject {
 public:
  explicit FirstWindowProbe(Figures& figures) : figures_(figures) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!seen_ && event->type() == QEvent::Expose && watched->isWindowType() &&
        static_cast<QWindow*>(watched)->isExposed()) {
      seen_ = true;
      figures_.exposedMs = MillisecondsSinceStart();
      // Read after the expose has been handled, when the window has been painted.
      QTimer::singleShot(0, this, [this] {
        figures_.paintedMs = MillisecondsSinceStart();
        figures_.residentKb = static_cast<double>(ResidentKilobytes());
        Print(figures_);
        QCoreApplication::exit(0);
      });
    }
    return false;
  }

 private:
  Figures& figures_;
  bool seen_ = false;
};

int RunOnce(int argc, char* argv[]) {
  Figures figures;
  figures.mainMs = MillisecondsSinceStart();
  QApplication app(argc, argv);
  figures.appMs = MillisecondsSinceStart();
  FirstWindowProbe probe(figures);
  app.installEventFilter(&probe);
#ifdef KORAL_STARTUP_BARE
  QWidget window;
  window.show();
#else
  // As src/ui/main.cpp does.
  QApplication::setApplicationName(QStringLiteral("KORAL"));
  QApplication::setApplicationVersion(QStringLiteral("3.09"));
  QApplication::setQuitOnLastWindowClosed(false);
  koral::ui::DesktopProgram program;
  program.Start();
#endif
  figures.shownMs = MillisecondsSinceStart();
  return QApplication::exec();
}

// Starts this program once more, stamped just before the exec, and reads the
// figures it prints.
bool RunChild(const char* self, Figures& figures) {
  std::array<int, 2> pipeEnds{};
  if (pipe(pipeEnds.data()) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::array<char*, 2> childArgv = {const_cast<char*>(self), nullptr};
  setenv(kExecStampVariable, std::to_string(Now(CLOCK_MONOTONIC)).c_str(), 1);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, childArgv.data(), environ);
  unsetenv(kExecStampVariable);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  std::array<char, 512> buffer{};
  for (ssize_t got; (got = read(pipeEnds[0], buffer.data(), buffer.size())) > 0;)
    output.append(buffer.data(), static_cast<std::size_t>(got));
  close(pipeEnds[0]);
  int status = 0;
  if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return false;
  std::istringstream words(output);
  std::string name;
  words >> name >> figures.mainMs >> name >> figures.appMs >> name >> figures.shownMs >> name >> figures.exposedMs >>
      name >> figures.paintedMs >> name >> figures.residentKb;
  return !words.fail();
}

int RunMany(const char* self, int runs) {
  std::vector<Figures> all;
  for (int run = 0; run <= runs; ++run) {
    Figures figures;
    if (!RunChild(self, figures)) {
      std::cerr << "run " << run << " failed\n";
      return 1;
    }
    if (run > 0) all.push_back(figures);  // the first warms the caches
  }
  const std::array<double Figures::*, 6> members = {&Figures::mainMs,    &Figures::appMs,     &Figures::shownMs,
                                                    &Figures::exposedMs, &Figures::paintedMs, &Figures::residentKb};
  std::printf("%-11s %10s %10s %10s   (%d runs)\n", "figure", "median", "min", "max", runs);
  for (std::size_t i = 0; i < members.size(); ++i) {
    std::vector<double> values;
    for (const Figures& f : all)
      values.push_back(f.*members[i]);
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%-11s %10.1f %10.1f %10.1f\n", kFigureNames[i], median, values.front(), values.back());
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc == 3 && std::string(argv[1]) == "--runs") {
    const int runs = std::atoi(argv[2]);
    if (runs < 1 || runs > kMaxRuns) {
      std::cerr << "--runs is a count 1.." << kMaxRuns << "\n";
      return 2;
    }
    return RunMany(argv[0], runs);
  }
  return RunOnce(argc, argv);
}
