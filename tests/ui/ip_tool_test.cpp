// The IP address tool's windows on a real serial line.
#include "ui/ip_tool.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <chrono>
#include <vector>

#include "pty_peer.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kArriveMs = 2000;
constexpr int kReplyShownMs = 3000;
constexpr long long kReadBackMs = 1000;
constexpr long long kTimerSlackMs = 60;  // a coarse timer may fire a little early
const Bytes kQuery = {0x01, 0x0F, 0xD3, 0xE6, 0xFF, 0x03};

Bytes Joined(std::initializer_list<Bytes> parts) {
  Bytes joined;
  for (const Bytes& part : parts)
    joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

}  // namespace

class IpToolTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { messages_.clear(); }

  void setIp_writesTheAddressAndQueries_thenShowsTheReplyASecondLater() {
    PtyPeer peer;
    QVERIFY2(peer.Open(1), peer.Problem().c_str());
    bool ended = false;
    ui::IpTool tool([&] { ended = true; });
    tool.Start();
    QWidget* chooser = TopLevel("setIP");
    QVERIFY(chooser != nullptr);
    QCOMPARE(chooser->windowTitle(), QStringLiteral("IP Address Setting"));
    QCOMPARE(Find<QLabel>(*chooser, "Label31")->text(), QStringLiteral("Please Select Comport"));
    Pick(*Find<QComboBox>(*chooser, "cmbSelectcom"), 0);  // "Com1 4800,n,8,1"
    QTRY_VERIFY(TopLevel("setIPAdd") != nullptr);
    QVERIFY(TopLevel("setIP") == nullptr);
    QWidget& window = *TopLevel("setIPAdd");

    // Its activation asks for the present address, at 4800 baud.
    QVERIFY(peer.WaitForBytes(kQuery.size(), kArriveMs));
    QCOMPARE(peer.Bytes(), kQuery);
    QCOMPARE(peer.BaudRate(), std::optional<int>(4800));
    auto* address = Find<QPlainTextEdit>(window, "txtdisplay");
    QCOMPARE(address->toPlainText(), QStringLiteral("192.168.0.100\n"));
    address->selectAll();
    QTest::keyClicks(address, "10.0.3.1");
    QTest::mouseClick(Find<QPushButton>(window, "Command4"), Qt::LeftButton);
    const auto sent = std::chrono::steady_clock::now();
    const Bytes expected = Joined({kQuery, {0x01, 0x10, 0x0A, 0x00, 0x00, 0x1F, 0x2F, 0x3F, 0x01, 0x03}, kQuery});
    QVERIFY(peer.WaitForBytes(expected.size(), kArriveMs));
    QCOMPARE(peer.Bytes(), expected);
    const Bytes reply = {0x0A, 0x00, 0x03, 0x01};
    QVERIFY(peer.Reply(reply));
    auto* present = Find<QLabel>(window, "txtDisp");
    QCOMPARE(present->text(), QString());
    QTRY_COMPARE_WITH_TIMEOUT(present->text(), QStringLiteral("10.0.3.1"), kReplyShownMs);
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - sent);
    QVERIFY2(waited.count() >= kReadBackMs - kTimerSlackMs, QByteArray::number(waited.count()));
    QVERIFY(!ended);
    window.close();
    QVERIFY(ended);
  }

  void portThatDoesNotOpen_isToldThenTheAddressWindowShows() {
    qputenv("KORAL_COM2", "/nonexistent/koral-tty");
    bool ended = false;
    ui::IpTool tool([&] { ended = true; });
    tool.Start();
    QWidget* chooser = TopLevel("setIP");
    QVERIFY(chooser != nullptr);
    Pick(*Find<QComboBox>(*chooser, "cmbSelectcom"), 1);  // "Com2 4800,n,8,1"
    QTRY_VERIFY(TopLevel("setIPAdd") != nullptr);
    QCOMPARE(messages_.size(), 1);
    QVERIFY2(messages_[0].startsWith(QStringLiteral("KORAL|")), qPrintable(messages_[0]));
    TopLevel("setIPAdd")->close();
    QVERIFY(ended);
  }

 private:
  QStringList messages_;
  ModalWatcher watcher_{[this](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) messages_ << AcceptMessageBox(*box);
  }};
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::IpToolTest)
#include "ip_tool_test.moc"
