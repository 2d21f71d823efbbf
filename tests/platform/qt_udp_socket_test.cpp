// The Qt UDP socket on the loopback interface, with ports the system chooses,
// and the hardware address lookup.
#include "platform/qt_udp_socket.h"

#include <gtest/gtest.h>

#include <QNetworkInterface>
#include <QThread>
#include <vector>

#include "platform/system_hardware_addresses.h"
#include "platform_test_support.h"

namespace koral::testing_support {
namespace {

constexpr char kLoopback[] = "127.0.0.1";

// A socket on a port the system chose, recording what it receives.
struct Endpoint {
  Endpoint() {
    socket.SetLocalPort(0);
    socket.SetDatagramHandler([this](const Datagram& datagram) { received.push_back(datagram); });
  }
  bool WaitForDatagrams(std::size_t count) {
    return WaitUntil([this, count] { return received.size() >= count; });
  }

  QtUdpSocket socket;
  std::vector<Datagram> received;
};

class QtUdpSocketTest : public PlatformTest {};

TEST_F(QtUdpSocketTest, twoSockets_bindAtOnceAndExchangeDatagramsWithSenderAddressAndPort) {
  Endpoint pc;
  Endpoint bridge;
  EXPECT_TRUE(pc.socket.IsBound()) << "a datagram handler binds at once";
  EXPECT_NE(pc.socket.LocalPort(), 0);
  pc.socket.SetRemote(kLoopback, bridge.socket.LocalPort());
  bridge.socket.SetRemote(kLoopback, pc.socket.LocalPort());
  const ByteString lineControlOn = Bytes({0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00});
  pc.socket.Send(lineControlOn);
  ASSERT_TRUE(bridge.WaitForDatagrams(1));
  EXPECT_EQ(bridge.received[0].bytes, lineControlOn);
  EXPECT_EQ(bridge.received[0].senderAddress, kLoopback);
  EXPECT_EQ(bridge.received[0].senderPort, pc.socket.LocalPort());
  const ByteString statusReply = Bytes({0x01, 0x11, 0xBA, 0x42, 0x03});
  bridge.socket.Send(statusReply);
  ASSERT_TRUE(pc.WaitForDatagrams(1));
  EXPECT_EQ(pc.received[0].bytes, statusReply);
  EXPECT_EQ(pc.received[0].senderAddress, kLoopback);
  EXPECT_EQ(pc.received[0].senderPort, bridge.socket.LocalPort());
}

// Without a handler, and once closed, a socket binds on its next send.
TEST_F(QtUdpSocketTest, unboundSocket_bindsOnItsNextSend) {
  Endpoint bridge;
  QtUdpSocket fresh;
  fresh.SetLocalPort(0);
  Endpoint closed;
  closed.socket.Close();
  int n = 0;
  for (QtUdpSocket* pc : {&fresh, &closed.socket}) {
    SCOPED_TRACE(n);
    pc->SetRemote(kLoopback, bridge.socket.LocalPort());
    EXPECT_FALSE(pc->IsBound());
    pc->Send(Bytes({++n}));
    EXPECT_TRUE(pc->IsBound());
    ASSERT_TRUE(bridge.WaitForDatagrams(static_cast<std::size_t>(n)));
    EXPECT_EQ(bridge.received.back().bytes, Bytes({n}));
    EXPECT_EQ(bridge.received.back().senderPort, pc->LocalPort());
  }
}

TEST_F(QtUdpSocketTest, ownDatagramComingBack_isDropped) {
  Endpoint pc;
  Endpoint other;
  pc.socket.SetRemote(kLoopback, pc.socket.LocalPort());  // nobody else listens there
  pc.socket.Send(Bytes({0x01, 0xFE, 0x19, 0xFF, 0x41, 0x00, 0x00, 0x00}));

  // Sent after ours on the same interface, so it arrives after ours too.
  other.socket.SetRemote(kLoopback, pc.socket.LocalPort());
  const ByteString marker = Bytes({0x01, 0x21, 0x03});
  other.socket.Send(marker);
  ASSERT_TRUE(pc.WaitForDatagrams(1));
  ASSERT_EQ(pc.received.size(), 1u);
  EXPECT_EQ(pc.received[0].bytes, marker);
  EXPECT_EQ(pc.received[0].senderPort, other.socket.LocalPort());
}

TEST_F(QtUdpSocketTest, handlerThatClosesTheSocket_stillGetsWhatHadArrivedInOrder) {
  QtUdpSocket pc;
  pc.SetLocalPort(0);
  std::vector<std::uint8_t> ids;
  pc.SetDatagramHandler([&pc, &ids](const Datagram& datagram) {
    ids.push_back(datagram.bytes.at(1));
    pc.Close();  // as a re-arm before answering does
  });
  Endpoint bridge;
  bridge.socket.SetRemote(kLoopback, pc.LocalPort());
  bridge.socket.Send(Bytes({0x01, 0x12, 0x03}));
  bridge.socket.Send(Bytes({0x01, 0x13, 0x03}));
  QThread::msleep(50);  // both are waiting on the socket before the first is handled
  ASSERT_TRUE(WaitUntil([&ids] { return ids.size() >= 2; }));
  EXPECT_EQ(ids, (std::vector<std::uint8_t>{0x12, 0x13}));
  EXPECT_FALSE(pc.IsBound());
}

TEST_F(QtUdpSocketTest, secondSocketOnTheSamePort_sharesIt) {
  Endpoint bridge;
  Endpoint first;
  QtUdpSocket second;
  second.SetLocalPort(first.socket.LocalPort());
  second.SetRemote(kLoopback, bridge.socket.LocalPort());
  second.Send(Bytes({0x03}));
  EXPECT_TRUE(second.IsBound());
  EXPECT_EQ(second.LocalPort(), first.socket.LocalPort());
  ASSERT_TRUE(bridge.WaitForDatagrams(1));
  EXPECT_EQ(bridge.received[0].senderPort, first.socket.LocalPort());
}

TEST_F(QtUdpSocketTest, beforeBinding_localPortIsTheChosenOneAndTheAddressFollowsTheRemote) {
  QtUdpSocket socket;
  EXPECT_EQ(socket.LocalPort(), kBridgePort);
  EXPECT_EQ(socket.LocalAddress(), "");
  socket.SetRemote("192.168.0.", kBridgePort);  // half-typed
  EXPECT_EQ(socket.LocalAddress(), "");
  socket.SetRemote(kLoopback, kBridgePort);
  EXPECT_EQ(socket.LocalAddress(), kLoopback);
  socket.SetLocalPort(0);
  EXPECT_EQ(socket.LocalPort(), 0);
}

class SystemHardwareAddressesTest : public PlatformTest {
 protected:
  SystemHardwareAddresses lookup;
};

// 203.0.113.77 is in the documentation range, never assigned.
TEST_F(SystemHardwareAddressesTest, loopbackUnownedOrMalformedAddress_hasNone) {
  for (const char* address : {kLoopback, "203.0.113.77", "", "::1", "192.168.0."})
    EXPECT_EQ(lookup.Lookup(address), std::nullopt) << address;
}

TEST_F(SystemHardwareAddressesTest, addressOfANetworkCard_givesTheCardsHardwareAddress) {
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto expected = ParseHardwareAddress(interface.hardwareAddress().toStdString());
    if (!expected || interface.flags().testFlag(QNetworkInterface::IsLoopBack)) continue;
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (entry.ip().protocol() != QAbstractSocket::IPv4Protocol) continue;
      EXPECT_EQ(lookup.Lookup(entry.ip().toString().toStdString()), expected) << interface.name().toStdString();
      return;
    }
  }
  GTEST_SKIP() << "no network card with an IPv4 address and a hardware address";
}

TEST(ParseHardwareAddressTest, sixHexPairsAreTheBytes_allZerosOrOtherLengthsAreNone) {
  EXPECT_EQ(ParseHardwareAddress("00:1A:2B:3C:4D:5E"), (HardwareAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
  EXPECT_EQ(ParseHardwareAddress("02:fc:00:00:00:01"), (HardwareAddress{0x02, 0xFC, 0x00, 0x00, 0x00, 0x01}));
  for (const char* text : {"00:00:00:00:00:00", "", "00:1A:2B:3C:4D", "00:1A:2B:3C:4D:5E:6F:70", "00:1A:2B:3C:4D:XY"})
    EXPECT_EQ(ParseHardwareAddress(text), std::nullopt) << text;
}

}  // namespace
}  // namespace koral::testing_support
