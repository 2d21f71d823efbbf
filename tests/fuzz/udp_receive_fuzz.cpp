// libFuzzer target: the network receive path with the upload collector and the
// UDP monitor behind it, as the link engine wires them, fed datagrams.
// Input: one byte whose low bit says whether an upload runs, then datagrams,
// each a byte whose low 6 bits are its length and whose top bits pick the
// sender (the armed bridge, our own socket, another host), then its bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fuzz_fakes.h"
#include "link/udp_receiver.h"
#include "net/udp_monitor_model.h"

namespace {

using namespace koral;

struct Rig {
  Rig() : transport(LinkMode::Udp, clock, nullptr, &socket, nullptr) {
    socket.localPort = kBridgePort;
    receiver.Listen();
  }

  // Each event shows as five lines, each with its line end.
  void CheckDisplay() {
    if (monitor.Display().LineCount() % 5 != 0) std::abort();
    lines.Check(monitor.Display());
  }
  fuzzing::NewLineChecker lines;

  fuzzing::FakeClock clock;
  fuzzing::FakeUdpSocket socket{clock};
  Transport transport;
  TransferState state;
  Mailboxes mailboxes;
  fuzzing::SilentHost host;
  UploadCollector collector{transport, state, mailboxes, host};
  bool videoLost = false;
  UdpMonitorModel monitor{mailboxes, videoLost, transport};
  UdpReceiver receiver{transport, clock, mailboxes, state, collector, [this] { monitor.OnEvent(); }};
};

Datagram From(std::uint8_t pick, std::span<const std::uint8_t> bytes) {
  Datagram datagram{ByteString(bytes.begin(), bytes.end()), kDefaultBridgeAddress, kBridgePort};
  switch (pick >> 6) {
    case 1:
      datagram.senderAddress = "192.168.0.10";  // our own, looped back
      break;
    case 2:
      datagram.senderAddress = "10.0.0.7";
      break;
    case 3:
      datagram.senderAddress = " 192.168.0.100 ";  // the bridge, written with blanks
      datagram.senderPort = 1;
      break;
    default:
      break;
  }
  return datagram;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Rig rig;
  rig.state.uploadActive = (data[0] & 1) != 0;
  std::span<const std::uint8_t> rest(data + 1, size - 1);
  while (!rest.empty()) {
    const std::size_t length = std::min<std::size_t>(rest[0] & 0x3F, rest.size() - 1);
    const std::size_t sentBefore = rig.socket.sent.size();
    const Datagram datagram = From(rest[0], rest.subspan(1, length));
    rig.socket.Deliver(datagram.bytes, datagram.senderAddress, datagram.senderPort);
    const Mailboxes& m = rig.mailboxes;
    if (!m.status.empty() && !IsStatusFrame(m.status)) std::abort();
    if (!m.block.empty()) std::abort();  // handed to the collector at once
    if (rig.state.uploadActive && IsFramed(m.monitor)) std::abort();
    if (!rig.state.uploadActive && rig.socket.sent.size() != sentBefore) std::abort();  // acknowledges only uploads
    if (rig.host.progress < 0 || rig.host.progress > 100) std::abort();
    rig.CheckDisplay();
    rest = rest.subspan(1 + length);
  }
  return 0;
}
