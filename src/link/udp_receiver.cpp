#include "link/udp_receiver.h"

#include <utility>

#include "link/ipv4_address.h"

namespace koral {
namespace {

// Addresses compared as numbers: the IP box may hold blanks around the address
// that the socket ignores when it sends.
bool SameAddress(std::string_view a, std::string_view b) {
  const auto first = ParseIpv4(a);
  return first && first == ParseIpv4(b);
}

}  // namespace

UdpReceiver::UdpReceiver(Transport& transport, Clock& clock, Mailboxes& mailboxes, TransferState& state,
                         UploadCollector& collector, std::function<void()> onEvent)
    : transport_(transport),
      clock_(clock),
      mailboxes_(mailboxes),
      state_(state),
      collector_(collector),
      onEvent_(std::move(onEvent)) {}

void UdpReceiver::Listen() {
  if (UdpSocket* socket = transport_.Socket()) socket->SetDatagramHandler([this](const Datagram& d) { OnDatagram(d); });
}

bool UdpReceiver::Believed(const Datagram& datagram) const {
  if (!SameAddress(datagram.senderAddress, transport_.ArmedBridgeAddress())) return false;
  const UdpSocket* socket = transport_.Socket();
  return socket == nullptr ||
         !(SameAddress(datagram.senderAddress, socket->LocalAddress()) && datagram.senderPort == socket->LocalPort());
}

void UdpReceiver::OnDatagram(const Datagram& datagram) {
  if (!Believed(datagram)) return;
  ByteString& rx = mailboxes_.rx;
  rx = datagram.bytes;
  if (!IsFramed(rx)) return;
  if (IsStatusFrame(rx)) {
    mailboxes_.PostStatus(rx);
    rx.clear();
    return;
  }
  mailboxes_.PostOther(rx);
  if (mailboxes_.monitor[1] == kEventFrameId && onEvent_) onEvent_();
  CollectBlock();
}

void UdpReceiver::CollectBlock() {
  ByteString& block = mailboxes_.block;
  if (!IsFramed(block)) return;  // the event hook may have taken it
  if (state_.uploadActive) {
    mailboxes_.monitor.clear();
    mailboxes_.alarm.clear();
  }
  collector_.CollectNetworkUploadFrame(block);
  if (block[1] != kLastUploadBlockId && state_.uploadActive) {
    clock_.Sleep(kUdpAckDelayMs);
    transport_.RearmUdpSocket();
    transport_.SendByte(kUploadAck);
  }
  block.clear();
}

}  // namespace koral
