// The start-up and connection windows bound to their models: each user action
// reaches the model, and the model's answer is what the window hands on.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>
#include <optional>
#include <vector>

#include "../link/link_fakes.h"
#include "app/connection_check_model.h"
#include "app/network_connection_model.h"
#include "app/serial_connection_model.h"
#include "app/startup_selector_model.h"
#include "ui/connection_dialog.h"
#include "ui/network_connection_window.h"
#include "ui/serial_connection_window.h"
#include "ui/startup_window.h"
#include "ui_test_support.h"

namespace koral::testing_support {
namespace {

// One run's models over in-memory ports and socket, and the steps handed on.
struct Run {
  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  FakeHardwareAddresses macs;
  Session session;
  Transport serial{LinkMode::Serial, clock, &ports, nullptr, nullptr};
  Transport udp{LinkMode::Udp, clock, nullptr, &socket, &macs};
  RecordingLink link;
  FixedClock wallClock;
  SettingsWindowModel settings{session, link, wallClock};
  SerialConnectionModel setting{session, serial};
  NetworkConnectionModel setUdp{session, udp, clock};
  ConnectionCheckModel check{session, serial, settings};
  std::vector<WindowStep> steps;

  auto Record() {
    return [this](const WindowStep& step) { steps.push_back(step); };
  }
};

int NextOf(const WindowStep& step) {
  return static_cast<int>(step.next);
}

}  // namespace

class ConnectionWindowsTest : public QObject {
  Q_OBJECT

 private slots:
  // Position -1: the selector is closed before a choice, which ends the program.
  void selector_handsOnTheEntrysWindowAndLinkThenHides_data() {
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("window");
    QTest::addColumn<int>("linkMode");
    QTest::newRow("Koral-Serial") << 0 << int(StartupWindow::SerialConnection) << int(LinkMode::Serial);
    QTest::newRow("Koral-UDP") << 1 << int(StartupWindow::NetworkConnection) << int(LinkMode::Udp);
    QTest::newRow("IP Address Setting") << 2 << int(StartupWindow::IpAddressSetting) << int(LinkMode::Serial);
    QTest::newRow("closed") << -1 << 0 << int(LinkMode::Udp);
  }
  void selector_handsOnTheEntrysWindowAndLinkThenHides() {
    QFETCH(int, position);
    Session session;
    session.linkMode = LinkMode::Udp;  // so that a serial choice has to write it
    StartupSelectorModel model{session};
    std::optional<StartupChoice> chosen;
    bool ended = false;
    ui::StartupWindow window{model, [&](const StartupChoice& choice) { chosen = choice; }, [&] { ended = true; }};
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Software"));
    if (position >= 0) {
      Pick(*Find<QComboBox>(window, "cmbSelect"), position);
      QVERIFY(chosen);
      QTEST(int(chosen->window), "window");
      QVERIFY(window.isHidden());
    }
    QTEST(int(session.linkMode), "linkMode");
    window.close();
    QCOMPARE(ended, position < 0);
    QCOMPARE(chosen.has_value(), position >= 0);
  }

  void serialChoice_handsOnTheModelsStepAndShowsTheEntryUsed_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<int>("next");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message");
    QTest::newRow("QT-1RX checks the unit")
        << "optModule0" << false << int(NextWindow::RunConnectionCheck) << "Com3 19200,n,8,1" << QString();
    QTest::newRow("QT-MX runs at 4800") << "optModule1" << false << int(NextWindow::ShowSettingsWindow)
                                        << "Com3 4800,n,8,1" << QString();
    QTest::newRow("refused port") << "optModule0" << true << int(NextWindow::Stay) << "Com3 19200,n,8,1"
                                  << "Access is denied.";
  }
  void serialChoice_handsOnTheModelsStepAndShowsTheEntryUsed() {
    QFETCH(QString, model);
    QFETCH(bool, refused);
    QFETCH(QString, shown);
    Run run;
    run.ports.Fake(3).failOpen = refused;
    ui::SerialConnectionWindow window{run.setting, run.Record()};
    window.show();
    QCOMPARE(window.windowTitle(), QStringLiteral("Setting"));
    QTest::mouseClick(Find<QRadioButton>(window, model), Qt::LeftButton);
    auto& list = *Find<QComboBox>(window, "cmbSelect");
    QCOMPARE(list.count(), 36);
    Pick(list, list.findText(QStringLiteral("Com3 19200,n,8,1")));
    QCOMPARE(run.steps.size(), 1u);
    QTEST(NextOf(run.steps[0]), "next");
    QFETCH(QString, message);  // the reason leads the model's text
    QVERIFY(QString::fromStdString(run.steps[0].message ? run.steps[0].message->text : "").startsWith(message));
    QCOMPARE(run.steps[0].message.has_value(), !message.isEmpty());
    QCOMPARE(list.currentText(), shown);
    QCOMPARE(run.ports.Fake(3).open, !refused);
  }

  void connect_handsOnTheStepWithTheSpeedAndAddressTyped_data() {
    QTest::addColumn<bool>("qtMx");
    QTest::addColumn<bool>("byEnter");
    QTest::addColumn<int>("next");
    QTest::newRow("QT-1RX, Command1") << false << false << int(NextWindow::RunConnectionCheck);
    QTest::newRow("QT-MX, Enter in txt_IP") << true << true << int(NextWindow::ShowSettingsWindow);
  }
  void connect_handsOnTheStepWithTheSpeedAndAddressTyped() {
    QFETCH(bool, qtMx);
    QFETCH(bool, byEnter);
    Run run;
    ui::NetworkConnectionWindow window{run.setUdp, run.Record()};
    window.show();
    auto& address = *Find<QLineEdit>(window, "txt_IP");
    QCOMPARE(address.text(), QStringLiteral("192.168.0.100"));
    QCOMPARE(Find<QComboBox>(window, "cmbSelect")->currentText(), QStringLiteral(" 4800,n,8,1"));
    if (qtMx) QTest::mouseClick(Find<QRadioButton>(window, "optModule1"), Qt::LeftButton);
    Pick(*Find<QComboBox>(window, "cmbSelect"), 5);
    address.selectAll();
    QTest::keyClicks(&address, QStringLiteral("10.0.0.7"));
    if (byEnter) {
      QTest::keyClick(&address, Qt::Key_Return);
    } else {
      QTest::mouseClick(Find<QPushButton>(window, "Command1"), Qt::LeftButton);
    }
    QCOMPARE(run.steps.size(), 1u);
    QTEST(NextOf(run.steps[0]), "next");
    QCOMPARE(run.session.linkBaudIndex, 5);
    QCOMPARE(run.socket.remoteHost, std::string("10.0.0.7"));
  }

  void connectionDialog_eachButtonHandsOnItsStep_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("next");
    QTest::addColumn<bool>("offline");
    QTest::addColumn<bool>("stillShown");
    QTest::newRow("Retry") << "Command1" << false << int(NextWindow::Stay) << false << false;
    QTest::newRow("Work Offline") << "Command2" << false << int(NextWindow::ShowSettingsWindow) << true << false;
    QTest::newRow("Cancel") << "Command3" << false << int(NextWindow::EndProgram) << false << false;
    QTest::newRow("Cancel, unsaved") << "Command3" << true << int(NextWindow::AskSave) << false << true;
  }
  void connectionDialog_eachButtonHandsOnItsStep() {
    QFETCH(QString, button);
    QFETCH(bool, modified);
    Run run;
    run.session.banks.SetSettingsModified(modified);
    ui::ConnectionDialog dialog{run.check, run.Record()};
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Connection"));
    QCOMPARE(Find<QLabel>(dialog, "Label1")->text(), QStringLiteral("Do you want to retry or off line?"));
    QTest::mouseClick(Find<QPushButton>(dialog, button), Qt::LeftButton);
    QCOMPARE(run.steps.size(), 1u);
    QTEST(NextOf(run.steps[0]), "next");
    QTEST(run.session.offline, "offline");
    QTEST(dialog.isVisible(), "stillShown");
  }

  void optionButtons_followTheSessionOnActivation_data() {
    QTest::addColumn<bool>("network");
    QTest::newRow("Setting") << false;
    QTest::newRow("SetUDP") << true;
  }
  void optionButtons_followTheSessionOnActivation() {
    QFETCH(bool, network);
    Run run;
    std::unique_ptr<QWidget> window;
    if (network) {
      window = std::make_unique<ui::NetworkConnectionWindow>(run.setUdp, run.Record());
    } else {
      window = std::make_unique<ui::SerialConnectionWindow>(run.setting, run.Record());
    }
    // As another window leaves the session, while this one is in the background.
    run.session.unitModel = UnitModel::QtMx;
    run.session.videoStandard = VideoStandard::Pal;
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(Find<QRadioButton>(*window, "optModule1")->isChecked());
    QVERIFY(Find<QRadioButton>(*window, "optNTSC1")->isChecked());
    QTest::mouseClick(Find<QRadioButton>(*window, "optNTSC0"), Qt::LeftButton);
    QCOMPARE(run.session.videoStandard, VideoStandard::Ntsc);
    QVERIFY(run.steps.empty());
  }

  void closeBox_handsOnTheQuestionAndTheWindowStays() {
    Run run;
    run.ports.Fake(1).failOpen = true;
    ui::SerialConnectionWindow window{run.setting, run.Record()};
    window.show();
    QVERIFY(!window.close());
    Pick(*Find<QComboBox>(window, "cmbSelect"), 0);
    QVERIFY(!window.close());
    QCOMPARE(run.steps.size(), 3u);
    QCOMPARE(NextOf(run.steps[0]), int(NextWindow::AskExit));
    QCOMPARE(NextOf(run.steps[2]), int(NextWindow::AskPortError));
    QVERIFY(window.isVisible());
  }
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::ConnectionWindowsTest)
#include "connection_windows_test.moc"
