// The IP address tool: port choice, the write and query messages, the read-back.
#include <gtest/gtest.h>

#include "../link/link_fakes.h"
#include "net/ip_setting_model.h"

namespace koral::testing_support {
namespace {

const ByteString kQuery = {0x01, 0x0F, 0xD3, 0xE6, 0xFF, 0x03};

ByteString Join(ByteString first, const ByteString& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// One byte per write, each 10 ms after the one before, from time 0.
std::vector<SentBytes> Paced(const ByteString& bytes) {
  std::vector<SentBytes> writes;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    writes.push_back({static_cast<std::int64_t>(10 * i), {bytes[i]}});
  return writes;
}

class IpSettingTest : public ::testing::Test {
 protected:
  FakeClock clock;
  FakeSerialPorts ports{clock};
  Transport transport{LinkMode::Serial, clock, &ports, nullptr, nullptr};
  IpAddressModel address{transport, clock};
  IpPortModel chooser{transport, address};
};

class IpPortChoice : public IpSettingTest, public ::testing::WithParamInterface<int> {};

TEST_P(IpPortChoice, item_opensItsPortAt4800AndShowsTheAddressWindow) {
  const int port = GetParam() + 1;
  EXPECT_EQ(IpPortModel::Entries()[static_cast<std::size_t>(GetParam())], "Com" + std::to_string(port) + " 4800,n,8,1");
  EXPECT_EQ(chooser.Choose(GetParam()), std::nullopt);
  for (int n = 1; n <= SerialPorts::kCount; ++n)
    EXPECT_EQ(ports.Fake(n).open, n == port) << "COM" << n;
  EXPECT_EQ(ports.Fake(port).baud, 4800);
  EXPECT_EQ(transport.SerialSettings(), "4800,n,8,1");
  EXPECT_EQ(transport.SendPort(), port);
  EXPECT_FALSE(chooser.Visible());
  EXPECT_TRUE(address.Visible());
  EXPECT_EQ(address.TimerPeriodMs(), 1000);
}

INSTANTIATE_TEST_SUITE_P(Com1To6, IpPortChoice, ::testing::Range(0, 6));

TEST_F(IpSettingTest, portThatFails_isReportedAndTheAddressWindowStillShowsAndWaits) {
  ports.Fake(2).failOpen = true;
  EXPECT_EQ(chooser.Choose(1), (PortOpenFailure{"KORAL", "Access is denied."}));
  EXPECT_TRUE(address.Visible());
  address.Activate();
  EXPECT_TRUE(ports.Fake(2).written.empty());
  EXPECT_EQ(clock.sleeps, std::vector<int>(6, 10));
}

TEST_F(IpSettingTest, activation_clearsThePresentAddressAndQueriesTenMillisecondsPerByte) {
  chooser.Choose(0);
  address.Activate();
  EXPECT_EQ(ports.Fake(1).written, Paced(kQuery));
  EXPECT_EQ(address.PresentAddress(), "");
}

TEST_F(IpSettingTest, setIpWithStartText_writesQueriesAndShowsTheReplyOneSecondLater) {
  chooser.Choose(0);
  address.TimerTick();  // the read-back after load, with nothing to read
  address.SetIp();
  EXPECT_EQ(ports.Fake(1).written, Paced(Join({0x01, 0x10, 0xC0, 0xA8, 0x00, 0x64, 0x03}, kQuery)));
  EXPECT_EQ(clock.now, 130);
  EXPECT_EQ(address.TimerPeriodMs(), 1000);
  EXPECT_EQ(address.TimerStartedAtMs(), 130);
  ports.Fake(1).Feed({192, 168, 0, 100}, false);
  EXPECT_EQ(address.PresentAddress(), "");
  address.TimerTick();
  EXPECT_EQ(address.PresentAddress(), "192.168.0.100");
  EXPECT_EQ(address.TimerPeriodMs(), 0);
}

TEST_F(IpSettingTest, tickAfterTheTimerStopped_readsNothing) {
  chooser.Choose(0);
  address.TimerTick();
  ports.Fake(1).Feed({10, 0, 0, 1}, false);
  address.TimerTick();
  address.Activate();  // does not restart the timer either
  EXPECT_EQ(address.TimerPeriodMs(), 0);
  EXPECT_EQ(ports.Fake(1).incoming.size(), 4u);
}

TEST_F(IpSettingTest, replyLongerThanOneRead_isShownWhole) {
  chooser.Choose(0);
  ByteString reply(40, 7);
  reply.front() = 0x01;
  ports.Fake(1).Feed(reply, false);
  address.TimerTick();
  std::string expected = "1";
  for (int i = 1; i < 40; ++i)
    expected += ".7";
  EXPECT_EQ(address.PresentAddress(), expected);
}

TEST_F(IpSettingTest, addressText_keepsFifteenCharactersAndWhenEmptySendsNothing) {
  address.SetAddressText("192.168.100.100\r\n");
  EXPECT_EQ(address.AddressText(), "192.168.100.100");
  address.SetAddressText(
      "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9"
      "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");  // 16 times "é"
  EXPECT_EQ(address.AddressText().size(), 30u);
  chooser.Choose(0);
  address.TimerTick();
  address.SetAddressText("");
  address.SetIp();
  EXPECT_TRUE(ports.Fake(1).written.empty());
  EXPECT_TRUE(clock.sleeps.empty());
  EXPECT_EQ(address.TimerPeriodMs(), 0);
}

TEST_F(IpSettingTest, setIpText_writesTheMessageThenTheQuery) {
  const struct {
    const char* name;
    const char* text;
    ByteString write;
  } cases[] = {{"plain", "192.168.0.100", {0x01, 0x10, 0xC0, 0xA8, 0x00, 0x64, 0x03}},
               {"startText", "192.168.0.100\r\n", {0x01, 0x10, 0xC0, 0xA8, 0x00, 0x64, 0x03}},
               {"octetThree_isEscaped", "10.0.3.1", {0x01, 0x10, 0x0A, 0x00, 0x00, 0x1F, 0x2F, 0x3F, 0x01, 0x03}},
               {"missingFourth_isZero", "1.2.3", {0x01, 0x10, 0x01, 0x02, 0x00, 0x1F, 0x2F, 0x3F, 0x00, 0x03}},
               {"above255_isZero", "300.1.1.1", {0x01, 0x10, 0x00, 0x01, 0x01, 0x01, 0x03}},
               {"fieldsAfterTheFourth_areIgnored", "9.8.7.6.5.4", {0x01, 0x10, 0x09, 0x08, 0x07, 0x06, 0x03}},
               {"blanksAroundFields_areIgnored", " 10 .\t20.30\n.40", {0x01, 0x10, 0x0A, 0x14, 0x1E, 0x28, 0x03}},
               {"notNumbers_areZero", "a.-1.2x.+4", {0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x03}},
               {"blankInsideAField_isZero", "1 0.255.0.7", {0x01, 0x10, 0x00, 0xFF, 0x00, 0x07, 0x03}},
               {"emptyFields_areZero", "...", {0x01, 0x10, 0x00, 0x00, 0x00, 0x00, 0x03}},
               {"allThrees",
                "3.3.3.3",
                {0x01, 0x10, 0x00, 0x1F, 0x2F, 0x3F, 0x00, 0x1F, 0x2F, 0x3F, 0x00, 0x1F, 0x2F, 0x3F, 0x00, 0x1F, 0x2F,
                 0x3F, 0x03}}};
  chooser.Choose(0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ports.Fake(1).written.clear();
    address.SetAddressText(c.text);
    address.SetIp();
    EXPECT_EQ(ports.Fake(1).WrittenBytes(), Join(c.write, kQuery));
  }
}

}  // namespace
}  // namespace koral::testing_support
