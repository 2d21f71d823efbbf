// The reusable widgets and small dialogs, bound to their view-models: what a
// user's mouse and keys do reaches the model, and what the model holds shows.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>
#include <cmath>

#include "app/session.h"
#include "app/settings_window_model.h"
#include "ui/day_night_switcher_dialog.h"
#include "ui/message_boxes.h"
#include "ui/up_down_control.h"
#include "ui/zone_grid_widget.h"
#include "ui_test_support.h"

namespace {

using koral::testing_support::ModalWatcher;

constexpr int kMotion8Areas = 8;
constexpr int kPaintB = 1;

QPointF CentreOf(int column, int row) {
  return {(column + 0.5) * zone_grid::kPitch + 0.5, (row + 0.5) * zone_grid::kPitch + 0.5};
}

void SendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButtons held) {
  QMouseEvent event(type, position, widget->mapToGlobal(position), Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    window_ = std::make_unique<koral::SettingsWindowModel>(session_, link_, clock_);
    window_->Load();
    window_->Activate(false);
    window_->SelectMotionMode(kMotion8Areas);
    window_->SelectPaintZone(kPaintB);  // the fresh map is all A
  }

  void zoneGrid_pressPaintsTheCellUnderThePointer() {
    ZoneGridWidget grid(*window_);
    QCOMPARE(grid.objectName(), QStringLiteral("ZoneGrid"));
    QCOMPARE(grid.sizeHint(), QSize(385, 193));
    SendMouse(&grid, QEvent::MouseButtonPress, CentreOf(5, 2), Qt::LeftButton);
    SendMouse(&grid, QEvent::MouseButtonRelease, CentreOf(5, 2), Qt::NoButton);
    // After the release a drag paints nothing.
    SendMouse(&grid, QEvent::MouseMove, CentreOf(9, 9), Qt::LeftButton);
    QCOMPARE(PaintedCells(), std::vector<int>{2 * 24 + 5});
  }

  void zoneGrid_fastDragPaintsEveryCrossedCell_data() {
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::newRow("row 0, cell 0 to 23") << CentreOf(0, 0) << CentreOf(23, 0);
    QTest::newRow("diagonal to the far corner") << QPointF(3, 5) << QPointF(383, 190);
    QTest::newRow("diagonal up and to the left") << QPointF(380, 150) << QPointF(2, 30);
  }
  void zoneGrid_fastDragPaintsEveryCrossedCell() {
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    ZoneGridWidget grid(*window_);
    SendMouse(&grid, QEvent::MouseButtonPress, from, Qt::LeftButton);
    SendMouse(&grid, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(&grid, QEvent::MouseButtonRelease, to, Qt::NoButton);

    // A straight sweep crosses one cell per column or row border it passes,
    // from the first cell to the last, and none farther from the path than
    // half a cell diagonal.
    const std::vector<int> painted = PaintedCells();
    const QLineF line(from / zone_grid::kPitch, to / zone_grid::kPitch);
    QVERIFY(std::find(painted.begin(), painted.end(), *zone_grid::CellAt(from)) != painted.end());
    for (const int cell : painted) {
      const QPointF centre(cell % 24 + 0.5, cell / 24 + 0.5);
      const QPointF along = line.p1() + (line.p2() - line.p1()) * ProjectionOf(line, centre);
      QVERIFY2(QLineF(centre, along).length() <= std::sqrt(0.5) + 1e-9, qPrintable(QString::number(cell)));
    }
    const int first = *zone_grid::CellAt(from);
    const int last = *zone_grid::CellAt(to);
    QVERIFY(std::find(painted.begin(), painted.end(), last) != painted.end());
    const int crossings = std::abs(last % 24 - first % 24) + std::abs(last / 24 - first / 24);
    QCOMPARE(static_cast<int>(painted.size()), crossings + 1);
  }

  void upDown_forwardsEveryStepAndShowsOnlyTheModelsLabel_data() {
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("up arrow") << int(UpArrow) << true << QList<int>{1};
    QTest::newRow("down arrow") << int(DownArrow) << true << QList<int>{-1};
    QTest::newRow("keys") << int(Keys) << true << QList<int>{1, -1, 10, -10};
    QTest::newRow("wheel") << int(Wheel) << true << QList<int>{1, -1, -1};
    QTest::newRow("disabled keys") << int(Keys) << false << QList<int>{};
  }
  void upDown_forwardsEveryStepAndShowsOnlyTheModelsLabel() {
    QFETCH(int, action);
    QFETCH(bool, enabled);
    QFETCH(QList<int>, steps);
    QWidget parent;
    auto* control = new UpDownControl(&parent);
    control->ShowState({.value = 5, .minimum = 0, .maximum = 99, .enabled = enabled}, {"MAN"});
    parent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&parent));
    QSignalSpy spy(control, &UpDownControl::stepRequested);
    const QList<QToolButton*> arrows = control->findChildren<QToolButton*>();
    QCOMPARE(arrows.size(), 2);
    switch (action) {
      case UpArrow:
      case DownArrow: {
        QToolButton* arrow =
            arrows[0]->arrowType() == (action == UpArrow ? Qt::UpArrow : Qt::DownArrow) ? arrows[0] : arrows[1];
        QTest::mouseClick(arrow, Qt::LeftButton);
        QVERIFY(control->hasFocus());
        break;
      }
      case Keys:
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown})
          QTest::keyClick(control, key);
        break;
      case Wheel:
        for (const int delta : {120, -60, -60, -60, -60}) {  // a notch up, then two half notches down twice
          QWheelEvent wheel(QPointF(5, 5), control->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
          QApplication::sendEvent(control, &wheel);
        }
        break;
    }
    QList<int> emitted;
    for (const QList<QVariant>& signal : spy)
      emitted.append(signal.at(0).toInt());
    QCOMPARE(emitted, steps);
    QCOMPARE(control->findChild<QLabel*>()->text(), QStringLiteral("MAN"));
  }

  void retryBox_hasCancelTryAgainContinueInOrder_data() {
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("answer");
    QTest::newRow("Cancel") << "Cancel" << int(MessageAnswer::Cancel);
    QTest::newRow("Try Again") << "&Try Again" << int(MessageAnswer::TryAgain);
    QTest::newRow("Continue") << "&Continue" << int(MessageAnswer::Continue);
    QTest::newRow("Escape") << "" << int(MessageAnswer::Cancel);
  }
  void retryBox_hasCancelTryAgainContinueInOrder() {
    QFETCH(QString, click);
    QFETCH(int, answer);
    QStringList shown;
    QString title;
    QString text;
    const ModalWatcher watcher([&](QWidget& modal) {
      auto* box = qobject_cast<QMessageBox*>(&modal);
      title = box->windowTitle();
      text = box->text();
      QList<QAbstractButton*> buttons = box->buttons();
      std::sort(buttons.begin(), buttons.end(), [](QAbstractButton* a, QAbstractButton* b) {
        return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x();
      });
      for (QAbstractButton* button : buttons)
        shown.append(button->text());
      if (click.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Escape);
        return;
      }
      for (QAbstractButton* button : buttons)
        if (button->text() == click) button->click();
    });
    const MessageAnswer got = AskCancelTryAgainContinue(nullptr, "Communication Fail", "Do you want to retry ?");
    QCOMPARE(shown, (QStringList{"Cancel", "&Try Again", "&Continue"}));
    QCOMPARE(title, QStringLiteral("Communication Fail"));
    QCOMPARE(text, QStringLiteral("Do you want to retry ?"));
    QCOMPARE(int(got), answer);
  }

  void switcher_returnsTheChosenBankOrNothing_data() {
    QTest::addColumn<int>("active");
    QTest::addColumn<QString>("option");  // empty: leave the selection as opened
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");  // -1: nothing
    const int day = int(koral::BankId::Day);
    const int night = int(koral::BankId::Night);
    QTest::newRow("DAY to NIGHT, OK") << day << "optMode1"
                                      << "cmdOK" << night;
    QTest::newRow("NIGHT kept, OK") << night << ""
                                    << "cmdOK" << night;
    QTest::newRow("NIGHT to DAY, OK") << night << "optMode0"
                                      << "cmdOK" << day;
    QTest::newRow("DAY to NIGHT, Cancel") << day << "optMode1"
                                          << "cmdCancel" << -1;
  }
  void switcher_returnsTheChosenBankOrNothing() {
    QFETCH(int, active);
    QFETCH(QString, option);
    QFETCH(QString, button);
    QFETCH(int, result);
    QString caption;
    bool openedOnActive = false;
    const ModalWatcher watcher([&](QWidget& dialog) {
      caption = dialog.windowTitle();
      openedOnActive = dialog.findChild<QRadioButton*>(active == 0 ? "optMode0" : "optMode1")->isChecked();
      if (!option.isEmpty()) {
        // On the button's mark: a stretched option button takes clicks on its mark and text only.
        auto* optionButton = dialog.findChild<QRadioButton*>(option);
        QTest::mouseClick(optionButton, Qt::LeftButton, {}, QPoint(6, optionButton->height() / 2));
      }
      QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
    });
    const std::optional<koral::BankId> chosen = RunDayNightSwitcher(nullptr, static_cast<koral::BankId>(active));
    QCOMPARE(caption, QStringLiteral("DAY / NIGHT Switcher"));
    QVERIFY(openedOnActive);
    QCOMPARE(chosen ? int(*chosen) : -1, result);
  }

 private:
  enum Action { UpArrow, DownArrow, Keys, Wheel };

  std::vector<int> PaintedCells() const {
    std::vector<int> painted;
    for (int cell = 0; cell < koral::kZoneCellCount; ++cell)
      if (window_->ZoneCaption(cell) == 'B') painted.push_back(cell);
    return painted;
  }
  // Where along the line (0 at p1, 1 at p2) the point nearest `point` lies.
  static double ProjectionOf(const QLineF& line, QPointF point) {
    const QPointF d = line.p2() - line.p1();
    return QPointF::dotProduct(point - line.p1(), d) / QPointF::dotProduct(d, d);
  }

  koral::Session session_;
  koral::testing_support::RecordingLink link_;
  koral::testing_support::FixedClock clock_;
  std::unique_ptr<koral::SettingsWindowModel> window_;
};

QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
