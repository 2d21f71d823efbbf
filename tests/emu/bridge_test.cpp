#include "unit/bridge.h"

#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

const Endpoint kPc{"127.0.0.1", 40000};

struct BridgeFixture {
  Bridge bridge{[this](const std::string& line) { log.push_back(line); }};
  std::vector<std::string> log;
  std::optional<std::uint8_t> Receive(const Bytes& datagram, const Endpoint& from = kPc) {
    return bridge.Receive(datagram, from);
  }
};

TEST(Bridge, byteForTheUnit_comesBetweenLineControlDatagrams) {
  BridgeFixture f;
  EXPECT_EQ(f.Receive({0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00}), std::nullopt);
  EXPECT_TRUE(f.bridge.LineControl());
  EXPECT_EQ(f.Receive({0x01, 0xFE, 0x19, 0xFF, 0xBA, 0x00, 0x00, 0x00}), 0xBA);
  EXPECT_EQ(f.Receive({0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00}), std::nullopt);
  EXPECT_FALSE(f.bridge.LineControl());
  EXPECT_TRUE(f.log.empty());
}

// Each line as logged, with "@" for "from 127.0.0.1:40000".
TEST(Bridge, speedDatagram_setsTheSerialSideAndIsLogged) {
  const struct {
    Bytes datagram;
    std::optional<int> baud;
    std::string logged;
  } cases[] = {
      {{0x02, 0xFD, 0x1A, 0xFF, 0xD4, 0xFF, 0x00, 0x00, 0x00},
       28800,
       "baud divisor D4 FF @: serial side at 28800 baud"},
      {{0x01, 0xFE, 0x00, 0xFF, 0x0A, 0x00, 0x00, 0x00}, 28800, "speed code 10 @: serial side at 28800 baud"},
      {{0x02, 0xFD, 0x1A, 0xFF, 0xFC, 0xFE, 0x00, 0x00, 0x00}, 4800, "baud divisor FC FE @: serial side at 4800 baud"},
      {{0x01, 0xFE, 0x00, 0xFF, 0x04, 0x00, 0x00, 0x00}, std::nullopt, "speed code 4 @ names no speed, kept as it was"},
      {{0x01, 0x02, 0x03}, std::nullopt, "unknown datagram of 3 bytes @: 01 02 03"}};
  for (const auto& c : cases) {
    std::string logged = "bridge: " + c.logged;
    logged.replace(logged.find('@'), 1, "from 127.0.0.1:40000");
    BridgeFixture f;
    EXPECT_EQ(f.Receive(c.datagram), std::nullopt) << logged;
    EXPECT_EQ(f.bridge.Baud(), c.baud) << logged;
    EXPECT_EQ(f.log, (std::vector<std::string>{logged}));
  }
}

TEST(Bridge, framesGoWhereThePcSendsFrom_untilARegistrationAnnouncesAnotherPlace) {
  BridgeFixture f;
  EXPECT_EQ(f.bridge.Destination(), std::nullopt);
  f.Receive({0x01, 0xFE, 0x19, 0xFF, 0xBA, 0x00, 0x00, 0x00});
  EXPECT_EQ(f.bridge.Destination(), kPc);
  f.Receive({0x0E, 0xF1, 0xD0, 0x02, 0x00, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F, 192, 168, 0, 7, 0x72, 0x67, 0, 0, 0});
  f.Receive({0x01, 0xFE, 0x19, 0xFF, 0xBA, 0x00, 0x00, 0x00}, {"10.0.0.9", 5555});
  EXPECT_EQ(f.bridge.Destination(), (Endpoint{"192.168.0.7", 26482}));
  EXPECT_EQ(f.log, (std::vector<std::string>{
                       "bridge: registration of 192.168.0.7:26482 (hardware address 00:1B:2C:3D:4E:5F) from "
                       "127.0.0.1:40000; frames go there now"}));
}

}  // namespace
}  // namespace koral::emu::test
