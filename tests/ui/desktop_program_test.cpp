// The whole program against the emulated unit, as a user goes from the
// selector through the connection to the settings window and a download.
#include "ui/desktop_program.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QtTest>

#include "../integration/user_settings.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

constexpr int kConnectMs = 5000;
constexpr int kDownloadMs = 60000;  // seven heartbeats and the protocol's real waits
const QString kCompleted = QStringLiteral("KORAL|Communication  Completed");

}  // namespace

class DesktopProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { messages_.clear(); }

  void serialConnection_endsInTheSettingsWindow_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("entry");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("entryUsed");
    QTest::addColumn<bool>("qt1RxMenus");
    QTest::newRow("QT-1RX after the check")
        << "optModule0" << 2 << QStringList{kCompleted} << "Com1 4800,n,8,1" << true;
    QTest::newRow("QT-MX at once, at 4800") << "optModule1" << 4 << QStringList{} << "Com1 4800,n,8,1" << false;
  }
  void serialConnection_endsInTheSettingsWindow() {
    QFETCH(QString, model);
    QFETCH(int, entry);
    QFETCH(bool, qt1RxMenus);
    UnitOnCom1 unit;
    QVERIFY2(unit.Start({"--model", qt1RxMenus ? "qt-1rx" : "qt-mx"}), unit.Problem().c_str());
    ui::DesktopProgram program;
    QWidget* settings = Connect(program, model, entry);
    QVERIFY(settings != nullptr);
    QTEST(messages_, "messages");
    QVERIFY(TopLevel("Setting") == nullptr);
    QTEST(ports_->currentText(), "entryUsed");
    for (const char* menu : {"mnuWin", "mnuupload", "mnuAlarm"})
      QVERIFY2(Find<QAction>(*settings, menu)->isEnabled() == qt1RxMenus, menu);
    auto* speed = Find<QComboBox>(*settings, "cmbBaudRate");
    QCOMPARE(speed->isEnabled(), qt1RxMenus);
    if (!qt1RxMenus) QCOMPARE(speed->currentText(), QStringLiteral("4800,n,8,1"));
  }

  // The menus of the other windows on the serial link, with the message each
  // one gives first.
  void menus_openTheirWindows_afterTheirMessages_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("Alarm Window") << "mnuAlarm"
                                  << "AlarmWin"
                                  << QStringList{"Select ALL FLAGS|Please select Output Data to ALL FLAGS"};
    QTest::newRow("Serial Window") << "mnuWin"
                                   << "frmSerialWin" << QStringList{};
    QTest::newRow("Keyboard") << "mnuKeyboard"
                              << "frmKey" << QStringList{};
    QTest::newRow("Manual") << "mnuManual"
                            << "HelpWindow" << QStringList{};
    QTest::newRow("About") << "mnuAbout"
                           << "" << QStringList{"Digital video motion detector|KORAL version 3.09"};
  }
  void menus_openTheirWindows_afterTheirMessages() {
    QFETCH(QString, entry);
    QFETCH(QString, window);
    UnitOnCom1 unit;
    QVERIFY2(unit.Start({"--still"}), unit.Problem().c_str());
    ui::DesktopProgram program;
    QWidget* settings = Connect(program, "optModule0", 2);
    QVERIFY(settings != nullptr);
    messages_.clear();
    Find<QAction>(*settings, entry)->trigger();
    if (!window.isEmpty()) QTRY_VERIFY(TopLevel(window) != nullptr);
    // A PC without sound says so when the alarm window opens; nothing else may come.
    messages_.removeAll("Sound Card|Your system can not play sound Files.");
    QTEST(messages_, "messages");
  }

  void download_unitHoldsTheBanks_andTheBarTookEveryValue() {
    UnitOnCom1 unit;
    const QString dump = unit.FilePath("unit.txt");
    QVERIFY2(unit.Start({"--dump", dump}), unit.Problem().c_str());
    ui::DesktopProgram program;
    QWidget* settings = Connect(program, "optModule0", 2);
    QVERIFY(settings != nullptr);
    // Values the factory settings do not hold, in both kinds of control.
    auto* title = Find<QLineEdit>(*settings, "txtVCGS");
    title->selectAll();
    QTest::keyClicks(title, "SENT DAY");
    Pick(*Find<QComboBox>(*settings, "cmbRelay"), 2);
    QSignalSpy progress(Find<QProgressBar>(*settings, "Pbr"), &QProgressBar::valueChanged);
    Find<QAction>(*settings, "mnuDownload")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(messages_.size() == 3 && QFile::exists(dump), kDownloadMs);
    QCOMPARE(messages_,
             (QStringList{kCompleted, "Download|COM1 Baudrate 4800,n,8,1", "Communication|Download Completed"}));
    QList<int> values;
    for (const QList<QVariant>& change : progress)
      values << change.at(0).toInt();
    QCOMPARE(values, (QList<int>{10, 20, 30, 45, 60, 75, 85, 100, 0}));

    // What the PC holds, through File > Save.
    savedFile_ = unit.FilePath("pc.txt");
    Find<QAction>(*settings, "mnuSaveAs")->trigger();
    const SettingsImage held = integration::ImageOfFile(dump.toStdString());
    QCOMPARE(integration::DifferingLines(integration::ImageOfFile(savedFile_.toStdString()), held), std::string());
    QCOMPARE(integration::TitleOf(held, BankId::Day), std::string("SENT DAY"));
  }

 private:
  // Chooses Koral-Serial, the model and the entry; the settings window once it shows.
  QWidget* Connect(ui::DesktopProgram& program, const QString& model, int entry) {
    program.Start();
    QWidget* selector = TopLevel("firstpage");
    if (selector == nullptr) return nullptr;
    Pick(*Find<QComboBox>(*selector, "cmbSelect"), 0);  // "Koral-Serial"
    if (!QTest::qWaitFor([] { return TopLevel("Setting") != nullptr; }, kConnectMs)) return nullptr;
    QWidget& setting = *TopLevel("Setting");
    QTest::mouseClick(Find<QRadioButton>(setting, model), Qt::LeftButton);
    ports_ = Find<QComboBox>(setting, "cmbSelect");
    Pick(*ports_, entry);
    if (!QTest::qWaitFor([] { return TopLevel("frmSetup") != nullptr; }, kConnectMs)) return nullptr;
    QTest::qWait(300);  // a message after the window would come now
    return TopLevel("frmSetup");
  }

  QPointer<QComboBox> ports_;  // Setting's list, hidden once the settings window shows
  QStringList messages_;
  QString savedFile_;
  ModalWatcher watcher_{[this](QWidget& modal) {
    if (auto* box = qobject_cast<QMessageBox*>(&modal)) messages_ << AcceptMessageBox(*box);
    if (auto* files = qobject_cast<QFileDialog*>(&modal)) {
      Find<QLineEdit>(*files, "fileNameEdit")->setText(savedFile_);  // as typed: selectFile races the folder's loading
      static_cast<QDialog*>(files)->accept();                        // QFileDialog's own accept() is protected
    }
  }};
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::DesktopProgramTest)
#include "desktop_program_test.moc"
