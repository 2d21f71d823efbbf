#include "monitor/serial_monitor_model.h"

namespace koral {

SerialMonitorModel::SerialMonitorModel(Mailboxes& mailboxes, const TransferState& transfer, bool& videoLost)
    : mailboxes_(mailboxes), transfer_(transfer), videoLost_(videoLost) {}

void SerialMonitorModel::SelectType(int type) {
  if (type >= 0 && type < kOutputTypeCount) selectedType_ = type;
}

void SerialMonitorModel::Show() {
  loaded_ = true;
  visible_ = true;
}

void SerialMonitorModel::SetPolling(bool on) {
  loaded_ = true;
  polling_ = on;
}

void SerialMonitorModel::Poll() {
  if (!polling_ || mailboxes_.monitor.empty()) return;
  DecodeOutputFrame(mailboxes_.monitor, selectedType_, transfer_.uploadActive, decoded_);
  display_.PrependBlock(decoded_.lines);
  if (decoded_.videoLost) videoLost_ = *decoded_.videoLost;
  mailboxes_.monitor.clear();
}

}  // namespace koral
