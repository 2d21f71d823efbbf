#include "link/transport.h"

#include <gtest/gtest.h>

#include <tuple>

#include "link_fakes.h"

namespace koral::testing_support {
namespace {

class TransportTest : public ::testing::Test {
 protected:
  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  FakeHardwareAddresses macs;
};

TEST_F(TransportTest, udpByte_isThreeDatagramsWithTheSettleWaitBeforeLineOff) {
  Transport transport(LinkMode::Udp, clock, nullptr, &socket, &macs);
  transport.SendByte(0x41);
  const std::vector<SentBytes> expected = {{0, {0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00}},
                                           {0, {0x01, 0xFE, 0x19, 0xFF, 0x41, 0x00, 0x00, 0x00}},
                                           {10, {0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00}}};
  EXPECT_EQ(socket.sent, expected);
}

// Without an opened port nothing is written, but the byte still waits.
TEST_F(TransportTest, serialByte_dropsDtrOnAllPortsWritesWaitsAndRaisesIt) {
  Transport transport(LinkMode::Serial, clock, &ports, nullptr, nullptr);
  transport.SendByte(0xBA);
  for (int n = 1; n <= 6; ++n)
    EXPECT_TRUE(ports.Fake(n).written.empty());
  EXPECT_EQ(clock.now, 10);
  transport.OpenSerialPort(3, 19200);
  ASSERT_FALSE(transport.PortError());
  EXPECT_EQ(transport.SerialSettings(), "19200,n,8,1");
  transport.SendByte(0xBA);
  EXPECT_EQ(ports.Fake(3).written, (std::vector<SentBytes>{{10, {0xBA}}}));
  for (int n = 1; n <= 6; ++n)
    EXPECT_EQ(ports.Fake(n).dtr, (std::vector<bool>{false, true, false, true})) << n;
  EXPECT_EQ(clock.now, 20);
}

TEST_F(TransportTest, failedOpen_setsPortErrorAndKeepsTheSendPort_closeOtherPortsKeepsTheChosenOne) {
  Transport transport(LinkMode::Serial, clock, &ports, nullptr, nullptr);
  transport.OpenSerialPort(1, 4800);
  ports.Fake(2).failOpen = true;
  transport.OpenSerialPort(2, 9600);
  EXPECT_TRUE(transport.PortError());
  EXPECT_EQ(transport.PortErrorText(), "Access is denied.");
  EXPECT_EQ(transport.SendPort(), 1);
  transport.OpenSerialPort(1, 4800);
  EXPECT_FALSE(transport.PortError());
  transport.OpenSerialPort(4, 4800);
  transport.CloseOtherPorts(4);
  EXPECT_FALSE(ports.Fake(1).open);
  EXPECT_TRUE(ports.Fake(4).open);
}

TEST_F(TransportTest, bridgeSpeedAndRegistration_areByteExact) {
  Transport transport(LinkMode::Udp, clock, nullptr, &socket, &macs);
  transport.SendBridgeSpeed(5);
  transport.RegisterWithBridge();
  transport.SendBridgeSpeed(6);  // no such speed: nothing
  ASSERT_EQ(socket.sent.size(), 3u);
  EXPECT_EQ(socket.sent[0].bytes, (ByteString{0x02, 0xFD, 0x1A, 0xFF, 0xD4, 0xFF, 0x00, 0x00, 0x00}));
  EXPECT_EQ(socket.sent[1].bytes, (ByteString{0x01, 0xFE, 0x00, 0xFF, 0x0A, 0x00, 0x00, 0x00}));
  EXPECT_EQ(socket.sent[2].bytes, (ByteString{0x0E, 0xF1, 0xD0, 0x02, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 192, 168, 0,
                                              10, 0x72, 0x67, 0x00, 0x00, 0x00}));
  EXPECT_EQ(macs.lookedUp, "192.168.0.10");
}

TEST_F(TransportTest, registrationAnnouncesTheLocalPortAndNeedsBothAddresses) {
  Transport transport(LinkMode::Udp, clock, nullptr, &socket, &macs);
  transport.SetLocalPort(0x1234);
  transport.RegisterWithBridge();
  ASSERT_EQ(socket.sent.size(), 1u);
  EXPECT_EQ(socket.sent[0].bytes[14], 0x34);
  EXPECT_EQ(socket.sent[0].bytes[15], 0x12);
  macs.address.reset();
  transport.RegisterWithBridge();
  socket.localAddress = "";
  macs.address = HardwareAddress{};
  transport.RegisterWithBridge();
  EXPECT_EQ(socket.sent.size(), 1u);
}

TEST_F(TransportTest, rearm_readdressesTheSocketToTheBridgeAddress) {
  Transport transport(LinkMode::Udp, clock, nullptr, &socket, &macs);
  transport.SetBridgeAddress("10.1.2.3");
  transport.RearmUdpSocket();
  EXPECT_EQ(std::tie(socket.closes, socket.remoteHost, socket.remotePort, socket.localPort),
            std::make_tuple(1, std::string("10.1.2.3"), kBridgePort, kBridgePort));
  EXPECT_EQ(transport.ArmedBridgeAddress(), "10.1.2.3");
}

}  // namespace
}  // namespace koral::testing_support
