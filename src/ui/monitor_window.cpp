#include "ui/monitor_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <filesystem>

#include "monitor/monitor_display.h"
#include "net/udp_monitor_model.h"
#include "ui/connection_window_parts.h"
#include "ui/message_boxes.h"
#include "ui/monitor_printing.h"
#include "ui/monitor_text_view.h"

namespace koral::ui {
namespace {

// The design's "Text Files(*.txt)|*.txt|All Files(*.*)|*.*" in Qt's form,
// the first one chosen.
const QString kTextFiles = QStringLiteral("Text Files (*.txt)");
const QString kAllFiles = QStringLiteral("All Files (*)");
constexpr std::string_view kMessageTitle = "KORAL";
constexpr std::string_view kPrintFailed = "The monitor text could not be printed: the printer did not start.";

QPushButton* MakeButton(std::string_view text, const QString& objectName, QWidget* parent) {
  auto* button = new QPushButton(ToQString(text), parent);
  button->setObjectName(objectName);
  button->setAccessibleName(ToQString(text).remove(QLatin1Char('&')));
  button->setAutoDefault(false);
  return button;
}

template <typename Action>
void AddShortcut(QWidget* window, const QKeySequence& keys, Action action) {
  auto* shortcut = new QShortcut(keys, window);
  QObject::connect(shortcut, &QShortcut::activated, window, action);
}

}  // namespace

MonitorWindow::MonitorWindow(const MonitorDisplay& display, const QString& objectName, MonitorWindowTexts texts,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), display_(display) {
  setObjectName(objectName);
  setWindowTitle(ToQString(texts.caption));
  setAccessibleName(ToQString(texts.caption));

  view_ = new MonitorTextView(display_, this);
  view_->setObjectName(QStringLiteral("txtDisplay"));
  view_->setAccessibleName(QStringLiteral("Display"));
  clear_ = MakeButton(texts.clear, QStringLiteral("Command1"), this);
  auto* save = MakeButton(texts.save, QStringLiteral("cmdSave"), this);
  auto* print = MakeButton(texts.print, QStringLiteral("cmdPrn"), this);

  buttonRow_ = new QHBoxLayout;
  buttonRow_->addStretch();
  buttonRow_->addWidget(clear_);
  buttonRow_->addWidget(save);
  buttonRow_->addWidget(print);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addLayout(buttonRow_);
  setFocusProxy(view_);

  connect(clear_, &QPushButton::clicked, this, &MonitorWindow::Clear);
  connect(save, &QPushButton::clicked, this, &MonitorWindow::Save);
  connect(print, &QPushButton::clicked, this, &MonitorWindow::Print);
  AddShortcut(this, QKeySequence::Save, [this] { Save(); });
  AddShortcut(this, QKeySequence::Print, [this] { Print(); });
  AddShortcut(this, QKeySequence(Qt::CTRL | Qt::Key_L), [this] { Clear(); });
  AddShortcut(this, QKeySequence::Close, [this] { close(); });
  AddShortcut(this, QKeySequence(Qt::Key_Escape), [this] { close(); });

  refresh_.setInterval(kRefreshMs);
  connect(&refresh_, &QTimer::timeout, view_, &MonitorTextView::Refresh);
}

void MonitorWindow::AddBeforeButtons(QWidget* control) {
  buttonRow_->insertWidget(0, control);
  setTabOrder(control, view_);
  setTabOrder(view_, clear_);
}

void MonitorWindow::ShowAndRaise() {
  view_->Refresh();
  show();
  raise();
  activateWindow();
}

void MonitorWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  view_->Refresh();
  refresh_.start();
}

void MonitorWindow::hideEvent(QHideEvent* event) {
  refresh_.stop();
  QWidget::hideEvent(event);
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
  CloseModel();
  event->accept();  // a top-level window that is not deleted on close is hidden
}

void MonitorWindow::Clear() {
  ClearModel();
  view_->Refresh();
}

void MonitorWindow::Save() {
  QString chosenFilter = kTextFiles;
  const QString name = QFileDialog::getSaveFileName(this, QString(), QString(),
                                                    kTextFiles + QStringLiteral(";;") + kAllFiles, &chosenFilter);
  if (name.isEmpty()) return;
  // The design is silent on a failed write; a save the user believes made
  // must not go missing unnoticed.
  if (const auto reason = SaveMonitorText(std::filesystem::path(name.toStdString()), display_.Text()))
    ::ShowMessage(this, kMessageTitle, *reason);
}

void MonitorWindow::Print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintMonitorText(printer, display_.Text(), printer.copyCount()))
    ::ShowMessage(this, kMessageTitle, kPrintFailed);
}

}  // namespace koral::ui
