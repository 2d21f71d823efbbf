#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

Bytes RegisterAData() {
  return Bytes(40, 0xD3);
}

Bytes WithByte(Bytes frame, std::size_t at, std::uint8_t value) {
  frame[at] = value;
  return frame;
}

// ---- whole downloads --------------------------------------------------------

// The PC's download, one step per second, with the heartbeat's two status
// requests before every step.
void RunDownload(UnitHarness& h, const RegisterBanks& pc, std::uint8_t address) {
  for (const Bytes& step : DownloadSteps(pc, address)) {
    h.RunFor(1000);
    h.Send({0xBA, 0xBA});
    h.Send(step);
  }
  h.RunFor(1000);
}

// Distinct banks: a byte in the wrong place, or a register A that misses
// NIGHT, shows as a difference.
TEST(Download, completeDownload_unitHoldsThePcSettingsAndAnswersStatusAFrameApart) {
  const RegisterBanks pc = Distinct(0x25);
  UnitHarness h(QuietConfig(), Factory(0x25));
  RunDownload(h, pc, 0x25);
  const RegisterBank& day = h.unit.Banks().Bank(BankId::Day);
  const RegisterBank& night = h.unit.Banks().Bank(BankId::Night);
  EXPECT_TRUE(SameSettings(day, pc.Bank(BankId::Day)));
  EXPECT_TRUE(SameSettings(night, pc.Bank(BankId::Night)));
  EXPECT_EQ(day.dateTime, pc.Bank(BankId::Day).dateTime);
  EXPECT_TRUE(std::equal(night.dateTime.begin() + 14, night.dateTime.end(), day.dateTime.begin() + 14));
  EXPECT_TRUE(h.unit.TakeDownloadCompleted());
  EXPECT_FALSE(h.unit.TakeDownloadCompleted());
  EXPECT_FALSE(h.unit.InTransfer());
  EXPECT_TRUE(h.Logged(
      "<- download frame block 0, 9 registers, address 0x80: DAY Date-Time bytes 0..17, alarm counter and daylight "
      "saving also NIGHT"));
  EXPECT_TRUE(h.Logged("<- download frame block 2, 58 registers, address 0x25: DAY Register bytes 40..155"));
  EXPECT_TRUE(h.Logged(
      "<- download frame block 2, 58 registers, address 0x25: NIGHT Register bytes 40..155; download complete, "
      "10 of 10 frames stored"));
  EXPECT_TRUE(h.Logged("download sequence complete"));
  // Two requests per tick and one after each of the two end markers.
  ASSERT_EQ(h.sent.size(), 16u);
  for (std::size_t i = 0; i < h.sent.size(); ++i) {
    EXPECT_EQ(h.sent[i].bytes, (Bytes{0x01, 0x11, 0xBA, 0x18, 0x03}));
    if (i > 0) {
      EXPECT_GE(h.sent[i].atMs - h.sent[i - 1].atMs, kSerialFrameGapMs);
    }
  }
}

TEST(Download, dayTitle_givesTheRelayStateToNightToo) {
  UnitHarness h(QuietConfig(), Factory(0x25));
  Bytes title(34, 0xD4);
  title[32] = 0xD0;  // Title 16, the relay state: 1
  title[33] = 0xD1;
  h.Send({0x98, 0x98, 0xA1, 0xA0, 0x25, 0x25, 0x25, 0xA1});
  h.Send(DownloadFrameBytes(0x25, 17, 3, title));
  EXPECT_EQ(ReadRegister(h.unit.Banks().Bank(BankId::Night), title::kRelayState), 1);
  EXPECT_EQ(ReadRegister(h.unit.Banks().Bank(BankId::Night), title::Character(0)), 0x21);  // NIGHT's own "Q" stays
}

// A frame that does not parse is logged with its length and what is wrong.
std::string Malformed(const Bytes& frame, const std::string& error) {
  return "<- download frame of " + std::to_string(frame.size()) + " bytes: " + error + ", ignored";
}

TEST(Download, badFrame_isLoggedAndIgnored) {
  const Bytes registerA = DownloadFrameBytes(0x25, 20, 1, RegisterAData());
  const Bytes tooShort = {0xC0, 0xD2, 0xD5, 0xD1, 0xCF};
  const struct {
    const char* name;
    bool inDownload;
    Bytes frame;
    std::string logged;
  } cases[] = {
      {"tooShort", true, tooShort, Malformed(tooShort, "too short (3 bytes after C0)")},
      {"addressNotNibbles", true, WithByte(registerA, 1, 0x25), Malformed(registerA, "malformed address pair 25 D5")},
      {"countNotNibbles", true, WithByte(registerA, 4, 0x04), Malformed(registerA, "malformed count pair D1 04")},
      {"unknownBlock", true, DownloadFrameBytes(0x25, 20, 6, RegisterAData()), Malformed(registerA, "unknown block 6")},
      {"shortData", true, DownloadFrameBytes(0x25, 20, 1, Bytes(38, 0xD0)),
       "<- download frame of 48 bytes: wrong length: 38 data bytes for 20 registers, ignored"},
      {"wrongAddress", true, DownloadFrameBytes(0x05, 58, 2, Bytes(116, 0xD7)),
       "<- download frame block 2, 58 registers, address 0x05: wrong address (this unit is 0x25), "
       "ignored"},
      {"wrongCount", true, DownloadFrameBytes(0x25, 57, 2, Bytes(116, 0xD7)),
       "<- download frame of 126 bytes: wrong count 57 (Register B carries 58), ignored"},
      {"wrongMarker", true, WithByte(DownloadFrameBytes(0x25, 58, 2, Bytes(116, 0xD7)), 8, 0xD4),
       "<- download frame of 126 bytes: wrong marker D0 D4 (D0 D0 expected), ignored"},
      {"noEndByte", true, WithByte(Bytes(200, 0xD1), 0, 0xC0),
       "<- download frame without 0xCF after 169 bytes, dropped"},
      {"outsideADownload", false, registerA,
       "<- download frame block 1, 20 registers, address 0x25: no download in progress, ignored"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UnitHarness h(QuietConfig(), Factory(0x25));
    const RegisterBanks before = h.unit.Banks();
    if (c.inDownload) h.Send({0x98, 0x98, 0xA1, 0xA0, 0x25, 0x25, 0x25, 0xA1});
    h.Send(c.frame);
    EXPECT_EQ(h.unit.Banks().Bank(BankId::Day), before.Bank(BankId::Day));
    EXPECT_EQ(h.unit.Banks().Bank(BankId::Night), before.Bank(BankId::Night));
    EXPECT_TRUE(h.Logged(c.logged)) << testing::PrintToString(h.log);
    EXPECT_EQ(h.unit.InTransfer(), c.inDownload);
  }
}

TEST(Download, frameThatStopsHalfWay_isDroppedAndLaterBytesCountAgain) {
  UnitHarness h(QuietConfig(), Factory(0x25));
  h.Send({0x98, 0x98, 0xA1, 0xA0, 0x25, 0x25, 0x25, 0xA1, 0xC0, 0xD2, 0xD5});
  h.RunFor(kUnfinishedMessageMs);
  h.Send({0xBA});
  EXPECT_TRUE(h.Logged("<- download frame stopped after 3 bytes, dropped"));
  EXPECT_EQ(h.sent.size(), 1u);
}

TEST(Download, transferBytesInsideTheDownload_areNoKeys) {
  UnitHarness h(QuietConfig(), Factory(0x25));
  h.Send({0xA2});  // NIGHT
  RunDownload(h, Distinct(0x25), 0x25);
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Night);  // the many A1 were no DAY key
  EXPECT_EQ(h.unit.Status(), 0x10);
  h.Send({0xA1});
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Day);
}

TEST(Download, downloadThePcDropped_endsAfterHalfAMinuteOfQuiet) {
  UnitHarness h(QuietConfig(), Factory(0x25));
  h.Send({0x98, 0x98, 0xA1, 0xA0, 0x25, 0x25, 0x25, 0xA1, 0xA0});
  h.RunFor(TransferSession::kIdleTimeoutMs - 100);
  EXPECT_TRUE(h.unit.InTransfer());
  h.RunFor(100);
  EXPECT_FALSE(h.unit.InTransfer());
  EXPECT_TRUE(h.Logged("transfer over: nothing heard for 30 s"));
}

TEST(Download, downloadForAnotherAddress_takesOnlyTheFrameForEveryUnit) {
  const RegisterBanks pc = Distinct(0x31);
  UnitHarness h(QuietConfig(), Factory(0x25));
  const RegisterBanks before = h.unit.Banks();
  RunDownload(h, pc, 0x31);
  const RegisterBank& day = h.unit.Banks().Bank(BankId::Day);
  EXPECT_EQ(day.dateTime, pc.Bank(BankId::Day).dateTime);
  EXPECT_EQ(day.registers, before.Bank(BankId::Day).registers);
  EXPECT_EQ(day.zones, before.Bank(BankId::Day).zones);
  EXPECT_TRUE(
      h.Logged("<- download frame block 2, 58 registers, address 0x31: wrong address (this unit is 0x25), ignored"));
  EXPECT_TRUE(
      h.Logged("<- download frame block 2, 58 registers, address 0x31: wrong address (this unit is 0x25), "
               "ignored; download complete, 1 of 10 frames stored"));
}

}  // namespace
}  // namespace koral::emu::test
