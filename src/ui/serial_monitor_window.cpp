#include "ui/serial_monitor_window.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "monitor/output_decoder.h"
#include "ui/connection_window_parts.h"

namespace koral::ui {

SerialMonitorWindow::SerialMonitorWindow(SerialMonitorModel& model, QWidget* parent)
    : MonitorWindow(model.Display(), QStringLiteral("frmSerialWin"), TextsOf<SerialMonitorModel>(), parent),
      model_(model) {
  output_ = new QComboBox(this);
  output_->setObjectName(QStringLiteral("cmbSerialOutput"));
  output_->setAccessibleName(QStringLiteral("Output data"));
  for (int type = 0; type < kOutputTypeCount; ++type)
    output_->addItem(ToQString(OutputTypeName(type)));
  AddBeforeButtons(output_);
  ShowSelectedType();
  connect(output_, &QComboBox::activated, this, [this](int position) {
    model_.SelectType(position);
    ShowSelectedType();
  });
}

void SerialMonitorWindow::ShowFromMenu() {
  model_.Show();
  ShowSelectedType();
  ShowAndRaise();
}

void SerialMonitorWindow::ShowSelectedType() {
  const QSignalBlocker quiet(output_);
  output_->setCurrentIndex(model_.SelectedType());
}

}  // namespace koral::ui
