#include "unit/ip_setting.h"

#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

struct OctetCase {
  const char* name;
  Bytes body;
  std::optional<Ipv4Address> address;
};

TEST(IpOctets, writeBody_decodesToTheAddress) {
  const OctetCase cases[] = {{"factory", {0xC0, 0xA8, 0x00, 0x64}, Ipv4Address{192, 168, 0, 100}},
                             {"escapedThree", {0x0A, 0x00, 0x00, 0x1F, 0x2F, 0x3F, 0x01}, Ipv4Address{10, 0, 3, 1}},
                             {"threeThenZero", {0x01, 0x02, 0x00, 0x1F, 0x2F, 0x3F, 0x00}, Ipv4Address{1, 2, 3, 0}},
                             {"allThrees",
                              {0, 0x1F, 0x2F, 0x3F, 0, 0x1F, 0x2F, 0x3F, 0, 0x1F, 0x2F, 0x3F, 0, 0x1F, 0x2F, 0x3F},
                              Ipv4Address{3, 3, 3, 3}},
                             {"escapeLookalike", {0x00, 0x1F, 0x2F, 0x3F}, Ipv4Address{0, 31, 47, 63}},
                             {"threeOctets", {0x0A, 0x00, 0x01}, std::nullopt},
                             {"fiveOctets", {1, 2, 4, 5, 6}, std::nullopt}};
  for (const OctetCase& c : cases)
    EXPECT_EQ(DecodeIpOctets(c.body), c.address) << c.name;
}

TEST(IpOctets, encoding_escapesOnlyTheThrees) {
  EXPECT_EQ(EncodeIpOctets({10, 0, 3, 1}), (Bytes{0x0A, 0x00, 0x00, 0x1F, 0x2F, 0x3F, 0x01}));
  EXPECT_EQ(IpText({10, 0, 3, 1}), "10.0.3.1");
}

TEST(IpSetting, queryWriteQuery_answersTheFactoryThenTheNewAddress) {
  UnitHarness h;
  h.Send({0x01, 0x0F, 0xD3, 0xE6, 0xFF, 0x03});
  EXPECT_EQ(h.sent, (std::vector<Sent>{{50, {192, 168, 0, 100}}}));
  EXPECT_EQ(h.log, (std::vector<std::string>{"<- IP address query", "-> IP address 192.168.0.100: C0 A8 00 64"}));
  h.Send({0x01, 0x10, 0x0A, 0x00, 0x00, 0x1F, 0x2F, 0x3F, 0x01, 0x03});
  h.Send({0x01, 0x0F, 0xD3, 0xE6, 0xFF, 0x03});
  ASSERT_EQ(h.sent.size(), 2u);
  EXPECT_EQ(h.sent[1].bytes, (Bytes{10, 0, 3, 1}));
  EXPECT_TRUE(h.Logged("<- IP address write 10.0.3.1"));
}

TEST(IpSetting, writeOfTheWrongLengthOrStoppedHalfWay_keepsTheAddress) {
  UnitHarness h;
  h.Send({0x01, 0x10, 0x0A, 0x00, 0x03});
  EXPECT_TRUE(h.Logged("<- IP address write 0A 00 is not four octets, ignored"));
  h.Send({0x01, 0x10, 0xC0, 0xA8});
  h.RunFor(kUnfinishedMessageMs);
  h.Send({0xBA});
  EXPECT_TRUE(h.Logged("<- IP message stopped half-way, dropped"));
  EXPECT_EQ(h.unit.IpAddress(), kFactoryIpAddress);
  EXPECT_EQ(h.sent.size(), 1u);
}

// 0x01 starts an IP message only when one follows; otherwise it is an address byte.
TEST(IpSetting, addressOneFollowedByAnotherByteOrAlone_isAnAddressByte) {
  UnitHarness mx(QuietConfig(UnitModel::QtMx), Factory(0x01));
  mx.Send({0x01, 0xB3, 0xBA});
  EXPECT_TRUE(mx.unit.Selected());
  EXPECT_EQ(mx.sent.size(), 1u);
  UnitHarness h;
  h.Send({0x01});
  EXPECT_TRUE(h.log.empty());
  h.RunFor(kAddressLookaheadMs);
  EXPECT_EQ(h.log, (std::vector<std::string>{"<- address 0x01 (no effect on a QT-1RX)"}));
}

}  // namespace
}  // namespace koral::emu::test
