// The serial and UDP monitor windows as the user sees them: output data from
// the emulated unit, Save, Print, Clear, close and reopen.
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "../integration/user_settings.h"
#include "../link/link_fakes.h"
#include "app/serial_connection_model.h"
#include "model/settings_file.h"
#include "model/unit_profile.h"
#include "runtime/link_runtime.h"
#include "ui/monitor_printing.h"
#include "ui/monitor_text_view.h"
#include "ui/serial_monitor_window.h"
#include "ui/udp_monitor_window.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

constexpr int kFramesMs = 10000;  // the unit streams once a second
const QString kAllFlagsFrameLines = QStringLiteral(
    "MOVE    =  -  -  -  -  -  -  -  - \r\n"
    "TRIGGER =  -  -  -  -  -  -  -  - \r\n"
    "ALARM   =  -  -  -  -  -  -  -  - \r\n"
    "STATUS  = Day Mode , Alarm Enable , Video OK \r\n");

// 01 21, flags A / B / C, day, "CAM1", 25 Dec 09:30:45, 03.
const ByteString kEvent = {0x01, 0x21, 0x01, 0x02, 0x04, 0x08, 'C',  'A', 'M',
                           '1',  0x12, 0x25, 0x07, 0x09, 0x30, 0x45, 0x03};

// A serial monitor fed by hand.
struct FedSerialMonitor {
  Mailboxes mailboxes;
  TransferState transfer;
  bool videoLost = false;
  SerialMonitorModel model{mailboxes, transfer, videoLost};

  void EventLog(const std::string& text22) {
    mailboxes.monitor.assign(text22.begin(), text22.end());
    mailboxes.monitor.resize(kEventLogLength, 0x20);
    model.Poll();
  }
};

int PdfPages(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  return static_cast<int>(QString::fromLatin1(file.readAll()).count(QRegularExpression("/Type\\s*/Page(?!s)")));
}

QString CopiedText(ui::MonitorTextView& view) {
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
  return QGuiApplication::clipboard()->text();
}

QPoint RowCentre(const ui::MonitorTextView& view, int row) {
  const int height = view.fontMetrics().lineSpacing();
  return {10, row * height + height / 2};
}

}  // namespace

class MonitorWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    messages_.clear();
    fileName_.clear();
  }

  void serialMonitor_showsTheUnitsAllFlagsFramesNewestOnTop() {
    QTemporaryDir scratch;
    const std::string settings = scratch.filePath("unit.txt").toStdString();
    QVERIFY(!WriteSettingsFile(settings, integration::StreamingSettings(kAllFlags)).has_value());
    UnitOnCom1 unit;
    QVERIFY2(unit.Start({"--load", QString::fromStdString(settings), "--still"}), unit.Problem().c_str());
    NoWindows windows;
    LinkRuntime runtime(LinkMode::Serial, std::make_unique<QtSerialPorts>(), windows);
    runtime.Listen();
    runtime.KeepSerialMonitorPolled();
    SerialConnectionModel& connection = runtime.Engine().SerialConnection();
    connection.Load();
    connection.Activate();
    connection.Choose(kBaud4800Index);  // COM1 at 4800
    QVERIFY(!runtime.Engine().GetTransport().PortError());
    SerialMonitorModel& model = runtime.Engine().SerialMonitor();
    ui::SerialMonitorWindow window(model);
    window.ShowFromMenu();
    runtime.FollowSerialMonitorPoll();
    QVERIFY(TopLevel("frmSerialWin") != nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("Serial Window"));
    QVERIFY(runtime.SerialMonitorTimerRunning());
    auto* output = Find<QComboBox>(window, "cmbSerialOutput");
    QCOMPARE(output->count(), kOutputTypeCount);
    QCOMPARE(output->currentText(), QStringLiteral("EVENT LOG"));
    Pick(*output, kAllFlags);
    QCOMPARE(model.SelectedType(), int{kAllFlags});
    auto& view = *Find<ui::MonitorTextView>(window, "txtDisplay");
    QTRY_VERIFY_WITH_TIMEOUT(view.LineCount() >= 8, kFramesMs);
    QCOMPARE(view.TopLine(), std::size_t{0});
    const QString shown = CopiedText(view);
    QCOMPARE(shown.left(kAllFlagsFrameLines.size()), kAllFlagsFrameLines);
    QCOMPARE(shown.size() % kAllFlagsFrameLines.size(), qsizetype{0});
    // Whole lines by mouse: a click on TRIGGER, shift+click on STATUS.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, RowCentre(view, 1));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCentre(view, 3));
    QCOMPARE(view.SelectedText(), kAllFlagsFrameLines.section(QStringLiteral("\r\n"), 1, 3) + "\r\n");
  }

  void save_writesTheDisplayAsShown_orSaysWhyNot_data() {
    QTest::addColumn<QString>("place");
    QTest::addColumn<bool>("written");
    QTest::newRow("new file") << "log.txt" << true;
    QTest::newRow("missing folder") << "no-such-folder/log.txt" << false;
  }
  void save_writesTheDisplayAsShown_orSaysWhyNot() {
    QFETCH(QString, place);
    QFETCH(bool, written);
    FedSerialMonitor monitor;
    monitor.EventLog("12:00:01 ALARM \xE9 A");
    monitor.EventLog("12:00:02 ALARMS OFF");
    ui::SerialMonitorWindow window(monitor.model);
    window.ShowFromMenu();
    QTemporaryDir scratch;
    fileName_ = scratch.filePath(place);
    QTest::mouseClick(Find<QPushButton>(window, "cmdSave"), Qt::LeftButton);
    QCOMPARE(chosenFilter_, QStringLiteral("Text Files (*.txt)"));
    QFile saved(fileName_);
    QCOMPARE(saved.open(QIODevice::ReadOnly), written);
    if (written) {
      QCOMPARE(saved.readAll(), QByteArray("12:00:02 ALARMS OFF   \r\n"
                                           "12:00:01 ALARM \xE9 A    \r\n"));
      QVERIFY(messages_.isEmpty());
    } else {
      QCOMPARE(messages_, QStringList{"KORAL|" + fileName_ + " cannot be saved: No such file or directory"});
    }
  }

  void print_twoCopiesToAFile_holdTheirPagesTwice() {
    FedSerialMonitor monitor;
    for (int n = 0; n < 150; ++n)
      monitor.EventLog("12:00:00 MOVE " + std::to_string(n));
    ui::SerialMonitorWindow window(monitor.model);
    window.ShowFromMenu();
    QTemporaryDir scratch;
    QPrinter single(QPrinter::HighResolution);
    single.setOutputFormat(QPrinter::PdfFormat);
    single.setOutputFileName(scratch.filePath("one.pdf"));
    QVERIFY(ui::PrintMonitorText(single, monitor.model.Display().Text(), 1));
    const int onePass = PdfPages(scratch.filePath("one.pdf"));
    QVERIFY2(onePass > 1, qPrintable(QString::number(onePass)));
    fileName_ = scratch.filePath("two.pdf");
    copies_ = 2;
    QTest::mouseClick(Find<QPushButton>(window, "cmdPrn"), Qt::LeftButton);
    QCOMPARE(PdfPages(fileName_), 2 * onePass);
  }

  void udpMonitor_showsItsLines_clearsThem_andKeepsThemWhenClosed() {
    FakeClock clock;
    FakeUdpSocket socket{clock};
    FakeHardwareAddresses macs;
    Transport transport{LinkMode::Udp, clock, nullptr, &socket, &macs};
    Mailboxes mailboxes;
    bool videoLost = false;
    UdpMonitorModel model{mailboxes, videoLost, transport};
    const auto receive = [&](int events) {
      for (int n = 0; n < events; ++n) {
        mailboxes.monitor = kEvent;
        model.OnEvent();
      }
    };
    receive(1);
    ui::UdpMonitorWindow window(model);
    window.ShowFromMenu();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(TopLevel("UDPWin") != nullptr);
    QCOMPARE(window.windowTitle(), QStringLiteral("UDP Window"));
    auto& view = *Find<ui::MonitorTextView>(window, "txtDisplay");
    QCOMPARE(view.LineCount(), std::size_t{5});
    QTest::mouseClick(Find<QPushButton>(window, "Command1"), Qt::LeftButton);
    QCOMPARE(view.LineCount(), std::size_t{0});
    QCOMPARE(model.Text(), std::string());

    // Scrolled down, new lines on top leave the lines in view and the
    // selection where they are; lines come in with the next refresh.
    receive(40);
    QTRY_COMPARE(view.LineCount(), std::size_t{200});
    view.verticalScrollBar()->setValue(12);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, RowCentre(view, 0));
    const QString selected = view.SelectedText();
    QCOMPARE(selected, QStringLiteral("TRIGGER =  -  B  -  -  -  -  -  - \r\n"));
    receive(1);
    QTRY_COMPARE(view.LineCount(), std::size_t{205});
    QCOMPARE(view.TopLine(), std::size_t{17});
    QCOMPARE(view.SelectedText(), selected);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
    QVERIFY(!model.Visible());
    window.ShowFromMenu();
    QVERIFY(model.Visible());
    QCOMPARE(CopiedText(view), QString::fromStdString(model.Text()));
  }

 private:
  QStringList messages_;
  QString fileName_;
  QString chosenFilter_;
  int copies_ = 1;
  ModalWatcher watcher_{[this](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) messages_ << AcceptMessageBox(*box);
    if (auto* files = qobject_cast<QFileDialog*>(&modal)) {
      chosenFilter_ = files->selectedNameFilter();
      Find<QLineEdit>(*files, "fileNameEdit")->setText(fileName_);
      static_cast<QDialog*>(files)->accept();
    }
    if (auto* print = qobject_cast<QPrintDialog*>(&modal)) {
      auto* printers = Find<QComboBox>(*print, "printers");
      printers->setCurrentIndex(printers->findText(QStringLiteral("Print to File (PDF)")));
      Find<QLineEdit>(*print, "filename")->setText(fileName_);
      Find<QSpinBox>(*print, "copies")->setValue(copies_);
      static_cast<QDialog*>(print)->accept();
    }
  }};
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::MonitorWindowsTest)
#include "monitor_windows_test.moc"
