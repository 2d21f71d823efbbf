// The settings window bound to its view-model: named widgets, one model call
// per user action, and state written back without echo.
#include "ui/settings_window.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>
#include <optional>
#include <vector>

#include "app/session.h"
#include "app/settings_window_model.h"
#include "ui/up_down_control.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

class FakeActions : public ui::SettingsWindowActions {
 public:
  void ShowConnectionWindow() override {}
  void ShowKeypad() override {}
  void Upload() override {}
  void Download() override {}
  void ShowAlarmWindow() override {}
  void ShowSerialWindow() override {}
  void SwitchDayNight() override {}
  void ShowManual() override {}
  void ShowAbout() override {}
  bool PortError() const override { return false; }
  void EndProgram() override { ++programEnds; }
  std::optional<std::filesystem::path> OpenFileDialog(const QString& filter) override {
    filters << filter;
    return chosenFile;
  }
  std::optional<std::filesystem::path> SaveFileDialog(const QString& filter) override {
    filters << filter;
    return chosenFile;
  }
  void ShowMessage(const QString& title, const QString& text) override { messages << title + QLatin1Char('|') + text; }
  CloseAnswer AskClose(const QString& title, const QString& text) override {
    questions << title + QLatin1Char('|') + text;
    return closeAnswer;
  }

  std::optional<std::filesystem::path> chosenFile;
  CloseAnswer closeAnswer = CloseAnswer::Cancel;
  QStringList filters;
  QStringList messages;
  QStringList questions;
  int programEnds = 0;
};

// One run: a session with its model, as the connection window leaves it, and
// the window over it.
struct Run {
  explicit Run(UnitModel unit = UnitModel::Qt1Rx) {
    session.unitModel = unit;
    session.linkBaudIndex = 2;
    clock.now = {2006, 12, 31, 23, 59, 7, 1};
    window.emplace(model, actions);
    window->Activate();
    window->show();
  }

  Session session;
  RecordingLink link;
  FixedClock clock;
  SettingsWindowModel model{session, link, clock};
  FakeActions actions;
  std::optional<ui::SettingsWindow> window;

  template <typename Control = QWidget>
  Control& Find(const QString& name) const {
    return *testing_support::Find<Control>(*window, name);
  }
};

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

class SettingsWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void everyCatalogueControlAndTab_carriesItsNameAndShowsTheModel() {
    Run run;
    for (std::size_t i = 0; i < ListSettings().size(); ++i) {
      const ListSetting& setting = ListSettings()[i];
      auto& list = run.Find<QComboBox>(Text(setting.control));
      QCOMPARE(list.accessibleName(), Text(setting.caption));
      QCOMPARE(list.count(), static_cast<int>(setting.items.size()));
      QCOMPARE(list.itemText(list.count() - 1), Text(setting.items.back()));
      QCOMPARE(list.currentIndex(), run.model.List(static_cast<int>(i)).position.value_or(-1));
    }
    for (std::size_t i = 0; i < NumberSettings().size(); ++i) {
      const NumberSetting& setting = NumberSettings()[i];
      QCOMPARE(run.Find<UpDownControl>(Text(setting.control)).accessibleName(), Text(setting.caption));
      QCOMPARE(run.Find<QLabel>(Text(setting.labelControl)).text(),
               Text(run.model.NumberLabel(static_cast<int>(i)).caption));
    }
    for (const TimeSetting& setting : TimeSettings()) {
      QVERIFY(!run.Find<UpDownControl>(Text(setting.hourControl)).accessibleName().isEmpty());
      QVERIFY(!run.Find<UpDownControl>(Text(setting.minuteControl)).accessibleName().isEmpty());
    }
    for (const char* name : {"CmbMotion", "udTrigLevel7", "udSens7", "udTrack7", "lblMotion7", "txtVCGS", "btnZone8",
                             "lblMonth", "lblDOW", "Pbr", "lblDisplay", "Label54", "SSTab1"}) {
      QVERIFY2(!run.Find(QString::fromUtf8(name)).accessibleName().isEmpty(), name);
    }
    QCOMPARE(run.Find<QLabel>(QStringLiteral("TrigLevel7")).text(), QStringLiteral("1867"));
    QCOMPARE(run.Find<QLineEdit>(QStringLiteral("txtVCGS")).maxLength(), 16);
    QCOMPARE(run.window->objectName(), QStringLiteral("frmSetup"));
    QCOMPARE(run.window->windowTitle(), QStringLiteral("KORAL ,DAY ,Video OK"));
    auto& tabs = run.Find<QTabWidget>(QStringLiteral("SSTab1"));
    QStringList captions;
    for (int i = 0; i < tabs.count(); ++i)
      captions << tabs.tabText(i);
    QCOMPARE(captions, (QStringList{"Motion", "Zone", "Alarms", "Timers", "Screen", "Titler", "Date-Time",
                                    "Serial Port", "Video Loss"}));
  }

  void menus_haveTheirCaptionsAndShortcutsAndFollowTheUnitModel() {
    Run run{UnitModel::QtMx};
    QCOMPARE(run.Find<QAction>(QStringLiteral("mnuDtN")).text(), QStringLiteral("Day &t&o Night"));
    QCOMPARE(run.Find<QAction>(QStringLiteral("mnuAlarm")).text(), QStringLiteral("Alarm &Window "));
    QCOMPARE(run.Find<QAction>(QStringLiteral("mnuOpen")).shortcut(), QKeySequence(QKeySequence::Open));
    for (const char* name : {"mnuWin", "mnuupload", "mnuAlarm"})
      QVERIFY2(!run.Find<QAction>(QString::fromUtf8(name)).isEnabled(), name);
    QVERIFY(run.Find<QAction>(QStringLiteral("mnuDownload")).isEnabled());
    QVERIFY(!run.Find<QComboBox>(QStringLiteral("cmbBaudRate")).isEnabled());
  }

  void listPick_reachesTheModelOnce_andARefreshComesBackWithoutEcho() {
    Run run;
    auto& speed = run.Find<QComboBox>(QStringLiteral("cmbBaudRate"));
    Pick(speed, 3);
    QCOMPARE(run.session.banks.ReadRegister(reg::kUnitBaudRate), 3);
    QCOMPARE(run.link.followedSpeeds, std::vector<int>{3});

    // A bank brought in from outside: the refresh shows it, and the widget
    // does not hand it back as the user's choice (which would move the link).
    run.session.banks.WriteRegister(reg::kUnitBaudRate, 1);
    run.model.RefreshWindow();
    QCOMPARE(speed.currentIndex(), 1);
    QCOMPARE(run.link.followedSpeeds, std::vector<int>{3});
  }

  void upDownStep_reachesTheModel_andItsLabelShowsTheResult_data() {
    QTest::addColumn<QString>("upDown");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");
    QTest::newRow("number") << "udAddr" << int(Qt::Key_Up) << 1 << "lblAddress"
                            << "01";
    QTest::newRow("number stops at its end") << "udAddr" << int(Qt::Key_Down) << 1 << "lblAddress"
                                             << "00";
    QTest::newRow("alarm output 0 reads MAN") << "udAlarmOut" << int(Qt::Key_Down) << 2 << "lblAlarmOut"
                                              << "MAN";
    QTest::newRow("time") << "udTmr1StartHour" << int(Qt::Key_PageUp) << 1 << "lblTmr1StartHour"
                          << "18";
    QTest::newRow("motion row") << "udTrack0" << int(Qt::Key_Up) << 1 << "Track0"
                                << "0.5s";
  }
  void upDownStep_reachesTheModel_andItsLabelShowsTheResult() {
    QFETCH(QString, upDown);
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, label);
    Run run;
    for (int i = 0; i < presses; ++i)
      QTest::keyClick(&run.Find<UpDownControl>(upDown), static_cast<Qt::Key>(key));
    QTEST(run.Find<QLabel>(label).text(), "shown");
  }

  void motionMode_showsTheRowsAndPaintButtonsOfItsZones_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("selected");
    QTest::newRow("Motion 3 Areas") << 3 << 3 << 3 << 0;
    QTest::newRow("PTZ") << 15 << 8 << 4 << 0;
    QTest::newRow("OFF") << 0 << 0 << 0 << 8;
  }
  void motionMode_showsTheRowsAndPaintButtonsOfItsZones() {
    QFETCH(int, mode);
    QFETCH(int, rows);
    QFETCH(int, buttons);
    QFETCH(int, selected);
    Run run;
    Pick(run.Find<QComboBox>(QStringLiteral("CmbMotion")), mode);
    QCOMPARE(run.session.banks.ReadRegister(reg::kMotionMode), mode);
    for (int zone = 0; zone < 8; ++zone) {
      const QString n = QString::number(zone);
      QCOMPARE(run.Find(QStringLiteral("udTrigLevel") + n).isHidden(), zone >= rows);
      QCOMPARE(run.Find(QStringLiteral("udTrack") + n).isEnabled(), zone < rows);
      QVERIFY(!run.Find(QStringLiteral("lblMotion") + n).isHidden());
      QCOMPARE(run.Find<QPushButton>(QStringLiteral("btnZone") + n).isEnabled(), zone < buttons);
      QCOMPARE(run.Find<QPushButton>(QStringLiteral("btnZone") + n).isChecked(), zone == selected);
    }
    QVERIFY(run.Find<QPushButton>(QStringLiteral("btnZone8")).isEnabled());
    QCOMPARE(run.Find<QPushButton>(QStringLiteral("btnZone8")).isChecked(), selected == 8);
    // The PTZ set comes in with the mode: zone E's default trigger level is 50.
    if (mode == 15) QCOMPARE(run.Find<QLabel>(QStringLiteral("TrigLevel4")).text(), QStringLiteral("50"));
  }

  void clockTick_leavesAnOpenListAndATypedTitleAlone() {
    Run run;
    auto& title = run.Find<QLineEdit>(QStringLiteral("txtVCGS"));
    title.setFocus();
    title.selectAll();
    QTest::keyClicks(&title, QStringLiteral("open"));
    QCOMPARE(run.model.TitleText(), std::string("open"));
    title.setCursorPosition(2);
    auto& relay = run.Find<QComboBox>(QStringLiteral("cmbRelay"));
    relay.showPopup();
    QVERIFY(QTest::qWaitForWindowExposed(relay.view()->window()));
    run.model.UpdateClockRegisters();
    QCOMPARE(run.Find<QLabel>(QStringLiteral("lblSec")).text(), QStringLiteral("07"));
    QCOMPARE(run.Find<QLabel>(QStringLiteral("lblMonth")).text(), QStringLiteral("DEC"));
    QVERIFY(relay.view()->isVisible());
    QCOMPARE(title.text(), QStringLiteral("open"));
    QCOMPARE(title.cursorPosition(), 2);
    relay.hidePopup();
  }

  void transferProgressAndLinkState_showWhatTheModelHolds() {
    Run run;
    auto& bar = run.Find<QProgressBar>(QStringLiteral("Pbr"));
    auto& notice = run.Find<QLabel>(QStringLiteral("lblDisplay"));
    QVERIFY(bar.isHidden() && notice.isHidden());
    run.model.ShowPleaseWait();
    run.model.ProgressStart();
    run.model.SetProgress(45);
    QVERIFY(!bar.isHidden() && !notice.isHidden());
    QCOMPARE(bar.value(), 45);
    QCOMPARE(notice.text(), QStringLiteral("Please wait"));
    run.model.ProgressEnd();
    QVERIFY(bar.isHidden() && notice.isHidden());
    run.model.ShowLinkState(false);
    run.model.ShowMissedPolls(15);
    QCOMPARE(run.window->windowTitle(), QStringLiteral("DAY ,Communication Fail ,Video OK"));
    QCOMPARE(run.Find<QLabel>(QStringLiteral("Label54")).text(), QStringLiteral("15"));
  }

  void closing_followsTheSaveQuestion_data() {
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("nothing modified: no question") << false << int(CloseAnswer::Cancel) << true;
    QTest::newRow("modified, Cancel keeps the window") << true << int(CloseAnswer::Cancel) << false;
    QTest::newRow("modified, No ends") << true << int(CloseAnswer::No) << true;
  }
  void closing_followsTheSaveQuestion() {
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    Run run;
    if (modified) Pick(run.Find<QComboBox>(QStringLiteral("cmbRelay")), 2);
    run.actions.closeAnswer = static_cast<CloseAnswer>(answer);
    run.Find<QAction>(QStringLiteral("mnuExit")).trigger();
    QCOMPARE(run.actions.questions.size(), modified ? 1 : 0);
    if (modified) QCOMPARE(run.actions.questions[0], QStringLiteral("Warning|Do you want to save the changes"));
    QCOMPARE(run.window->isVisible(), !closed);
    QCOMPARE(run.actions.programEnds, closed ? 1 : 0);
  }

  // Why a file is refused is the model's; the window passes its filter to the
  // dialog and shows the model's message.
  void fileOpen_showsWhyAFileWasRefused() {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath(QStringLiteral("bad.txt")).toStdString();
    std::ofstream(file) << " 208 \r\n 300 \r\n";
    Run run;
    run.actions.chosenFile = file;
    run.Find<QAction>(QStringLiteral("mnuOpen")).trigger();
    QCOMPARE(run.actions.filters, QStringList{"Text Files(*.txt);;All Files(*.*)"});
    QCOMPARE(run.actions.messages.size(), 1);
    QVERIFY2(run.actions.messages[0].startsWith(QStringLiteral("Open|") + QString::fromStdString(file.string())),
             qPrintable(run.actions.messages[0]));
  }
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::SettingsWindowTest)
#include "settings_window_test.moc"
