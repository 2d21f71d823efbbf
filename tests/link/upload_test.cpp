#include "link/upload.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "link_fakes.h"
#include "scripted_host.h"

namespace koral::testing_support {
namespace {

// 01 id, `count` data bytes counting up from `first`, 03.
ByteString Frame(std::uint8_t id, int first, int count) {
  ByteString frame = {kFrameStart, id};
  for (int k = 0; k < count; ++k)
    frame.push_back(static_cast<std::uint8_t>(first + k));
  frame.push_back(kFrameEnd);
  return frame;
}

// The settings window as an upload meets it: loading resets the banks, and a
// refresh marks them modified through the controls' change handlers.
class WindowHost : public ScriptedHost {
 public:
  explicit WindowHost(RegisterBanks& banks) : banks_(banks) {}
  void ReloadFactorySettings() override {
    banks_ = RegisterBanks{};
    ScriptedHost::ReloadFactorySettings();
  }
  void RefreshWindow() override {
    banks_.SetSettingsModified(true);
    ScriptedHost::RefreshWindow();
  }

 private:
  RegisterBanks& banks_;
};

class UploadTest : public ::testing::TestWithParam<LinkMode> {
 protected:
  void SetUp() override { transport.OpenSerialPort(1, 4800); }
  bool Udp() const { return GetParam() == LinkMode::Udp; }
  // What reached the unit from `sinceMs` on, one byte per entry, on either link.
  std::vector<SentBytes> UnitBytes(std::int64_t sinceMs = 0) {
    std::vector<SentBytes> bytes;
    for (const auto& w : ports.Fake(1).written)
      if (w.atMs >= sinceMs) bytes.push_back(w);
    for (const auto& d : socket.sent)
      if (d.atMs >= sinceMs && d.bytes[2] == 0x19) bytes.push_back({d.atMs, {d.bytes[4]}});
    return bytes;
  }
  // How an upload that began at `t` ends on the wire, a second later.
  std::vector<SentBytes> EndMarkers(std::int64_t t) const {
    std::vector<SentBytes> end = {{t + 1000, {0xA0}}, {t + 1010, {0xA0}}};
    if (Udp()) end.push_back({t + 1120, {0xBA}});
    return end;
  }
  void Collect(const ByteString& frame) {
    Udp() ? collector.CollectNetworkUploadFrame(frame) : collector.CollectUploadFrame(frame);
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  Transport transport{GetParam(), clock, &ports, &socket, nullptr};
  TransferState state;
  Mailboxes mailboxes;
  RegisterBanks banks;
  WindowHost host{banks};
  bool offline = false;
  UploadCollector collector{transport, state, mailboxes, host};
  Upload upload{transport, clock, state, mailboxes, banks, host, offline};
};

INSTANTIATE_TEST_SUITE_P(BothLinks, UploadTest, ::testing::Values(LinkMode::Serial, LinkMode::Udp),
                         [](const auto& link) { return link.param == LinkMode::Udp ? "Udp" : "Serial"; });

TEST_P(UploadTest, start_sendsTheOpeningWithItsWaitsAndRearmsOnlyOnTheNetwork) {
  host.unitAddress = 0x25;
  upload.StartUpload();
  const std::vector<SentBytes> expected = {{0, {0x98}},    {510, {0x98}},  {1020, {0xA0}}, {1130, {0xA8}},
                                           {1240, {0x25}}, {1350, {0x25}}, {1460, {0x25}}, {1570, {0xBB}}};
  EXPECT_EQ(UnitBytes(), expected);
  EXPECT_EQ(socket.closes, Udp() ? 5 : 0);
  EXPECT_TRUE(state.uploadActive);
  EXPECT_EQ(host.log, (std::vector<std::string>{
                          "please wait", "ask Upload: Do you want to upload to PC setting from the QT1-RX ?",
                          "reload defaults", "unpack timer 1000", "monitor poll off", "progress start"}));
}

TEST_P(UploadTest, offlineOrCancelled_sendsNothing) {
  offline = true;
  upload.StartUpload();
  EXPECT_EQ(host.log, std::vector<std::string>{"connection window"});
  offline = false;
  host.okCancelAnswers = {false};
  upload.StartUpload();
  EXPECT_TRUE(UnitBytes().empty());
}

TEST_P(UploadTest, lastBlock_completesOnTheNextTickEvenWithOtherBlocksMissing) {
  upload.StartUpload();
  upload.CheckComplete();
  EXPECT_EQ(host.log.back(), "refresh");
  Collect(Frame(0x20, 0xD1, 12));
  host.log.clear();
  const std::int64_t t = clock.now;
  upload.CheckComplete();

  EXPECT_EQ(UnitBytes(t), EndMarkers(t));
  const std::string done = "message Communication: Upload  Completed";
  using Log = std::vector<std::string>;
  const Log expected = Udp() ? Log{"progress end", done, "unpack timer 0", "adopt", "refresh"}
                             : Log{"progress end", done, "monitor poll on", "unpack timer 0", "adopt"};
  EXPECT_EQ(host.log, expected);
  EXPECT_FALSE(state.uploadActive);
  // Unpacked: Date-Time 14..17 of both banks, then NIGHT registers 148..155.
  EXPECT_EQ(banks.Bank(BankId::Day).dateTime[17], 0xD4);
  EXPECT_EQ(banks.Bank(BankId::Night).registers[148], 0xD5);
}

TEST_P(UploadTest, abandon_givesBackTheBanksActiveBankAndModifiedFlagOfBeforeTheUpload) {
  banks.Bank(BankId::Night).normalSet[3] = 42;
  banks.SetActiveBank(BankId::Day);
  const RegisterBanks before = banks;
  upload.StartUpload();
  upload.StartUpload();  // pressed again while it runs
  Collect(Frame(0x12, 0xD1, 8));
  upload.Unpack();
  upload.CheckComplete();
  const std::size_t sent = UnitBytes().size();
  host.log.clear();
  upload.Abandon();
  EXPECT_EQ(banks.Bank(BankId::Day), before.Bank(BankId::Day));
  EXPECT_EQ(banks.Bank(BankId::Night), before.Bank(BankId::Night));
  EXPECT_EQ(banks.ActiveBank(), BankId::Day);
  EXPECT_FALSE(banks.SettingsModified());
  EXPECT_FALSE(state.uploadActive);
  EXPECT_EQ(UnitBytes().size(), sent);
  EXPECT_EQ(host.log, (std::vector<std::string>{"unpack timer 0", "monitor poll on", "progress end", "refresh"}));
}

// No checksum, but visible damage (a frame of the wrong length for its block, a
// byte that is no DataByte) fails the upload: the same bytes end it on the
// wire, the user is told why and keeps the banks of before.
TEST_P(UploadTest, damagedFrame_endsAsAFailureThatGivesBackTheBanksOfBefore) {
  const struct {
    ByteString frame;
    std::string why;
  } cases[] = {{Frame(0x13, 0xD0, 8), "block 0x13 came in a frame of 11 bytes instead of 15"},
               {Frame(0x23, 0xD0, 3), "block 0x23 came in a frame of 6 bytes instead of 5"},
               {Frame(0x12, 0xDA, 8), "block 0x12 carried the byte 0xE0, which is not a setting value"},
               {{0x01, 0x20, 0xD1, 0xD2, 0xD3, 0x7C, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xDB, 0xDC, 0x03},
                "block 0x20 carried the byte 0x7C, which is not a setting value"}};
  for (const auto& c : cases) {
    banks = RegisterBanks{};
    banks.Bank(BankId::Night).normalSet[3] = 42;
    const RegisterBanks before = banks;
    upload.StartUpload();
    Collect(Frame(0x12, 0xD1, 8));
    Collect(c.frame);
    Collect(Frame(0x20, 0xD1, 12));
    host.log.clear();
    const std::int64_t t = clock.now;
    upload.CheckComplete();
    EXPECT_EQ(UnitBytes(t), EndMarkers(t)) << c.why;
    const std::string told = "message Upload: The upload arrived damaged: " + c.why +
                             ".\nNothing of it was kept; the settings you had before are back.";
    EXPECT_NE(std::find(host.log.begin(), host.log.end(), told), host.log.end()) << c.why;
    EXPECT_EQ(std::count(host.log.begin(), host.log.end(), "adopt"), 0) << c.why;
    EXPECT_EQ(banks.Bank(BankId::Day), before.Bank(BankId::Day)) << c.why;
    EXPECT_EQ(banks.Bank(BankId::Night), before.Bank(BankId::Night)) << c.why;
    EXPECT_FALSE(banks.SettingsModified()) << c.why;
    EXPECT_FALSE(state.uploadActive);
  }
  // The next upload starts sound again.
  upload.StartUpload();
  Collect(Frame(0x20, 0xD1, 12));
  host.log.clear();
  upload.CheckComplete();
  EXPECT_EQ(host.log[1], "message Communication: Upload  Completed");
}

TEST_P(UploadTest, dayRegisterFrames_fillDayRegisters0To39AsTheyArriveAndASecondSetIsIgnored) {
  const auto& day = banks.Bank(BankId::Day).registers;
  for (int f = 0; f < 5; ++f) {
    Collect(Frame(0x12, 8 * f + 1, 8));
    upload.Unpack();
    EXPECT_EQ(day[static_cast<std::size_t>(8 * f + 8)], 0) << "a byte not yet received stays as it was";
  }
  for (int f = 0; f < 5; ++f)
    Collect(Frame(0x12, 0xE0, 8));
  upload.Unpack();
  EXPECT_EQ(host.progress, std::vector<int>(10, 7));
  for (std::size_t k = 0; k < 40; ++k)
    EXPECT_EQ(day[k], k + 1);
  EXPECT_EQ(banks.Bank(BankId::Night), RegisterBank{});
}

TEST_P(UploadTest, secondRelayTitleFrame_replacesTheFirstInBothBanks) {
  Collect(Frame(0x23, 0xD1, 2));
  Collect(Frame(0x23, 0xD7, 2));
  EXPECT_EQ(state.uploadBlocks[kRelayTitleIndex], Frame(0x23, 0xD7, 2));
  EXPECT_EQ(host.progress, (std::vector<int>{98, 98}));
  upload.Unpack();
  for (BankId bank : {BankId::Day, BankId::Night})
    EXPECT_EQ(banks.Bank(bank).title[33], 0xD8);
}

// Nine frames of every block, each byte the block's id: the blocks tile the
// bank fields in id order, with no gap and no overlap.
TEST(UploadDecodeTest, fullBlocks_tileEveryFieldInBlockOrder) {
  UploadBlocks blocks;
  for (std::uint8_t id = 0x12; id <= 0x20; ++id) {
    const bool eightBytes = id == 0x12 || id == 0x17 || id == 0x19 || id == 0x1E;
    ByteString frame(eightBytes ? 11 : 15, id);
    frame.front() = kFrameStart;
    frame.back() = kFrameEnd;
    for (int f = 0; f < 9; ++f)
      blocks[id - 0x12u].insert(blocks[id - 0x12u].end(), frame.begin(), frame.end());
  }
  RegisterBanks banks;
  DecodeUploadBlocks(blocks, banks);
  const RegisterBank& day = banks.Bank(BankId::Day);
  const RegisterBank& night = banks.Bank(BankId::Night);
  const auto tiled = [](auto first, auto last) {
    return std::is_sorted(first, last) && std::count(first, last, 0) == 0;
  };
  EXPECT_TRUE(tiled(day.registers.begin(), day.registers.end()));
  EXPECT_TRUE(tiled(day.zones.begin(), day.zones.end()));
  EXPECT_TRUE(tiled(night.zones.begin(), night.zones.end()));
  EXPECT_TRUE(tiled(night.registers.begin() + 40, night.registers.end()));
  EXPECT_TRUE(tiled(day.title.begin(), day.title.begin() + 32));
  EXPECT_TRUE(tiled(night.title.begin(), night.title.begin() + 32));
  EXPECT_EQ(std::count(night.registers.begin(), night.registers.end(), 0x1F), 108);
}

}  // namespace
}  // namespace koral::testing_support
