#include "ui/ip_port_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QShortcut>
#include <QVBoxLayout>
#include <utility>

#include "ui/connection_window_parts.h"
#include "ui/message_boxes.h"

namespace koral::ui {
namespace {

ListState PortList(const IpPortModel& model) {
  return {IpPortModel::Entries(), model.Selection()};
}

}  // namespace

IpPortWindow::IpPortWindow(IpPortModel& model, std::function<void()> showAddressWindow,
                           std::function<void()> endProgram, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      showAddressWindow_(std::move(showAddressWindow)),
      endProgram_(std::move(endProgram)) {
  setObjectName(QStringLiteral("setIP"));
  setWindowTitle(ToQString(IpPortModel::kCaption));
  setAccessibleName(QStringLiteral("IP address tool: serial port"));

  auto* prompt = new QLabel(ToQString(IpPortModel::kPrompt), this);
  prompt->setObjectName(QStringLiteral("Label31"));
  prompt->setAccessibleName(prompt->text());
  ports_ = MakeList(PortList(model_), QStringLiteral("cmbSelectcom"), QStringLiteral("COM port"), this);
  prompt->setBuddy(ports_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(ports_);

  connect(ports_, &QComboBox::activated, this, &IpPortWindow::Choose);
  auto* closeShortcut = new QShortcut(QKeySequence::Close, this);
  connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
}

void IpPortWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (endProgram_) endProgram_();
}

void IpPortWindow::Choose(int position) {
  const std::optional<PortOpenFailure> failure = model_.Choose(position);
  ShowModel();
  if (failure) ::ShowMessage(this, failure->title, failure->text);
  if (!model_.Visible()) hide();
  if (showAddressWindow_) showAddressWindow_();
}

void IpPortWindow::ShowModel() {
  ShowList(*ports_, PortList(model_));
}

}  // namespace koral::ui
