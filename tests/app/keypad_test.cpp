// The remote keypad: key bytes, address selection with its waits, per-model keys.
#include <gtest/gtest.h>

#include "../link/link_fakes.h"
#include "app/keypad_model.h"

namespace koral::testing_support {
namespace {

constexpr std::uint8_t kEnd = 0xB3;

class KeypadTest : public ::testing::Test {
 protected:
  KeypadTest() {
    transport.OpenSerialPort(1, 4800);
    Reopen(UnitModel::QtMx);
  }
  void Reopen(UnitModel model) {
    session.unitModel = model;
    keypad.Load();
    sent.clear();
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  std::vector<SentBytes>& sent = ports.Fake(1).written;
  Session session;
  Transport transport{LinkMode::Serial, clock, &ports, nullptr, nullptr};
  KeypadModel keypad{session, transport, clock};
};

TEST_F(KeypadTest, group7Address15Select_sends127ThenEndAndShows127) {
  keypad.SetGroup(7);
  keypad.SetAddress(15);
  sent.clear();
  const std::int64_t t = clock.now;
  keypad.Select();
  EXPECT_EQ(sent, (std::vector<SentBytes>{{t, {127}}, {t + 110, {kEnd}}}));
  EXPECT_EQ(keypad.AddressLabel().caption, "127");
}

TEST_F(KeypadTest, spinnerMoves_sendTheNewTargetAtOnce) {
  keypad.SetAddress(5);
  EXPECT_EQ(keypad.AddressLabel().caption, "05");
  keypad.SetAddress(0);
  keypad.SetGroup(2);
  EXPECT_EQ(keypad.GroupLabel().caption, "32-47");
  EXPECT_EQ(keypad.Address().value, 0);
  EXPECT_EQ(sent, (std::vector<SentBytes>{{0, {5}}, {10, {0}}, {20, {32}}}));
}

TEST_F(KeypadTest, firstSelectAfterReopening_repeatsTheAddressWithBothWaits) {
  keypad.SetGroup(3);
  keypad.Select();
  Reopen(UnitModel::QtMx);
  const std::int64_t t = clock.now;
  keypad.Select();  // the 10 ms settle of every byte, then the selection's own wait
  EXPECT_EQ(sent, (std::vector<SentBytes>{{t, {0}}, {t + 110, {0}}, {t + 320, {kEnd}}}));
  EXPECT_EQ(keypad.GroupLabel().caption, "00-15");
}

TEST_F(KeypadTest, everyControlUsed_onlyTheModelsOwnKeysSend) {
  const std::pair<UnitModel, ByteString> cases[] = {
      {UnitModel::Qt1Rx, {0x91, 0x92, 0x94, 0x98, 0xA1, 0xA2, 0xA4, 0xA5, 0xA8}},
      {UnitModel::QtMx, {0xA0, 0xA1, 0xA2, 0xA4, 0xA5, 0xA8, 0xB0, 0xB4, 0xB5, 0xB6, 0xB7, 0xBD, 16, 17, 17, kEnd}},
  };
  for (const auto& [model, bytes] : cases) {
    Reopen(model);
    for (const KeypadKeyInfo& info : kKeypadKeys)
      keypad.Press(info.key);
    keypad.SetGroup(1);
    keypad.SetAddress(1);
    keypad.Select();
    EXPECT_EQ(ports.Fake(1).WrittenBytes(), bytes) << UnitModelName(model);
  }
}

TEST(KeypadNetworkTest, everyByte_goesOutOverAFreshlyRearmedSocket) {
  FakeClock clock;
  FakeUdpSocket socket{clock};
  Session session;
  session.unitModel = UnitModel::QtMx;
  Transport transport{LinkMode::Udp, clock, nullptr, &socket, nullptr};
  KeypadModel keypad{session, transport, clock};
  keypad.Press(KeypadKey::Day);
  keypad.SetAddress(2);
  EXPECT_EQ(socket.events, "RdddRddd");
  EXPECT_EQ(socket.UnitBytes(), (ByteString{0xA1, 2}));
}

}  // namespace
}  // namespace koral::testing_support
