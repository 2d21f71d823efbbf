// Datagrams per second through the network receive path: the socket's handler,
// the mailboxes, the event hook with its decoder, and during an upload the
// collector with its acknowledgement, on virtual time. Each benchmark checks
// the mailboxes and the blocks once before and once after its timed loop, so a
// path that drops datagrams cannot look fast.
#include <benchmark/benchmark.h>

#include <vector>

#include "bench_fakes.h"
#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "link/transport.h"
#include "link/udp_receiver.h"
#include "link/upload.h"
#include "model/data_byte.h"
#include "net/event_decoder.h"

namespace koral::bench {
namespace {

Datagram FromBridge(ByteString bytes) {
  return {std::move(bytes), kDefaultBridgeAddress, kBridgePort};
}

// ---- what a unit sends while the monitor windows are open ----

const ByteString kStatusReply = {0x01, 0x11, 0xBA, 0x18, 0x03};
// 01 21, motion A, trigger B, alarm C, day mode, "CAM1", DEC 25 07, 9:30:45, 03.
const ByteString kEvent = {0x01, 0x21, 0x01, 0x02, 0x04, 0x08, 'C',  'A', 'M',
                           '1',  0x12, 0x25, 0x07, 0x09, 0x30, 0x45, 0x03};
const ByteString kAllFlags = {0x5A, 0x01, 0x02, 0x04, 0x98};  // output data, not framed: it fills only Rx
const ByteString kOutputFrame = {0x01, 0x30, 0x05, 0x03};     // framed output data: monitor, alarm and block
constexpr long kEventsPerCycle = 2;

const std::vector<Datagram>& MonitoringCycle() {
  static const std::vector<Datagram> cycle = {FromBridge(kStatusReply), FromBridge(kEvent), FromBridge(kAllFlags),
                                              FromBridge(kEvent), FromBridge(kOutputFrame)};
  return cycle;
}

// ---- what a unit sends during an upload ----

constexpr std::uint8_t kFirstBlockId = 0x12;
constexpr std::uint8_t kRelayTitleId = 0x23;

struct UploadBlockFrames {
  std::uint8_t id;
  int frames;
  int dataBytes;  // per frame
};

// Both banks, block by block as the unit sends them; the relay title comes
// before the last block, whose arrival ends the upload.
constexpr UploadBlockFrames kUploadOrder[] = {
    {0x12, 5, 8},  {0x13, 6, 12}, {0x14, 6, 12},         {0x15, 6, 12},
    {0x16, 6, 12}, {0x17, 4, 8},  {0x18, 9, 12},         {0x19, 1, 8},
    {0x1A, 6, 12}, {0x1B, 6, 12}, {0x1C, 6, 12},         {0x1D, 6, 12},
    {0x1E, 4, 8},  {0x1F, 9, 12}, {kRelayTitleId, 1, 2}, {kLastUploadBlockId, 1, 12}};

struct UploadTraffic {
  std::vector<Datagram> datagrams;
  UploadBlocks blocks;  // what the collector must have filed
  long acknowledged = 0;
};

const UploadTraffic& WholeUpload() {
  static const UploadTraffic upload = [] {
    UploadTraffic u;
    int value = 0;
    for (const UploadBlockFrames& block : kUploadOrder) {
      const std::size_t index =
          block.id == kRelayTitleId ? kRelayTitleIndex : static_cast<std::size_t>(block.id - kFirstBlockId);
      for (int f = 0; f < block.frames; ++f) {
        ByteString frame = {kFrameStart, block.id};
        for (int k = 0; k < block.dataBytes; ++k)
          frame.push_back(ToDataByte(static_cast<unsigned>(value++)));
        frame.push_back(kFrameEnd);
        u.blocks[index].insert(u.blocks[index].end(), frame.begin(), frame.end());
        if (block.id != kLastUploadBlockId) ++u.acknowledged;
        u.datagrams.push_back(FromBridge(std::move(frame)));
      }
    }
    return u;
  }();
  return upload;
}

// ---- the receive path on fakes ----

struct Rig {
  Rig() {
    socket.watchedByte = kUploadAck;
    receiver.Listen();
  }
  void Receive(const std::vector<Datagram>& datagrams) const {
    for (const Datagram& datagram : datagrams)
      socket.Deliver(datagram);
  }
  // What the Upload menu does to the receive side before it asks for the banks.
  void StartUpload() {
    for (int i = 0; i <= kLastBlockIndex; ++i)
      state.uploadBlocks[static_cast<std::size_t>(i)].clear();
    state.uploadDamage.clear();
    state.uploadActive = true;
  }

  InstantClock clock;
  LoopbackSocket socket;
  Transport transport{LinkMode::Udp, clock, nullptr, &socket, nullptr};
  TransferState state;
  Mailboxes mailboxes;
  QuietHost host;
  UploadCollector collector{transport, state, mailboxes, host};
  DecodedEvent decoded;  // reused by every event, as the UDP monitor window does
  long eventsShown = 0;
  UdpReceiver receiver{transport, clock, mailboxes, state, collector, [this] {
                         recievedata(mailboxes, decoded);
                         if (!decoded.lines.empty()) ++eventsShown;
                       }};
};

bool Check(benchmark::State& state, bool sound, const char* what) {
  if (!sound) state.SkipWithError(what);
  return sound;
}

// After a monitoring cycle: the status reply in both status slots, the last
// framed output frame for the monitor and alarm windows, the events shown.
bool MonitoringLeftItsMarks(benchmark::State& state, const Rig& rig, long cycles) {
  const Mailboxes& m = rig.mailboxes;
  return Check(state, m.status == kStatusReply && m.lastStatus == kStatusReply, "status reply not posted") &&
         Check(state, m.monitor == kOutputFrame && m.alarm == kOutputFrame && m.block.empty(),
               "output frame not posted") &&
         Check(state, m.rx == kOutputFrame, "last datagram not in Rx") &&
         Check(state, rig.eventsShown == kEventsPerCycle * cycles, "events not decoded") &&
         Check(state, rig.decoded.lines == DecodeEventFrame(kEvent).lines, "event decoded to other lines");
}

void Monitoring(benchmark::State& state) {
  Rig rig;
  const std::vector<Datagram>& cycle = MonitoringCycle();
  rig.Receive(cycle);
  if (!MonitoringLeftItsMarks(state, rig, 1)) return;
  rig.eventsShown = 0;
  for (auto _ : state)
    rig.Receive(cycle);
  MonitoringLeftItsMarks(state, rig, static_cast<long>(state.iterations()));
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(cycle.size()));
}

// After an upload: every block filed whole and sound, every frame but the last
// acknowledged, and the monitor and alarm windows kept from the frames.
bool UploadLeftItsMarks(benchmark::State& state, const Rig& rig, long uploads) {
  const UploadTraffic& upload = WholeUpload();
  return Check(state, rig.state.uploadBlocks == upload.blocks, "blocks not filed") &&
         Check(state, rig.state.uploadDamage.empty(), "upload taken for damaged") &&
         Check(state, rig.host.progress == 100, "progress not at its end") &&
         Check(state, rig.socket.watchedByteCount == upload.acknowledged * uploads, "frames not acknowledged") &&
         Check(state, rig.mailboxes.monitor.empty() && rig.mailboxes.alarm.empty() && rig.mailboxes.block.empty(),
               "upload frames reached the windows");
}

void Uploading(benchmark::State& state) {
  Rig rig;
  const UploadTraffic& upload = WholeUpload();
  rig.StartUpload();
  rig.Receive(upload.datagrams);
  if (!UploadLeftItsMarks(state, rig, 1)) return;
  rig.socket.watchedByteCount = 0;
  for (auto _ : state) {
    rig.StartUpload();
    rig.Receive(upload.datagrams);
  }
  UploadLeftItsMarks(state, rig, static_cast<long>(state.iterations()));
  state.SetItemsProcessed(state.iterations() * static_cast<benchmark::IterationCount>(upload.datagrams.size()));
}

BENCHMARK(Monitoring)->Name("ReceivePath/Monitoring");
BENCHMARK(Uploading)->Name("ReceivePath/Upload");

}  // namespace
}  // namespace koral::bench
