// The alarm window bound to its model, over an in-memory serial link; the
// window's timer is expired by hand where the tick count matters.
#include "ui/alarm_window.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <memory>
#include <string_view>

#include "../link/link_fakes.h"
#include "link/mailboxes.h"
#include "link/transport.h"
#include "ui/alarm_lamp.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

const ByteString kAlarmOnAAndC = {0x5A, 0x00, 0x00, 0x05, 0x08};  // ALL FLAGS: alarm byte 05
constexpr int kDriveMs = 2000;

class CountingSound final : public SoundOutput {
 public:
  int WaveOutputDeviceCount() const override { return devices; }
  void Play(std::string_view file) override {
    ++plays;
    lastFile = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
  }
  int devices = 1;
  int plays = 0;
  QString lastFile;
};

// The program's side of one alarm window on the serial link.
struct AlarmRig {
  AlarmRig() { transport.OpenSerialPort(1, 4800); }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  Transport transport{LinkMode::Serial, clock, &ports, nullptr, nullptr};
  Mailboxes mailboxes;
  CountingSound sound;
  AlarmWindowModel model{transport, mailboxes, sound};
  ui::AlarmWindow window{model};
};

}  // namespace

class AlarmWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    rig_ = std::make_unique<AlarmRig>();
    messages_.clear();
    icons_.clear();
  }
  void cleanup() { rig_.reset(); }

  void allFlagsFrame_lightsAndBlinksItsZonesWithTheSound() {
    rig_->window.Open();
    QVERIFY(messages_.isEmpty());
    QCOMPARE(rig_->window.windowTitle(), QStringLiteral("Alarm Window"));
    QCOMPARE(Find<QLabel>(rig_->window, "Label2")->text(), QStringLiteral("Zone Alarm"));
    QCOMPARE(Letters(), QStringLiteral("ABCDEFGH"));
    QCOMPARE(Caption("Command1"), QStringLiteral("Disable Sound"));
    QCOMPARE(Caption("Command3"), QStringLiteral("Clear Alarm"));
    QCOMPARE(Timer().interval(), 100);
    QVERIFY(Timer().isActive());
    QCOMPARE(Lamps(), QStringLiteral("GGGGGGGG"));
    rig_->mailboxes.PostOther(kAlarmOnAAndC);
    // Lit at once, red again on the next tick (the sound is asked for then),
    // then dark green and red in turn, one sound per red.
    QCOMPARE(LampsOverTicks(6), QStringLiteral("RGRGGGGG:0 RGRGGGGG:0 GGGGGGGG:1 RGRGGGGG:1 GGGGGGGG:2 RGRGGGGG:2"));
    QCOMPARE(rig_->sound.lastFile, QStringLiteral("AntiAir.wav"));
    QCOMPARE(Lamp(0).accessibleName(), QStringLiteral("Zone A: alarm"));
    QCOMPARE(Lamp(1).accessibleName(), QStringLiteral("Zone B: no alarm"));
  }

  void clearAlarm_sendsA8AndPutsEveryLampOut() {
    rig_->window.Open();
    rig_->mailboxes.PostOther(kAlarmOnAAndC);
    Expire(2);
    FakeSerialPort& port = rig_->ports.Fake(1);
    const std::size_t sentBefore = port.written.size();
    QTest::mouseClick(Find<QPushButton>(rig_->window, "Command3"), Qt::LeftButton);
    QCOMPARE(port.written.size(), sentBefore + 1);
    QCOMPARE(port.written.back().bytes, ByteString{0xA8});
    QCOMPARE(Caption("Command3"), QStringLiteral("Clear Alarm"));
    QCOMPARE(LampsOverTicks(4),
             QStringLiteral("GGGGGGGG:1 GGGGGGGG:1 GGGGGGGG:1 GGGGGGGG:1"));  // the sound already due, no more
    QCOMPARE(Lamp(0).accessibleName(), QStringLiteral("Zone A: no alarm"));
  }

  void noSoundOutput_isToldAndTheWindowStillWorks() {
    rig_->sound.devices = 0;
    rig_->window.Open();
    QCOMPARE(messages_, QStringList{QStringLiteral("Sound Card|Your system can not play sound Files.")});
    QCOMPARE(icons_, QList<QMessageBox::Icon>{QMessageBox::Information});
    QVERIFY(rig_->window.isVisible());
    QVERIFY(Timer().isActive());
    rig_->mailboxes.PostOther(kAlarmOnAAndC);
    QCOMPARE(LampsOverTicks(3), QStringLiteral("RGRGGGGG:0 RGRGGGGG:0 GGGGGGGG:1"));  // asked for; fails silently
  }

  void closeAndReopen_startsAfresh_data() {
    QTest::addColumn<bool>("byEscape");
    QTest::newRow("close box") << false;
    QTest::newRow("Escape") << true;
  }
  void closeAndReopen_startsAfresh() {
    QFETCH(bool, byEscape);
    ui::AlarmWindow& window = rig_->window;
    window.Open();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    rig_->mailboxes.PostOther(kAlarmOnAAndC);
    Expire(1);
    QTest::mouseClick(Find<QPushButton>(window, "Command1"), Qt::LeftButton);
    QCOMPARE(Caption("Command1"), QStringLiteral("Enable Sound"));
    if (byEscape) {
      QTest::keyClick(&window, Qt::Key_Escape);
    } else {
      window.close();
    }
    QVERIFY(!window.isVisible());
    QVERIFY(!Timer().isActive());
    QVERIFY(!rig_->model.IsOpen());
    window.Open();
    QCOMPARE(Lamps(), QStringLiteral("GGGGGGGG"));
    QCOMPARE(Caption("Command1"), QStringLiteral("Disable Sound"));
    // Left to its own timer, the window picks up the next frame.
    rig_->mailboxes.PostOther(kAlarmOnAAndC);
    QVERIFY(QTest::qWaitFor([this] { return Lamps() == QStringLiteral("RGRGGGGG"); }, kDriveMs));
  }

 private:
  ui::AlarmLamp& Lamp(int zone) { return *Find<ui::AlarmLamp>(rig_->window, QStringLiteral("Shape1_%1").arg(zone)); }
  QTimer& Timer() { return *Find<QTimer>(rig_->window, "Timer2"); }
  QString Caption(const char* button) { return Find<QPushButton>(rig_->window, button)->text(); }

  QString Letters() {
    QString letters;
    for (int zone = 0; zone < 8; ++zone)
      letters += Find<QLabel>(rig_->window, QStringLiteral("Label1_%1").arg(zone))->text();
    return letters;
  }
  // The lamps A..H as R (red), G (dark green) or ? (anything else).
  QString Lamps() {
    QString row;
    for (int zone = 0; zone < 8; ++zone) {
      const QColor colour = Lamp(zone).colour();
      row += colour == QColor(255, 0, 0) ? 'R' : colour == QColor(0, 64, 0) ? 'G' : '?';
    }
    return row;
  }
  // Expiries of the window's timer, delivered as the event loop would.
  void Expire(int count) {
    for (int i = 0; i < count; ++i) {
      QTimerEvent expiry(Timer().timerId());
      QCoreApplication::sendEvent(&Timer(), &expiry);
    }
  }
  // After each of `count` ticks: the lamps and the play requests so far.
  QString LampsOverTicks(int count) {
    QStringList rows;
    for (int i = 0; i < count; ++i) {
      Expire(1);
      rows << Lamps() + ':' + QString::number(rig_->sound.plays);
    }
    return rows.join(' ');
  }

  std::unique_ptr<AlarmRig> rig_;
  QStringList messages_;
  QList<QMessageBox::Icon> icons_;
  ModalWatcher watcher_{[this](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
      icons_ << box->icon();
      messages_ << AcceptMessageBox(*box);
    }
  }};
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::AlarmWindowTest)
#include "alarm_window_test.moc"
