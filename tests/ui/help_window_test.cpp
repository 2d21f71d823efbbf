// The manual window on the real manual, and on one that cannot be read.
#include "ui/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include "ui_test_support.h"

namespace koral::testing_support {

namespace {

QString RealManual() {
  return QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../../docs/manual/koral.hlp"));
}

QTreeWidgetItem* Heading(const QTreeWidget& tree, const QString& text) {
  const QList<QTreeWidgetItem*> found = tree.findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
  return found.isEmpty() ? nullptr : found.first();
}

// The block at the top left of the browser's viewport, below the margin that
// the document also has above its first line.
QTextBlock TopBlock(const QTextBrowser& text) {
  const int margin = qRound(text.document()->documentMargin());
  return text.cursorForPosition(QPoint(margin + 1, margin + 1)).block();
}

}  // namespace

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void realManual_headingsInOrder_clickScrollsHeadingToTop_findAndEscape() {
    ui::HelpWindow window;
    QVERIFY(window.Open(RealManual()));
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.objectName(), QStringLiteral("HelpWindow"));
    QCOMPARE(window.windowTitle(), QStringLiteral("KORAL Manual"));
    auto* tree = Find<QTreeWidget>(window, QStringLiteral("headings"));
    auto* text = Find<QTextBrowser>(window, QStringLiteral("manualText"));
    const QStringList firstChapters = {QStringLiteral("About KORAL"), QStringLiteral("Starting KORAL"),
                                       QStringLiteral("Connecting over a serial port"),
                                       QStringLiteral("Connecting over the network")};
    for (int i = 0; i < firstChapters.size(); ++i)
      QCOMPARE(tree->topLevelItem(i)->text(0), firstChapters[i]);
    // Sections sit under their chapter; comment lines in code blocks are no headings.
    QCOMPARE(tree->topLevelItem(2)->child(0)->text(0), QStringLiteral("Model and video standard"));
    QVERIFY(tree->findItems(QStringLiteral("#"), Qt::MatchStartsWith | Qt::MatchRecursive).isEmpty());
    QCOMPARE(text->verticalScrollBar()->value(), 0);
    QTreeWidgetItem* later = Heading(*tree, QStringLiteral("The alarm window"));
    QVERIFY(later != nullptr);
    tree->scrollToItem(later);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(later).center());
    QVERIFY(text->verticalScrollBar()->value() > 0);
    const QTextBlock top = TopBlock(*text);
    QCOMPARE(top.text(), later->text(0));
    QVERIFY(top.blockFormat().headingLevel() > 0);

    // Ctrl+F finds from the heading on; Escape hides the find bar, then closes.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
    auto* findText = Find<QLineEdit>(window, QStringLiteral("findText"));
    QVERIFY(findText->isVisible());
    QTest::keyClicks(findText, QStringLiteral("Clear Alarm"));
    QCOMPARE(text->textCursor().selectedText(), QStringLiteral("Clear Alarm"));
    QVERIFY(text->textCursor().position() > top.position());
    QTest::keyClick(findText, Qt::Key_Escape);
    QVERIFY(!findText->isVisible());
    QVERIFY(window.isVisible());
    QTest::keyClick(text, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
  }

  void unreadableManual_returnsFalseAndShowsNothing_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("no such file") << QStringLiteral("koral.hlp");
    QTest::newRow("a folder") << QStringLiteral("folder");
  }
  void unreadableManual_returnsFalseAndShowsNothing() {
    QFETCH(QString, name);
    QTemporaryDir scratch;
    QVERIFY(QDir(scratch.path()).mkdir(QStringLiteral("folder")));
    ui::HelpWindow window;
    QVERIFY(!window.Open(scratch.filePath(name)));
    QVERIFY(!window.isVisible());
  }
};

}  // namespace koral::testing_support

QTEST_MAIN(koral::testing_support::HelpWindowTest)
#include "help_window_test.moc"
