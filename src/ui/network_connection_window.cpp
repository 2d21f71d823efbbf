#include "ui/network_connection_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <utility>

#include "ui/connection_window_parts.h"

namespace koral::ui {
namespace {

QLabel* MakeLabel(std::string_view text, const QString& objectName, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(ToQString(text), parent);
  label->setObjectName(objectName);
  label->setAccessibleName(label->text().trimmed());
  label->setBuddy(buddy);
  return label;
}

}  // namespace

NetworkConnectionWindow::NetworkConnectionWindow(NetworkConnectionModel& model, StepHandler onStep, QWidget* parent)
    : ConnectionWindow(std::move(onStep), parent), model_(model) {
  model_.Load();
  setObjectName(QStringLiteral("SetUDP"));
  setWindowTitle(ToQString(NetworkConnectionModel::kCaption));
  setAccessibleName(QStringLiteral("Network connection"));

  options_ = new UnitOptionFrames(model_.Options(), this);
  speeds_ = MakeList(model_.Speeds(), QStringLiteral("cmbSelect"), QStringLiteral("Baud rate"), this);
  address_ = new QLineEdit(this);
  address_->setObjectName(QStringLiteral("txt_IP"));
  address_->setAccessibleName(QStringLiteral("IP address"));
  connect_ = new QPushButton(ToQString(NetworkConnectionModel::kConnect), this);
  connect_->setObjectName(QStringLiteral("Command1"));
  connect_->setAccessibleName(connect_->text());

  auto* fields = new QFormLayout;
  fields->addRow(MakeLabel(NetworkConnectionModel::kPrompt, QStringLiteral("Label31"), speeds_, this), speeds_);
  fields->addRow(MakeLabel(NetworkConnectionModel::kAddressLabel, QStringLiteral("Label1"), address_, this), address_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(connect_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(options_);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  setTabOrder(options_->LastInTabOrder(), speeds_);
  setTabOrder(speeds_, address_);
  setTabOrder(address_, connect_);

  connect(speeds_, &QComboBox::activated, this, [this](int position) {
    model_.SelectSpeed(position);
    ShowModel();
  });
  connect(address_, &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.SetAddressText(text.toStdString()); });
  connect(connect_, &QPushButton::clicked, this, &NetworkConnectionWindow::Connect);
  ShowModel();
}

void NetworkConnectionWindow::Activate() {
  model_.Activate();
  ShowModel();
}

void NetworkConnectionWindow::ShowModel() {
  options_->ShowOptions();
  ShowList(*speeds_, model_.Speeds());
  const QString address = QString::fromStdString(model_.AddressText());
  if (address_->text() != address) {
    const QSignalBlocker blocker(address_);
    address_->setText(address);
  }
}

void NetworkConnectionWindow::Connect() {
  const WindowStep step = model_.Connect();
  ShowModel();
  FollowStep(step);
}

// Enter is "Connect" wherever the focus is: the list, the address and the
// buttons leave it unhandled, so it reaches the window.
void NetworkConnectionWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    Connect();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace koral::ui
