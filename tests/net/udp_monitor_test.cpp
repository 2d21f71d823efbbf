// The UDP monitor window fed by the network receive path.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../link/link_fakes.h"
#include "../link/scripted_host.h"
#include "link/udp_receiver.h"
#include "link/upload.h"
#include "net/udp_monitor_model.h"

namespace koral::testing_support {
namespace {

const ByteString kEvent = {0x01, 0x21, 0x01, 0x02, 0x04, 0x08, 'C',  'A', 'M',
                           '1',  0x12, 0x25, 0x07, 0x09, 0x30, 0x45, 0x03};
const std::string kEventText =
    "CAM1  DEC-25-07  9:30:45\r\n"
    "MOVE    =  A  -  -  -  -  -  -  - \r\n"
    "TRIGGER =  -  B  -  -  -  -  -  - \r\n"
    "ALARM   =  -  -  C  -  -  -  -  - \r\n"
    "STATUS  = Day Mode , Alarm Disable , Video OK \r\n";
// 0E F1 D0 02, the PC's hardware address, 192.168.0.10, port 26482, 00 00 00.
const ByteString kRegistration = {0x0E, 0xF1, 0xD0, 0x02, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E,
                                  0xC0, 0xA8, 0x00, 0x0A, 0x72, 0x67, 0x00, 0x00, 0x00};

class UdpMonitorTest : public ::testing::Test {
 protected:
  void Receive(const ByteString& datagram) { socket.Deliver(datagram, kDefaultBridgeAddress); }
  std::vector<ByteString> Sent() const {
    std::vector<ByteString> sent;
    for (const auto& d : socket.sent)
      sent.push_back(d.bytes);
    return sent;
  }

  FakeClock clock;
  FakeUdpSocket socket{clock};
  FakeHardwareAddresses macs;
  Transport transport{LinkMode::Udp, clock, nullptr, &socket, &macs};
  Mailboxes mailboxes;
  TransferState state;
  ScriptedHost host;
  UploadCollector collector{transport, state, mailboxes, host};
  bool videoLost = false;
  UdpMonitorModel window{mailboxes, videoLost, transport};
  UdpReceiver receiver{transport, clock, mailboxes, state, collector, [this] { window.OnEvent(); }};

  void SetUp() override { receiver.Listen(); }
};

TEST_F(UdpMonitorTest, firstEvent_loadsTheWindowHiddenRegistersOnceAndShowsFiveLinesKeptOverClose) {
  Receive(kEvent);
  EXPECT_EQ(Sent(), std::vector<ByteString>{kRegistration});
  EXPECT_TRUE(window.Loaded());
  EXPECT_FALSE(window.Visible());
  EXPECT_EQ(window.Text(), kEventText);
  EXPECT_TRUE(mailboxes.monitor.empty());
  EXPECT_EQ(mailboxes.alarm, kEvent);
  window.Show();
  EXPECT_TRUE(window.Visible());
  window.Close();
  EXPECT_FALSE(window.Visible());
  window.Show();
  EXPECT_EQ(Sent(), std::vector<ByteString>{kRegistration});
  EXPECT_EQ(window.Text(), kEventText);
}

TEST_F(UdpMonitorTest, secondEvent_goesOnTopOfTheFirstAndItsStatusSetsVideoLost) {
  Receive(kEvent);
  ByteString later = kEvent;
  later[15] = 0x46;
  later[5] = 0x88;
  Receive(later);
  EXPECT_TRUE(videoLost);
  EXPECT_EQ(window.Display().LineCount(), 10u);
  EXPECT_EQ(window.Display().Line(0), "CAM1  DEC-25-07  9:30:46\r\n");
  EXPECT_EQ(window.Display().Line(5), "CAM1  DEC-25-07  9:30:45\r\n");
  Receive(kEvent);
  EXPECT_FALSE(videoLost);
}

class UdpMonitorFramed : public UdpMonitorTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(UdpMonitorFramed, eventOfWrongLength_showsNothingAndEmptiesTheMonitorFrame) {
  ByteString frame = kEvent;
  frame.resize(GetParam(), 0x30);
  frame.back() = 0x03;
  Receive(frame);
  EXPECT_EQ(window.Display().LineCount(), 0u);
  EXPECT_FALSE(window.Loaded());
  EXPECT_TRUE(socket.sent.empty());
  EXPECT_TRUE(mailboxes.monitor.empty());
  EXPECT_EQ(mailboxes.alarm, frame);
}

INSTANTIATE_TEST_SUITE_P(Lengths, UdpMonitorFramed, ::testing::Values(std::size_t{16}, std::size_t{18}));

TEST_F(UdpMonitorTest, save_writesTheTextExactlyAsShownAndClearEmptiesIt) {
  Receive(kEvent);
  const auto path = std::filesystem::path(::testing::TempDir()) / "udp_monitor_save.txt";
  EXPECT_EQ(window.Save(path), std::nullopt);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kEventText);
  std::filesystem::remove(path);
  window.Clear();
  EXPECT_EQ(window.Text(), "");
}

TEST_F(UdpMonitorTest, saveIntoMissingFolder_saysWhyAndNamesTheFile) {
  const auto path = std::filesystem::path(::testing::TempDir()) / "no-such-folder" / "log.txt";
  EXPECT_EQ(window.Save(path), path.string() + " cannot be saved: No such file or directory");
}

}  // namespace
}  // namespace koral::testing_support
