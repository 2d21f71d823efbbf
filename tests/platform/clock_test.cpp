// The program's clocks.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <vector>

#include "platform/deferred_call.h"
#include "platform/qt_clock.h"
#include "platform/system_wall_clock.h"
#include "platform/window_events_during_waits.h"

namespace koral {
namespace {

TEST(QtClockTest, sleep_blocksAtLeastTheWaitAndReturnsOnZeroOrLess) {
  QtClock clock;
  const std::int64_t before = clock.NowMs();
  clock.Sleep(20);
  EXPECT_GE(clock.NowMs() - before, 20);
  clock.Sleep(0);
  clock.Sleep(-5);
}

// Counts what reaches it, as a window would see it.
class EventCounter : public QObject {
 public:
  int updates = 0;
  int closes = 0;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::UpdateRequest) ++updates;
    if (event->type() == QEvent::Close) ++closes;
    return QObject::event(event);
  }
};

TEST(QtClockTest, waitWithPump_repaintsButHoldsTimersDeferredCallsAndClosingUntilTheLoopRuns) {
  QtClock clock;
  WindowEventsDuringWaits pump;
  clock.SetWaitPump(&pump);
  EventCounter window;
  int ticks = 0;
  int deferred = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(5);
  DeferredCall call([&] { ++deferred; });
  call.Schedule();
  QCoreApplication::postEvent(&window, new QEvent(QEvent::UpdateRequest));
  QCoreApplication::postEvent(&window, new QEvent(QEvent::Close));
  const std::int64_t before = clock.NowMs();
  clock.Sleep(80);
  EXPECT_GE(clock.NowMs() - before, 80);
  EXPECT_EQ(window.updates, 1);
  EXPECT_EQ(window.closes, 0);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(deferred, 0);

  // Held back, not lost.
  QCoreApplication::processEvents();
  EXPECT_GE(ticks, 1);
  EXPECT_EQ(deferred, 1);
}

TEST(SystemWallClockTest, localTime_hasEveryFieldAndCountsWeekdaysFromSunday) {
  const LocalTime t = LocalTimeFrom(QDateTime(QDate(2024, 6, 2), QTime(13, 45, 7)));
  EXPECT_EQ(std::vector<int>({t.year, t.month, t.day, t.hour, t.minute, t.second, t.weekday}),
            std::vector<int>({2024, 6, 2, 13, 45, 7, 1}));
  EXPECT_EQ(LocalTimeFrom(QDateTime(QDate(2024, 6, 3), QTime(0, 0))).weekday, 2);        // Monday
  EXPECT_EQ(LocalTimeFrom(QDateTime(QDate(2024, 6, 8), QTime(23, 59, 59))).weekday, 7);  // Saturday
}

TEST(SystemWallClockTest, now_isTheSystemsLocalDate) {
  const QDate before = QDate::currentDate();
  const LocalTime now = SystemWallClock().Now();
  const QDate after = QDate::currentDate();
  const QDate reported(now.year, now.month, now.day);
  EXPECT_TRUE(reported == before || reported == after);
  EXPECT_EQ(now.weekday, reported.dayOfWeek() % 7 + 1);
}

}  // namespace
}  // namespace koral
