#include "link/serial_receiver.h"

namespace koral {

SerialReceiver::SerialReceiver(Transport& transport, Clock& clock, Mailboxes& mailboxes, TransferState& state,
                               UploadCollector& collector)
    : transport_(transport), clock_(clock), mailboxes_(mailboxes), state_(state), collector_(collector) {}

void SerialReceiver::ListenToAllPorts() {
  SerialPorts* ports = transport_.Ports();
  if (ports == nullptr) return;
  for (int n = 1; n <= SerialPorts::kCount; ++n)
    ports->Port(n).SetReceiveHandler([this] { OnReceiveNotification(); });
}

void SerialReceiver::OnReceiveNotification() {
  clock_.Sleep(kReceiveSettleMs);
  SerialPorts* ports = transport_.Ports();
  if (ports == nullptr) return;
  const ByteString chunk = ports->Port(transport_.ReceivePort()).Read(kSerialReadLimit);
  if (chunk.empty() || !Assemble(chunk)) return;

  ByteString& rx = mailboxes_.rx;
  if (rx.empty()) return;
  if (IsStatusFrame(rx)) {
    mailboxes_.PostStatus(rx);
    rx.clear();
    return;
  }
  mailboxes_.PostOther(rx);
  rx.clear();
  if (IsFramed(mailboxes_.block)) collector_.CollectUploadFrame(mailboxes_.block);
  mailboxes_.block.clear();
}

bool SerialReceiver::Assemble(const ByteString& chunk) {
  ByteString& rx = mailboxes_.rx;
  // Outside an upload the unit sends one frame per read.
  if (!state_.uploadActive) {
    rx = chunk;
    return true;
  }
  const bool starts = chunk.front() == kFrameStart;
  const bool ends = chunk.back() == kFrameEnd;
  if (starts) {
    rx = chunk;
    return ends;
  }
  const bool assembling = !rx.empty() && rx.front() == kFrameStart;
  if (!ends && !assembling) return false;  // a middle part with no beginning: nothing to join it to
  rx.insert(rx.end(), chunk.begin(), chunk.end());
  if (rx.size() > kMaxAssembledFrame) {
    rx.clear();
    return false;
  }
  return ends;
}

}  // namespace koral
