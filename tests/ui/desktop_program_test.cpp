// The whole program against the emulated unit on a pseudo-terminal: the
// selector, the serial connection window, the connection check's message and
// the settings window, as a user goes through them.
#include "ui/desktop_program.h"

#include <QComboBox>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

QWidget* TopLevel(const char* name) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == QLatin1String(name) && widget->isVisible()) return widget;
  return nullptr;
}

// Accepts every message box as it opens and remembers its text.
class MessageAnswerer : public QObject {
 public:
  MessageAnswerer() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      texts.append(box->text());
      box->accept();
    });
    timer_.start(20);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

}  // namespace

class DesktopProgramTest : public QObject {
  Q_OBJECT

 private slots:
  void serialQt1Rx_endsInTheSettingsWindowAfterCommunicationCompleted() {
    QTemporaryDir folder;
    const QString line = folder.filePath(QStringLiteral("com1"));
    QProcess unit;
    unit.start(QStringLiteral(KORAL_EMU_PROGRAM), {QStringLiteral("-q"), QStringLiteral("--link"), line});
    QVERIFY(unit.waitForStarted());
    QTRY_VERIFY(QFile::exists(line));
    qputenv("KORAL_COM1", line.toLocal8Bit());

    koral::ui::DesktopProgram program;
    MessageAnswerer answerer;
    program.Start();
    QWidget* selector = TopLevel("firstpage");
    QVERIFY(selector != nullptr);
    emit selector->findChild<QComboBox*>(QStringLiteral("cmbSelect"))->activated(0);  // "Koral-Serial"

    QTRY_VERIFY(TopLevel("Setting") != nullptr);
    auto* ports = TopLevel("Setting")->findChild<QComboBox*>(QStringLiteral("cmbSelect"));
    QCOMPARE(ports->itemText(2), QStringLiteral("Com1 4800,n,8,1"));
    emit ports->activated(2);

    QTRY_VERIFY_WITH_TIMEOUT(TopLevel("frmSetup") != nullptr, 5000);
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("Communication  Completed")});
    QVERIFY(TopLevel("Setting") == nullptr);

    unit.kill();
    unit.waitForFinished();
  }
};

QTEST_MAIN(DesktopProgramTest)
#include "desktop_program_test.moc"
