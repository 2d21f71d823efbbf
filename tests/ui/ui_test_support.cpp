#include "ui_test_support.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <utility>

namespace koral::testing_support {
namespace {

constexpr int kModalPollMs = 10;

}  // namespace

QWidget* TopLevel(const QString& name) {
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (widget->objectName() == name && widget->isVisible()) return widget;
  return nullptr;
}

void Pick(QComboBox& list, int position) {
  list.showPopup();
  QAbstractItemView& view = *list.view();
  QVERIFY(QTest::qWaitForWindowExposed(view.window()));
  const QRect entry = view.visualRect(view.model()->index(position, 0));
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, entry.center());
}

ModalWatcher::ModalWatcher(std::function<void(QWidget&)> act) : act_(std::move(act)) {
  connect(&poll_, &QTimer::timeout, this, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal == handled_) return;
    handled_ = modal;
    act_(*modal);
  });
  poll_.start(kModalPollMs);
}

QString AcceptMessageBox(QMessageBox& box) {
  const QString shown = box.windowTitle() + QLatin1Char('|') + box.text();
  if (QPushButton* button = box.defaultButton()) {
    button->click();
  } else {
    box.accept();
  }
  return shown;
}

bool UnitOnCom1::Start(const QStringList& arguments) {
  process_.emplace(arguments, FilePath(QStringLiteral("koral-emu.log")).toStdString());
  if (!process_->Start()) return false;
  qputenv("KORAL_COM1", QByteArray::fromStdString(process_->TerminalPath()));
  return true;
}

}  // namespace koral::testing_support
