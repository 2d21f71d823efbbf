// libFuzzer target: the serial receive path with the upload collector and the
// serial monitor behind it, as the link engine wires them, fed the unit's bytes
// in arbitrary reads. Input: one byte whose low bit says whether an upload runs
// and whose other bits pick the monitor's output type, then reads, each a
// length byte followed by up to that many bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fuzz_fakes.h"
#include "link/serial_receiver.h"
#include "monitor/output_decoder.h"
#include "monitor/serial_monitor_model.h"

namespace {

using namespace koral;

struct Rig {
  Rig() : transport(LinkMode::Serial, clock, &ports, nullptr, nullptr) {
    transport.OpenSerialPort(1, 4800);
    receiver.ListenToAllPorts();
  }
  fuzzing::FakeClock clock;
  fuzzing::FakeSerialPorts ports{clock};
  Transport transport;
  TransferState state;
  Mailboxes mailboxes;
  fuzzing::SilentHost host;
  UploadCollector collector{transport, state, mailboxes, host};
  SerialReceiver receiver{transport, clock, mailboxes, state, collector};
  bool videoLost = false;
  SerialMonitorModel monitor{mailboxes, state, videoLost};
  fuzzing::NewLineChecker lines;
};

// What must hold after every notification, whatever arrived.
void CheckSlots(const Rig& rig) {
  const Mailboxes& m = rig.mailboxes;
  if (!m.status.empty() && !IsStatusFrame(m.status)) std::abort();
  if (!m.lastStatus.empty() && !IsStatusFrame(m.lastStatus)) std::abort();
  if (!m.block.empty()) std::abort();                            // handed to the collector at once
  if (!m.monitor.empty() && m.monitor != m.alarm) std::abort();  // the poll empties only the monitor slot
  if (m.rx.size() > kMaxAssembledFrame) std::abort();
  // During an upload the frames are the collector's, not the windows'.
  if (rig.state.uploadActive && IsFramed(m.monitor)) std::abort();
  if (rig.host.progress < 0 || rig.host.progress > 100) std::abort();
}

// The monitor's poll timer runs between notifications.
void Poll(Rig& rig) {
  rig.monitor.Poll();
  if (!rig.mailboxes.monitor.empty() && rig.monitor.Polling()) std::abort();  // consumed, shown or not
  rig.lines.Check(rig.monitor.Display());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Rig rig;
  rig.state.uploadActive = (data[0] & 1) != 0;
  rig.monitor.Show();
  rig.monitor.SelectType((data[0] >> 1) % kOutputTypeCount);
  rig.monitor.SetPolling(!rig.state.uploadActive);  // an upload stops the poll
  std::span<const std::uint8_t> rest(data + 1, size - 1);
  while (!rest.empty()) {
    const std::size_t length = std::min<std::size_t>(rest[0], rest.size() - 1);
    rig.ports.Fake(1).Feed(ByteString(rest.begin() + 1, rest.begin() + 1 + static_cast<std::ptrdiff_t>(length)));
    CheckSlots(rig);
    Poll(rig);
    rest = rest.subspan(1 + length);
  }
  // Bytes beyond one read stay for the next notification; drain them.
  while (!rig.ports.Fake(1).incoming.empty()) {
    rig.ports.Fake(1).Feed({});
    CheckSlots(rig);
    Poll(rig);
  }
  // Outside an upload nothing is acknowledged.
  if (!rig.state.uploadActive && !rig.ports.Fake(1).written.empty()) std::abort();
  for (const std::uint8_t byte : rig.ports.Fake(1).WrittenBytes()) {
    if (byte != kUploadAck) std::abort();
  }
  return 0;
}
