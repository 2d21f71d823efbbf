// The Qt serial port on pseudo-terminals where it differs from a plain line,
// and the naming of COM1..COM6.
#include "platform/qt_serial_port.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <stdexcept>

#include "link/serial_receiver.h"
#include "link/transport.h"
#include "platform/qt_clock.h"
#include "platform/serial_port_names.h"
#include "platform_test_support.h"

namespace koral::testing_support {
namespace {

class QtSerialPortOnPty : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    ASSERT_TRUE(opened) << peer.Problem();
  }

  PtyPeer peer;
  bool opened = peer.Open();
  QtSerialPort port{"COM1", peer.DevicePath()};
};

TEST_F(QtSerialPortOnPty, openAfterTheFarEndWrote_dropsWhatCameBefore) {
  ASSERT_TRUE(peer.Reply(Bytes({0x01, 0x11, 0xBA, 0x00, 0x03})));  // now waiting in the device
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  const ByteString fresh = Bytes({0x01, 0x21, 0x03});
  ASSERT_TRUE(peer.Reply(fresh));
  ASSERT_TRUE(WaitUntil([this, &fresh] { return port.BytesWaiting() >= fresh.size(); }));
  EXPECT_EQ(port.Read(30), fresh);
}

TEST_F(QtSerialPortOnPty, write_leavesBeforeTheEventLoopRunsAgain) {
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  const ByteString byte = Bytes({0xBA});
  ASSERT_TRUE(port.Write(byte));
  EXPECT_TRUE(peer.WaitForBytesWithoutEventLoop(byte.size()));
  EXPECT_EQ(peer.Bytes(), byte);
}

TEST_F(QtSerialPortOnPty, deviceVanishes_portClosesAndStopsNotifying) {
  int notifications = 0;
  port.SetReceiveHandler([&notifications] { ++notifications; });
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  ASSERT_TRUE(peer.Reply(Bytes({0x01, 0x03})));
  ASSERT_TRUE(WaitUntil([&notifications] { return notifications > 0; }));
  peer.Hangup();
  ASSERT_TRUE(WaitUntil([this] { return !port.IsOpen(); }));
  EXPECT_EQ(port.ErrorText(),
            "COM1 (" + peer.DevicePath() + "): The device stopped responding and the port was closed");
  const int notificationsWhenClosed = notifications;
  RunEventLoopFor(100);  // whatever was queued by the failing device
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(notifications, notificationsWhenClosed);
  EXPECT_TRUE(port.Read(30).empty());
  EXPECT_FALSE(port.Write(Bytes({0xBA})));
}

TEST_F(QtSerialPortOnPty, receiveHandlerThatClosesThePort_endsTheNotifications) {
  int notifications = 0;
  port.SetReceiveHandler([this, &notifications] {
    ++notifications;
    port.Close();
  });
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  ASSERT_TRUE(peer.Reply(Bytes({0x01, 0x03})));
  ASSERT_TRUE(WaitUntil([&notifications] { return notifications > 0; }));
  EXPECT_FALSE(port.IsOpen());
  ASSERT_TRUE(peer.Reply(Bytes({0x01, 0x03})));
  RunEventLoopFor(50);
  EXPECT_EQ(notifications, 1);
}

// What any serial line does: open and close, speeds, reads in arrival order, DTR.
TEST_F(QtSerialPortOnPty, openAndClose_changeIsOpenAndOnlyAnOpenPortWritesOrReads) {
  const ByteString request = Bytes({0x01, 0xBA, 0x00, 0xFF, 0x03});
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.Write(request));
  EXPECT_TRUE(port.SetBaudRate(4800)) << port.ErrorText();
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(port.Read(30).empty());
  EXPECT_TRUE(port.SetBaudRate(9600)) << port.ErrorText();
  port.SetDtr(false);
  port.SetDtr(true);
  EXPECT_EQ(port.ErrorText(), "");
  EXPECT_TRUE(port.Write(request));
  EXPECT_TRUE(peer.WaitForBytes(request.size()));
  EXPECT_EQ(peer.Bytes(), request);
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(QtSerialPortOnPty, bytesFromTheFarEnd_notifyAndReadAtMostMaxInArrivalOrder) {
  int notifications = 0;
  port.SetReceiveHandler([&notifications] { ++notifications; });
  port.SetDtr(false);  // switched while closed, the port still opens and reads
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  const ByteString sent = Sequence(40);
  ASSERT_TRUE(peer.Reply(sent));
  EXPECT_TRUE(WaitUntil([&notifications] { return notifications > 0; }));
  ASSERT_TRUE(WaitUntil([&] { return port.BytesWaiting() >= sent.size(); }));
  EXPECT_EQ(port.Read(30), ByteString(sent.begin(), sent.begin() + 30));
  EXPECT_EQ(port.Read(30), ByteString(sent.begin() + 30, sent.end()));
  EXPECT_TRUE(port.Read(30).empty());
}

// Bytes that reach the port while a receive handler waits before its read, as
// a USB adapter hands over a frame in pieces while the rest is still on the line.
struct PiecesCase {
  const char* name;
  ByteString first;                // sent before the first notification
  ByteString rest;                 // sent 30 ms into the wait of notification `restDuring`
  int restDuring;                  // 1 = the first notification
  std::vector<std::size_t> reads;  // sizes of the reads, one per notification
};

void PrintTo(const PiecesCase& c, std::ostream* out) {
  *out << c.name;
}

class QtSerialPortPieces : public QtSerialPortOnPty, public ::testing::WithParamInterface<PiecesCase> {};

TEST_P(QtSerialPortPieces, handlerThatWaitsThenReads_getsEveryByteThatArrivedMeanwhile) {
  constexpr int kPieceGapMs = 30;
  const PiecesCase& c = GetParam();
  QtClock clock;
  std::vector<ByteString> reads;
  int depth = 0;
  int deepest = 0;
  port.SetReceiveHandler([&] {
    deepest = std::max(deepest, ++depth);
    // The receive path's wait, with the far end sending the rest part-way through.
    if (static_cast<int>(reads.size()) + 1 == c.restDuring) {
      clock.Sleep(kPieceGapMs);
      peer.Reply(c.rest);
      clock.Sleep(kReceiveSettleMs - kPieceGapMs);
    } else {
      clock.Sleep(kReceiveSettleMs);
    }
    reads.push_back(port.Read(kSerialReadLimit));
    --depth;
  });
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  ByteString sent = c.first;
  sent.insert(sent.end(), c.rest.begin(), c.rest.end());
  ASSERT_TRUE(peer.Reply(c.first));
  const auto received = [&reads] {
    return std::accumulate(reads.begin(), reads.end(), std::size_t{0},
                           [](std::size_t n, const ByteString& r) { return n + r.size(); });
  };
  ASSERT_TRUE(WaitUntil([&] { return received() >= sent.size(); })) << received() << " bytes read";
  RunEventLoopFor(2 * kReceiveSettleMs);  // any further notification
  std::vector<std::size_t> sizes;
  ByteString joined;
  for (const ByteString& r : reads) {
    sizes.push_back(r.size());
    joined.insert(joined.end(), r.begin(), r.end());
  }
  EXPECT_EQ(sizes, c.reads);
  EXPECT_EQ(joined, sent);
  EXPECT_EQ(deepest, 1) << "a read started the handler again";
}

ByteString Range(int from, int count) {
  ByteString bytes = Sequence(static_cast<std::size_t>(from + count));
  return ByteString(bytes.begin() + from, bytes.end());
}

INSTANTIATE_TEST_SUITE_P(
    Arrivals, QtSerialPortPieces,
    ::testing::Values(PiecesCase{"frameInTwoPieces_isReadWhole", Range(0, 12), Range(12, 12), 1, {24}},
                      PiecesCase{"moreThanOneReadWaiting_comesInReadsOf30", Range(0, 70), {}, 0, {30, 30, 10}},
                      PiecesCase{"pieceWhileTheLeftoverIsRead_joinsIt", Range(0, 40), Range(40, 12), 2, {30, 22}}),
    [](const ::testing::TestParamInfo<PiecesCase>& p) { return std::string(p.param.name); });

TEST(QtSerialPortTest, openFailures_nameThePortAndTheDevice) {
  QtSerialPort none("COM3", "");
  EXPECT_FALSE(none.Open());
  EXPECT_EQ(none.ErrorText(), "No device for COM3");
  QtSerialPort missing("COM2", "/nonexistent/koral-tty");
  EXPECT_FALSE(missing.Open());
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_TRUE(missing.ErrorText().starts_with("COM2 (/nonexistent/koral-tty): ")) << missing.ErrorText();
  EXPECT_EQ(SerialErrorText("COM4", "/dev/ttyS0", "No such file or directory", false),
            "COM4 (/dev/ttyS0): No such file or directory");
  EXPECT_EQ(SerialErrorText("COM4", "COM4", "Access is denied.", false), "COM4: Access is denied.");
  const std::string denied = SerialErrorText("COM1", "/dev/ttyUSB0", "Permission denied", true);
  EXPECT_TRUE(denied.starts_with("COM1 (/dev/ttyUSB0): Permission denied. Another program may be using the port"))
      << denied;
#ifdef Q_OS_LINUX
  EXPECT_NE(denied.find("sudo usermod -aG dialout $USER"), std::string::npos) << denied;
  EXPECT_NE(denied.find("log in again"), std::string::npos) << denied;
#endif
}

TEST(PortDevicesTest, usbAdaptersFirstThenOnBoardPortsInNaturalOrder_environmentWithoutShifting) {
  EXPECT_EQ(DescribePorts(AssignPortDevices({}, {"/dev/ttyS10", "/dev/ttyUSB10", "/dev/ttyS2", "/dev/ttyAMA0",
                                                 "/dev/ttyUSB2", "/dev/ttyACM0", "/dev/ttyS0"})),
            (std::vector<std::string>{"COM1 = /dev/ttyACM0 (USB serial, from the port list)",
                                      "COM2 = /dev/ttyUSB2 (USB serial, from the port list)",
                                      "COM3 = /dev/ttyUSB10 (USB serial, from the port list)",
                                      "COM4 = /dev/ttyS0 (serial port, from the port list)",
                                      "COM5 = /dev/ttyS2 (serial port, from the port list)",
                                      "COM6 = /dev/ttyS10 (serial port, from the port list)"}));
  PortOverrides overrides;
  overrides[1] = "/tmp/x";
  overrides[3] = "";
  EXPECT_EQ(
      DescribePorts(AssignPortDevices(overrides, {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0"})),
      (std::vector<std::string>{
          "COM1 = /dev/ttyUSB0 (USB serial, from the port list)", "COM2 = /tmp/x (from KORAL_COM2)",
          "COM3 = /dev/ttyS0 (serial port, from the port list)", "COM4 = (none)", "COM5 = (none)", "COM6 = (none)"}));
}

class QtSerialPortsTest : public PlatformTest {
 protected:
  // Every COMn from the environment, so that the PC's own ports play no part.
  void NameAllPorts(const std::array<std::string, SerialPorts::kCount>& devices) {
    for (std::size_t i = 0; i < devices.size(); ++i)
      environment.Set("KORAL_COM" + std::to_string(i + 1), devices[i]);
  }

  EnvironmentGuard environment;
  QtClock clock;
};

TEST_F(QtSerialPortsTest, koralComN_namesTheDeviceOfComN) {
  NameAllPorts({"", "/tmp/x", "", "", "", ""});
  QtSerialPorts ports;
  EXPECT_EQ(ports.Describe(),
            (std::vector<std::string>{"COM1 = (none)", "COM2 = /tmp/x (from KORAL_COM2)", "COM3 = (none)",
                                      "COM4 = (none)", "COM5 = (none)", "COM6 = (none)"}));
  EXPECT_EQ(DescribePorts(), ports.Describe());
  EXPECT_EQ(ports.QtPort(2).Device(), "/tmp/x");
  EXPECT_FALSE(ports.Port(3).Open());
  EXPECT_EQ(ports.Port(3).ErrorText(), "No device for COM3");
  EXPECT_THROW(ports.Port(0), std::out_of_range);
  EXPECT_THROW(ports.Port(7), std::out_of_range);
  Transport transport(LinkMode::Serial, clock, &ports, nullptr, nullptr);
  transport.OpenSerialPort(5, 9600);
  EXPECT_TRUE(transport.PortError());
  EXPECT_EQ(transport.PortErrorText(), "No device for COM5");
}

TEST_F(QtSerialPortsTest, transportOnTheRealPorts_sendsEachByteOnTheChosenPort) {
  PtyPeer peer;
  ASSERT_TRUE(peer.Open()) << peer.Problem();
  NameAllPorts({"", peer.DevicePath(), "", "", "", ""});
  QtSerialPorts ports;
  Transport transport(LinkMode::Serial, clock, &ports, nullptr, nullptr);
  transport.OpenSerialPort(2, 4800);
  ASSERT_FALSE(transport.PortError()) << transport.PortErrorText();
  for (const std::uint8_t byte : Bytes({0x98, 0xA0, 0xBA}))
    transport.SendByte(byte);
  EXPECT_TRUE(peer.WaitForBytesWithoutEventLoop(3));
  EXPECT_EQ(peer.Bytes(), Bytes({0x98, 0xA0, 0xBA}));
}

}  // namespace
}  // namespace koral::testing_support
