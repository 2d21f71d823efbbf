#include <gtest/gtest.h>

#include "link/serial_receiver.h"
#include "link/udp_receiver.h"
#include "link_fakes.h"
#include "scripted_host.h"

namespace koral::testing_support {
namespace {

const ByteString kStatus = {0x01, 0x11, 0xBA, 0x40, 0x03};
const ByteString kDayRegisters = {0x01, 0x12, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0x03};
using Posted = std::array<ByteString, 5>;  // every slot a receive path fills, RxBuffer aside

struct Rig {
  explicit Rig(LinkMode mode) : transport(mode, clock, &ports, &socket, nullptr) {
    transport.OpenSerialPort(1, 4800);
    serial.ListenToAllPorts();
    udp.Listen();
  }
  // One serial read, or one datagram from the bridge.
  void Receive(const ByteString& bytes) {
    transport.Mode() == LinkMode::Udp ? socket.Deliver(bytes, kDefaultBridgeAddress) : ports.Fake(1).Feed(bytes);
  }
  ByteString UnitBytes() {
    return transport.Mode() == LinkMode::Udp ? socket.UnitBytes() : ports.Fake(1).WrittenBytes();
  }
  Posted Slots() const {
    return {mailboxes.status, mailboxes.lastStatus, mailboxes.monitor, mailboxes.alarm, mailboxes.block};
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  Transport transport;
  TransferState state;
  Mailboxes mailboxes;
  ScriptedHost host;
  UploadCollector collector{transport, state, mailboxes, host};
  int events = 0;
  SerialReceiver serial{transport, clock, mailboxes, state, collector};
  UdpReceiver udp{transport, clock, mailboxes, state, collector, [this] { ++events; }};
};

class ReceivePathTest : public ::testing::TestWithParam<LinkMode> {
 protected:
  Rig rig{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(BothLinks, ReceivePathTest, ::testing::Values(LinkMode::Serial, LinkMode::Udp),
                         [](const auto& link) { return link.param == LinkMode::Udp ? "Udp" : "Serial"; });

TEST_P(ReceivePathTest, statusFrame_landsOnlyInStatusAndALaterFrameRefillsItAfterAConsumerEmptiedIt) {
  rig.Receive(kStatus);
  EXPECT_EQ(rig.Slots(), (Posted{kStatus, kStatus, {}, {}, {}}));
  rig.mailboxes.status.clear();
  const ByteString output = {0x01, 0x30, 0x05, 0x03};
  rig.Receive(output);
  EXPECT_EQ(rig.Slots(), (Posted{kStatus, kStatus, output, output, {}}));
}

TEST_P(ReceivePathTest, blockFrameOutsideAnUpload_isStoredWithItsProgressButNotAcknowledged) {
  rig.Receive(kDayRegisters);
  EXPECT_EQ(rig.state.uploadBlocks[0], kDayRegisters);
  EXPECT_EQ(rig.host.progress, std::vector<int>{7});
  EXPECT_EQ(rig.mailboxes.monitor, kDayRegisters);
  EXPECT_TRUE(rig.UnitBytes().empty());
}

TEST(SerialReceiveTest, notification_waits100msThenReadsOnceAtMost30BytesFromTheReceivePort) {
  Rig rig(LinkMode::Serial);
  rig.transport.SetReceivePort(2);
  ByteString output(40, 0x30);
  output.front() = kFrameStart;
  rig.clock.onSleep = [&] { rig.ports.Fake(2).Feed(output, false); };
  rig.ports.Fake(5).Feed({});  // whichever port notifies
  EXPECT_EQ(rig.clock.sleeps, std::vector<int>{100});
  EXPECT_EQ(rig.mailboxes.monitor, ByteString(output.begin(), output.begin() + 30));
  EXPECT_EQ(rig.ports.Fake(2).incoming.size(), 10u);
}

TEST(SerialReceiveTest, uploadFrameCutIntoTwoOrThreeReads_isReassembledAndAcknowledgedOnce) {
  const auto at = [](std::size_t i) { return kDayRegisters.begin() + static_cast<std::ptrdiff_t>(i); };
  for (std::size_t a = 1; a < kDayRegisters.size(); ++a) {
    for (std::size_t b = a; b < kDayRegisters.size(); ++b) {  // b == a: two reads
      SCOPED_TRACE(testing::Message() << "cut at " << a << " and " << b);
      Rig rig(LinkMode::Serial);
      rig.state.uploadActive = true;
      rig.Receive(ByteString(at(0), at(a)));
      rig.Receive({});  // an empty read changes nothing
      if (b > a) rig.Receive(ByteString(at(a), at(b)));
      EXPECT_EQ(rig.Slots(), Posted{});
      rig.Receive(ByteString(at(b), kDayRegisters.end()));
      EXPECT_EQ(rig.state.uploadBlocks[0], kDayRegisters);
      EXPECT_EQ(rig.UnitBytes(), ByteString{0xBC});
      EXPECT_EQ(rig.Slots(), Posted{});
    }
  }
}

TEST(SerialReceiveTest, garbageAfterAFrameStart_isDroppedOnceItOutgrowsAnyFrame) {
  Rig rig(LinkMode::Serial);
  rig.state.uploadActive = true;
  rig.Receive({0x01, 0x12});
  for (int read = 0; read < 20; ++read) {
    rig.Receive(ByteString(30, 0xEE));
    ASSERT_LE(rig.mailboxes.rx.size(), kMaxAssembledFrame);
  }
  rig.Receive({0xEE, 0x03});
  EXPECT_TRUE(rig.state.uploadBlocks[0].empty());
  EXPECT_TRUE(rig.UnitBytes().empty());
}

// Only an event datagram runs the event decoder; one without its end byte fills
// no mailbox but Rx.
TEST(UdpReceiveTest, eventDatagram_runsTheEventDecoder_unendedDatagramChangesNoMailboxButRx) {
  Rig rig(LinkMode::Udp);
  ByteString event(17, 0x21);
  event.front() = kFrameStart;
  event.back() = kFrameEnd;
  rig.Receive(event);
  rig.Receive(kDayRegisters);
  EXPECT_EQ(rig.events, 1);
  rig.Receive(kStatus);
  rig.Receive({0x01, 0x12, 0xD1});
  EXPECT_EQ(rig.Slots(), (Posted{kStatus, kStatus, kDayRegisters, kDayRegisters, {}}));
  EXPECT_EQ(rig.mailboxes.rx, (ByteString{0x01, 0x12, 0xD1}));
}

TEST(UdpReceiveTest, uploadBlock_isAcknowledgedAfter100msWithARearmFirstButTheLastBlockIsNot) {
  Rig rig(LinkMode::Udp);
  rig.state.uploadActive = true;
  rig.Receive(kDayRegisters);
  EXPECT_EQ(rig.state.uploadBlocks[0], kDayRegisters);
  EXPECT_EQ(rig.socket.closes, 1);
  const std::vector<SentBytes> ack = {{100, {0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00}},
                                      {100, {0x01, 0xFE, 0x19, 0xFF, 0xBC, 0x00, 0x00, 0x00}},
                                      {110, {0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00}}};
  EXPECT_EQ(rig.socket.sent, ack);
  EXPECT_EQ(rig.Slots(), Posted{});
  const ByteString lastBlock = {0x01, 0x20, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
                                0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0x03};
  rig.Receive(lastBlock);
  EXPECT_EQ(rig.state.uploadBlocks[kLastBlockIndex], lastBlock);
  EXPECT_EQ(rig.host.progress, (std::vector<int>{7, 100}));
  EXPECT_EQ(rig.socket.sent, ack);
}

TEST(UdpReceiveTest, onlyTheArmedBridgeOtherThanOurOwnSocket_isBelieved) {
  Rig rig(LinkMode::Udp);
  rig.transport.SetBridgeAddress("127.0.0.1");  // a unit emulator on this PC
  rig.transport.RearmUdpSocket();
  rig.socket.localAddress = "127.0.0.1";
  rig.socket.Deliver(kStatus, "192.168.0.7");  // a stranger
  rig.socket.Deliver(kStatus, "127.0.0.1");    // our own datagram looped back
  EXPECT_EQ(rig.Slots(), Posted{});
  rig.socket.Deliver(kStatus, "127.0.0.1", 40000);
  EXPECT_EQ(rig.mailboxes.status, kStatus);
}

TEST(UdpReceiveTest, sender_isComparedWithTheIpBoxAsAnAddressNotAsText) {
  const struct {
    const char* box;
    const char* sender;
    bool believed;
  } cases[] = {{" 192.168.0.100 ", "192.168.0.100", true},
               {"192.168.0.100\t", "192.168.0.100", true},
               {" 192.168.0.100 ", "192.168.0.7", false},  // a stranger
               {"192.168.010.1", "192.168.10.1", false},   // the resolver sends such text to 192.168.8.1
               {"192.168.0.", "192.168.0.0", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    Rig rig(LinkMode::Udp);
    rig.transport.SetBridgeAddress(c.box);
    rig.transport.RearmUdpSocket();
    rig.socket.Deliver(kStatus, c.sender);
    EXPECT_EQ(rig.mailboxes.status, c.believed ? kStatus : ByteString{});
  }
}

}  // namespace
}  // namespace koral::testing_support
