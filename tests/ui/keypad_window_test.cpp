// The keypad window bound to its model on a real serial line.
#include "ui/keypad_window.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <chrono>
#include <memory>
#include <vector>

#include "pty_peer.h"
#include "runtime/link_runtime.h"
#include "ui/up_down_control.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kArriveMs = 2000;
constexpr int kComOneAt4800 = 2;    // "Com1 4800,n,8,1" in the connection window's list
constexpr long long kLateMs = 400;  // a loaded test machine's slack above a wait

enum class Use { Both, QtMx, Qt1Rx };

struct Control {
  const char* name;
  const char* caption;  // null for the spinners
  const char* frame;
  Use use;
};

constexpr Control kControls[] = {
    {"btnR", "RIGHT", "Frame3", Use::QtMx},
    {"btnDown", "DOWN", "Frame3", Use::QtMx},
    {"btnL", "LEFT", "Frame3", Use::QtMx},
    {"btnLog", "LOG", "Frame3", Use::QtMx},
    {"btnUp", "UP", "Frame3", Use::QtMx},
    {"btnExit", "EXIT", "Frame3", Use::QtMx},
    {"btnSelect", "SELECT", "Frame3", Use::QtMx},
    {"udGroup", nullptr, "Frame3", Use::QtMx},
    {"udAddr", nullptr, "Frame3", Use::QtMx},
    {"btnDisable", "DISABLE", "Frame2", Use::Both},
    {"btnEnable", "ENABLE", "Frame2", Use::Both},
    {"btnClear", "CLEAR", "Frame2", Use::Both},
    {"btnNgt", "NIGHT", "Frame2", Use::Both},
    {"btnDay", "DAY", "Frame2", Use::Both},
    {"btnUnAddr", "UNADDRESS", "Frame2", Use::QtMx},
    {"btnRight", "RIGHT", "Frame1", Use::Qt1Rx},
    {"btnLeft", "LEFT", "Frame1", Use::Qt1Rx},
    {"btnMenu", "MENU", "Frame1", Use::Qt1Rx},
    {"btnAlm", "ALARM", "Frame1", Use::Qt1Rx},
};

long long MsBetween(const ArrivedByte& first, const ArrivedByte& second) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(second.at - first.at).count();
}

// The bytes that arrived after the first `skip`, once `count` of them are there.
Bytes NewBytes(const PtyPeer& peer, std::size_t skip, std::size_t count) {
  if (!peer.WaitForBytes(skip + count, kArriveMs)) return {};
  const Bytes all = peer.Bytes();
  return Bytes(all.begin() + static_cast<std::ptrdiff_t>(skip), all.end());
}

}  // namespace

class KeypadWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void select_sendsTheAddressWithItsWaits_andCloseUnloads() {
    PtyPeer peer;
    QVERIFY2(peer.Open(1), peer.Problem().c_str());
    NoWindows windows;
    LinkRuntime runtime(LinkMode::Serial, std::make_unique<QtSerialPorts>(), windows);
    SerialConnectionModel& connection = runtime.Engine().SerialConnection();
    connection.Options().ChooseModel(UnitModel::QtMx);
    connection.Choose(kComOneAt4800);
    QVERIFY2(!runtime.Engine().GetTransport().PortError(), runtime.Engine().GetTransport().PortErrorText().c_str());
    ui::KeypadWindow keypad(runtime.Keypad());
    keypad.Open();
    auto* select = Find<QPushButton>(keypad, "btnSelect");
    auto* target = Find<QLabel>(keypad, "lblAddr");

    // The first SELECT after loading repeats the address, with the design's waits.
    QTest::mouseClick(select, Qt::LeftButton);
    QCOMPARE(NewBytes(peer, 0, 3), (Bytes{0x00, 0x00, 0xB3}));
    const std::vector<ArrivedByte> arrived = peer.Arrived();
    const long long afterFirst = MsBetween(arrived[0], arrived[1]);
    const long long afterSecond = MsBetween(arrived[1], arrived[2]);
    QVERIFY2(afterFirst >= KeypadModel::kAfterAddressMs && afterFirst < KeypadModel::kAfterAddressMs + kLateMs,
             QByteArray::number(afterFirst));
    QVERIFY2(
        afterSecond >= KeypadModel::kAfterFirstRepeatMs && afterSecond < KeypadModel::kAfterFirstRepeatMs + kLateMs,
        QByteArray::number(afterSecond));

    // udAddr's up arrow sends the new target at once; SELECT then sends it once.
    QToolButton* up = nullptr;
    for (QToolButton* arrow : Find<UpDownControl>(keypad, "udAddr")->findChildren<QToolButton*>())
      if (arrow->accessibleName() == QStringLiteral("Up")) up = arrow;
    QVERIFY(up != nullptr);
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(NewBytes(peer, 3, 1), (Bytes{0x01}));
    QCOMPARE(target->text(), QStringLiteral("01"));
    QTest::mouseClick(select, Qt::LeftButton);
    QCOMPARE(NewBytes(peer, 4, 2), (Bytes{0x01, 0xB3}));

    // Closed and opened again, the keypad starts afresh.
    keypad.close();
    keypad.Open();
    QCOMPARE(target->text(), QStringLiteral("00"));
    QTest::mouseClick(select, Qt::LeftButton);
    QCOMPARE(NewBytes(peer, 6, 3), (Bytes{0x00, 0x00, 0xB3}));
  }

  void open_showsTheKeysOfTheUnitsModel_data() {
    QTest::addColumn<int>("model");
    QTest::newRow("QT-1RX") << int(UnitModel::Qt1Rx);
    QTest::newRow("QT-MX") << int(UnitModel::QtMx);
  }
  void open_showsTheKeysOfTheUnitsModel() {
    QFETCH(int, model);
    const bool qtMx = model == int(UnitModel::QtMx);
    NoWindows windows;
    LinkRuntime runtime(LinkMode::Serial, nullptr, windows);
    runtime.GetSession().unitModel = static_cast<UnitModel>(model);
    ui::KeypadWindow keypad(runtime.Keypad());
    keypad.Open();
    QCOMPARE(keypad.windowTitle(), QStringLiteral("Keyboard"));
    QCOMPARE(Find<QGroupBox>(keypad, "Frame3")->title(), QStringLiteral("QT-MX"));
    QCOMPARE(Find<QGroupBox>(keypad, "Frame2")->title(), QStringLiteral("MODE"));
    QCOMPARE(Find<QGroupBox>(keypad, "Frame1")->title(), QStringLiteral("QT-1RX"));
    for (const Control& control : kControls) {
      const QWidget* widget = Find<QWidget>(*Find<QGroupBox>(keypad, control.frame), control.name);
      const bool enabled = control.use == Use::Both || (control.use == Use::QtMx) == qtMx;
      QVERIFY2(widget->isEnabled() == enabled, control.name);
      if (control.caption != nullptr)
        QCOMPARE(static_cast<const QPushButton*>(widget)->text(), QString::fromLatin1(control.caption));
    }
    QCOMPARE(Find<QLabel>(keypad, "lblGroup")->text(), QStringLiteral("00-15"));
    QCOMPARE(Find<QLabel>(keypad, "lblAddr")->text(), QStringLiteral("00"));
  }
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::KeypadWindowTest)
#include "keypad_window_test.moc"
