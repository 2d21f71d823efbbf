#include "ui/connection_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "ui/connection_window_parts.h"

namespace koral::ui {
namespace {

bool AsksQuestion(const WindowStep& step) {
  return step.next == NextWindow::AskPortError || step.next == NextWindow::AskExit || step.next == NextWindow::AskSave;
}

QPushButton* MakeButton(std::string_view caption, const QString& objectName, QWidget* parent) {
  auto* button = new QPushButton(ToQString(caption), parent);
  button->setObjectName(objectName);
  button->setAccessibleName(button->text());
  return button;
}

}  // namespace

ConnectionDialog::ConnectionDialog(ConnectionCheckModel& model, StepHandler onStep, QWidget* parent)
    : QDialog(parent), model_(model), onStep_(std::move(onStep)) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(ToQString(ConnectionCheckModel::kDialogCaption));
  setAccessibleName(windowTitle());
  setModal(false);

  auto* question = new QLabel(ToQString(ConnectionCheckModel::kDialogQuestion), this);
  question->setObjectName(QStringLiteral("Label1"));
  question->setAccessibleName(question->text());
  QPushButton* retry = MakeButton(ConnectionCheckModel::kRetry, QStringLiteral("Command1"), this);
  QPushButton* offline = MakeButton(ConnectionCheckModel::kWorkOffline, QStringLiteral("Command2"), this);
  QPushButton* cancel = MakeButton(ConnectionCheckModel::kCancel, QStringLiteral("Command3"), this);
  retry->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(retry);
  buttons->addWidget(offline);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(question);
  layout->addLayout(buttons);

  connect(retry, &QPushButton::clicked, this, [this] { HandOn(ConnectionCheckModel::Retry()); });
  connect(offline, &QPushButton::clicked, this, [this] { HandOn(model_.WorkOffline()); });
  connect(cancel, &QPushButton::clicked, this, [this] { HandOn(model_.Cancel()); });
}

void ConnectionDialog::HandOn(const WindowStep& step) {
  if (!AsksQuestion(step)) hide();
  if (onStep_) onStep_(step);
}

}  // namespace koral::ui
