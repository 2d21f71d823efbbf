// What every SerialPort does, run against the in-memory fake and against the
// Qt port on a pseudo-terminal pair.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "link/link_fakes.h"
#include "platform/qt_serial_port.h"
#include "platform_test_support.h"

namespace koral::testing_support {
namespace {

// The fake: the far end of its line is Feed and the written record.
class FakeLine {
 public:
  bool Start(std::string*) { return true; }
  SerialPort& Port() { return port_; }
  std::unique_ptr<SerialPort> PortWithoutDevice() {
    auto port = std::make_unique<FakeSerialPort>(clock_);
    port->failOpen = true;
    return port;
  }
  void SendFromFarEnd(const ByteString& bytes) { port_.Feed(bytes); }
  ByteString ReceivedAtFarEnd(std::size_t) { return port_.WrittenBytes(); }
  bool WaitUntilWaiting(std::size_t count) { return port_.incoming.size() >= count; }

 private:
  FakeClock clock_;
  FakeSerialPort port_{clock_};
};

// The Qt port on one end of a socat pair, a plain QSerialPort on the other.
class PtyLine {
 public:
  bool Start(std::string* why) {
    if (!pair_.Start()) {
      *why = "socat: " + pair_.Log();
      return false;
    }
    port_ = std::make_unique<QtSerialPort>("COM1", pair_.EndA());
    if (!farEnd_.Open(pair_.EndB())) {
      *why = "far end: " + farEnd_.ErrorText();
      return false;
    }
    return true;
  }
  SerialPort& Port() { return *port_; }
  std::unique_ptr<SerialPort> PortWithoutDevice() {
    return std::make_unique<QtSerialPort>("COM2", pair_.MissingDevice());
  }
  void SendFromFarEnd(const ByteString& bytes) { farEnd_.Write(bytes); }
  ByteString ReceivedAtFarEnd(std::size_t count) { return farEnd_.WaitForReceived(count); }
  bool WaitUntilWaiting(std::size_t count) {
    return WaitUntil([this, count] { return port_->BytesWaiting() >= count; });
  }

 private:
  PtyPair pair_;
  LineEnd farEnd_;
  std::unique_ptr<QtSerialPort> port_;
};

template <typename Line>
class SerialPortContract : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    std::string why;
    ASSERT_TRUE(line.Start(&why)) << why;
  }

  // Bytes from the far end, read back once they have all arrived.
  ByteString RoundTripFromFarEnd(const ByteString& bytes) {
    line.SendFromFarEnd(bytes);
    EXPECT_TRUE(line.WaitUntilWaiting(bytes.size()));
    return line.Port().Read(bytes.size());
  }

  Line line;
};

struct LineNames {
  template <typename T>
  static std::string GetName(int) {
    return std::is_same_v<T, FakeLine> ? "Fake" : "QtOnPty";
  }
};

using Lines = ::testing::Types<FakeLine, PtyLine>;
TYPED_TEST_SUITE(SerialPortContract, Lines, LineNames);

const ByteString kStatusRequest = Bytes({0x01, 0xBA, 0x00, 0xFF, 0x03});
const ByteString kStatusReply = Bytes({0x01, 0x11, 0xBA, 0x42, 0x03});

TYPED_TEST(SerialPortContract, openAndClose_changeIsOpen) {
  SerialPort& port = this->line.Port();
  EXPECT_FALSE(port.IsOpen());
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  EXPECT_TRUE(port.IsOpen());
  port.Close();
  EXPECT_FALSE(port.IsOpen());
}

TYPED_TEST(SerialPortContract, write_reachesTheFarEnd) {
  SerialPort& port = this->line.Port();
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  EXPECT_TRUE(port.Write(kStatusRequest));
  EXPECT_EQ(this->line.ReceivedAtFarEnd(kStatusRequest.size()), kStatusRequest);
}

TYPED_TEST(SerialPortContract, bytesFromTheFarEnd_callTheReceiveHandlerAndCanBeRead) {
  SerialPort& port = this->line.Port();
  int notifications = 0;
  port.SetReceiveHandler([&notifications] { ++notifications; });
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  this->line.SendFromFarEnd(kStatusReply);
  EXPECT_TRUE(WaitUntil([&notifications] { return notifications > 0; }));
  ASSERT_TRUE(this->line.WaitUntilWaiting(kStatusReply.size()));
  EXPECT_EQ(port.Read(30), kStatusReply);
}

TYPED_TEST(SerialPortContract, read_returnsAtMostMaxBytesInArrivalOrder) {
  SerialPort& port = this->line.Port();
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  const ByteString sent = Sequence(40);
  this->line.SendFromFarEnd(sent);
  ASSERT_TRUE(this->line.WaitUntilWaiting(sent.size()));
  EXPECT_EQ(port.Read(30), ByteString(sent.begin(), sent.begin() + 30));
  EXPECT_EQ(port.Read(30), ByteString(sent.begin() + 30, sent.end()));
  EXPECT_TRUE(port.Read(30).empty());
}

TYPED_TEST(SerialPortContract, readWhenNothingArrived_isEmpty) {
  SerialPort& port = this->line.Port();
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  EXPECT_TRUE(port.Read(30).empty());
}

TYPED_TEST(SerialPortContract, dtrSwitchedOnAnOpenPort_leavesItUsable) {
  SerialPort& port = this->line.Port();
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  port.SetDtr(false);
  port.SetDtr(true);
  EXPECT_TRUE(port.IsOpen());
  EXPECT_TRUE(port.Write(kStatusRequest));
  EXPECT_EQ(this->line.ReceivedAtFarEnd(kStatusRequest.size()), kStatusRequest);
  EXPECT_EQ(this->RoundTripFromFarEnd(kStatusReply), kStatusReply);
}

TYPED_TEST(SerialPortContract, dtrSwitchedOnAClosedPort_isAcceptedAndThePortStillOpens) {
  SerialPort& port = this->line.Port();
  port.SetDtr(false);
  port.SetDtr(true);
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  EXPECT_EQ(this->RoundTripFromFarEnd(kStatusReply), kStatusReply);
}

TYPED_TEST(SerialPortContract, speedSetBeforeAndAfterOpening_isAccepted) {
  SerialPort& port = this->line.Port();
  EXPECT_TRUE(port.SetBaudRate(4800)) << port.ErrorText();
  ASSERT_TRUE(port.Open()) << port.ErrorText();
  EXPECT_TRUE(port.SetBaudRate(9600)) << port.ErrorText();
  EXPECT_TRUE(port.Write(kStatusRequest));
  EXPECT_EQ(this->line.ReceivedAtFarEnd(kStatusRequest.size()), kStatusRequest);
}

TYPED_TEST(SerialPortContract, writeOnAClosedPort_fails) {
  EXPECT_FALSE(this->line.Port().Write(kStatusRequest));
}

TYPED_TEST(SerialPortContract, openWithoutADevice_failsWithAReason) {
  const auto port = this->line.PortWithoutDevice();
  EXPECT_FALSE(port->Open());
  EXPECT_FALSE(port->IsOpen());
  EXPECT_FALSE(port->ErrorText().empty());
}

}  // namespace
}  // namespace koral::testing_support
