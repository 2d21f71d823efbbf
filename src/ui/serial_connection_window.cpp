#include "ui/serial_connection_window.h"

#include <QComboBox>
#include <QLabel>
#include <QVBoxLayout>
#include <utility>

#include "ui/connection_window_parts.h"

namespace koral::ui {

SerialConnectionWindow::SerialConnectionWindow(SerialConnectionModel& model, StepHandler onStep, QWidget* parent)
    : ConnectionWindow(std::move(onStep), parent), model_(model) {
  model_.Load();
  setObjectName(QStringLiteral("Setting"));
  setWindowTitle(ToQString(SerialConnectionModel::kCaption));
  setAccessibleName(QStringLiteral("Serial connection"));

  options_ = new UnitOptionFrames(model_.Options(), this);
  auto* prompt = new QLabel(ToQString(SerialConnectionModel::kPrompt), this);
  prompt->setObjectName(QStringLiteral("Label31"));
  prompt->setAccessibleName(prompt->text());
  select_ = MakeList(model_.Entries(), QStringLiteral("cmbSelect"), QStringLiteral("COM port and speed"), this);
  prompt->setBuddy(select_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options_);
  layout->addWidget(prompt);
  layout->addWidget(select_);
  setTabOrder(options_->LastInTabOrder(), select_);

  connect(select_, &QComboBox::activated, this, &SerialConnectionWindow::Choose);
  ShowModel();
}

void SerialConnectionWindow::Activate() {
  model_.Activate();
  ShowModel();
}

void SerialConnectionWindow::ShowModel() {
  options_->ShowOptions();
  ShowList(*select_, model_.Entries());
}

void SerialConnectionWindow::Choose(int position) {
  const WindowStep step = model_.Choose(position);
  ShowModel();
  FollowStep(step);
}

}  // namespace koral::ui
