#include "link/download.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "link_fakes.h"
#include "scripted_host.h"

namespace koral::testing_support {
namespace {

constexpr std::uint8_t kAddress = 0x25;
constexpr std::uint8_t kDaySeconds = 0xD9;  // what the window's clock writes
constexpr std::int64_t kTickMs = 1000;
using Lines = std::vector<std::string>;

ByteString Cat(std::initializer_list<ByteString> parts) {
  ByteString all;
  for (const ByteString& part : parts)
    all.insert(all.end(), part.begin(), part.end());
  return all;
}

class ClockedHost : public ScriptedHost {
 public:
  explicit ClockedHost(RegisterBanks& banks) : banks_(banks) {}
  void UpdateDayClockRegisters() override {
    ScriptedHost::UpdateDayClockRegisters();
    banks_.Bank(BankId::Day).dateTime[11] = kDaySeconds;
  }

 private:
  RegisterBanks& banks_;
};

struct Step {
  ByteString bytes;
  std::int64_t durationMs;
  int rearms;
};

class DownloadTest : public ::testing::TestWithParam<LinkMode> {
 protected:
  void Use(LinkMode mode) {
    RegisterBank& night = banks.Bank(BankId::Night);  // DAY stays zero: a frame shows its bank
    night.registers.fill(0xD2), night.title.fill(0xD2), night.zones.fill(0xD2), night.dateTime.fill(0xD2);
    host.unitAddress = kAddress;
    transport = std::make_unique<Transport>(mode, clock, &ports, &socket, nullptr);
    if (mode == LinkMode::Serial) transport->OpenSerialPort(1, 4800);
    download = std::make_unique<Download>(*transport, clock, state, banks, host, offline);
  }
  ByteString UnitBytes() {
    return transport->Mode() == LinkMode::Udp ? socket.UnitBytes() : ports.Fake(1).WrittenBytes();
  }
  // Start, then one step per tick, a second apart.
  std::vector<Step> RunWhole() {
    download->StartDownload();
    std::vector<Step> steps;
    while (state.downloadRequested) {
      clock.now = (clock.now / kTickMs + 1) * kTickMs;
      const auto [start, sent, closes] = std::tuple(clock.now, UnitBytes().size(), socket.closes);
      download->RunDownloadStep();
      const ByteString after = UnitBytes();
      steps.push_back({{after.begin() + static_cast<std::ptrdiff_t>(sent), after.end()},
                       clock.now - start,
                       socket.closes - closes});
    }
    return steps;
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  RegisterBanks banks;
  ClockedHost host{banks};
  TransferState state;
  bool offline = false;
  std::unique_ptr<Transport> transport;
  std::unique_ptr<Download> download;
};

TEST(DownloadFrameTest, eachBlock_isAddressCountAndBlockPairsThenTheBytesAsStoredThenCf) {
  RegisterBank bank;  // every byte holds its own index, so a slice shows where it came from
  const auto number = [](auto& bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
      bytes[i] = static_cast<std::uint8_t>(i);
  };
  number(bank.registers), number(bank.title), number(bank.zones), number(bank.dateTime);
  struct Case {
    DownloadBlock block;
    ByteString head;
    std::size_t size;
    std::size_t first;
  };
  const Case cases[] = {{DownloadBlock::DateTime, {0xC0, 0xD8, 0xD0, 0xD0, 0xD9, 0xD0, 0xD0, 0xD0, 0xD0}, 18, 0},
                        {DownloadBlock::RegisterA, {0xC0, 0xD2, 0xD5, 0xD1, 0xD4, 0xD0, 0xD1, 0xD0, 0xD0}, 40, 0},
                        {DownloadBlock::RegisterB, {0xC0, 0xD2, 0xD5, 0xD3, 0xDA, 0xD0, 0xD2, 0xD0, 0xD0}, 116, 40},
                        {DownloadBlock::Title, {0xC0, 0xD2, 0xD5, 0xD1, 0xD1, 0xD0, 0xD3, 0xD0, 0xD0}, 34, 0},
                        {DownloadBlock::Zone1, {0xC0, 0xD2, 0xD5, 0xD4, 0xD8, 0xD0, 0xD4, 0xD0, 0xD0}, 144, 0},
                        {DownloadBlock::Zone2, {0xC0, 0xD2, 0xD5, 0xD4, 0xD8, 0xD0, 0xD5, 0xD0, 0xD0}, 144, 144}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.block));
    ByteString expected = c.head;
    for (std::size_t i = c.first; i < c.first + c.size; ++i)
      expected.push_back(static_cast<std::uint8_t>(i));
    expected.push_back(0xCF);
    EXPECT_EQ(DownloadFrame(c.block, kAddress, bank), expected);
  }
  EXPECT_EQ(DownloadFrame(DownloadBlock::DateTime, 0x00, bank), DownloadFrame(DownloadBlock::DateTime, 0x7F, bank));
}

TEST_F(DownloadTest, stepOneConfirmed_opensTheUnitWithItsWaitsThenSendsTheFreshDayClock) {
  Use(LinkMode::Serial);
  download->StartDownload();
  clock.now = kTickMs;
  download->RunDownloadStep();
  const std::vector<SentBytes>& sent = ports.Fake(1).written;
  ASSERT_EQ(sent.size(), 1u + 8 + 28 + 1);
  const std::vector<SentBytes> opening = {{0, {0xBA}},    {1000, {0x98}}, {1510, {0x98}}, {1920, {0xA1}},
                                          {2030, {0xA0}}, {2140, {0x25}}, {2250, {0x25}}, {2360, {0x25}},
                                          {2470, {0xA1}}, {2580, {0xC0}}};
  EXPECT_EQ(std::vector<SentBytes>(sent.begin(), sent.begin() + 10), opening);
  EXPECT_EQ(sent[9 + 9 + 11].bytes, ByteString{kDaySeconds});  // NIGHT is on show, the frame carries DAY
  EXPECT_EQ(sent.back(), (SentBytes{2860, {0x25}}));
  EXPECT_EQ(host.log, (Lines{"please wait", "ask Download: COM1 Baudrate 4800,n,8,1", "progress start", "day clock",
                             "progress 10"}));
}

TEST_F(DownloadTest, stepOneCancelled_sendsA0ThenBaAndEndsTheDownload) {
  Use(LinkMode::Serial);
  host.okCancelAnswers = {false};
  download->StartDownload();
  clock.now = kTickMs;
  download->RunDownloadStep();
  EXPECT_EQ(ports.Fake(1).written, (std::vector<SentBytes>{{0, {0xBA}}, {1000, {0xA0}}, {1110, {0xBA}}}));
  EXPECT_FALSE(state.downloadRequested);
  EXPECT_EQ(state.downloadStep, 0);
  EXPECT_TRUE(host.Saw("progress end"));  // the "Please wait" notice comes down
}

TEST_P(DownloadTest, wholeDownloadToUnit25_sendsEveryBlockOnceWithThePlainAddressBetween) {
  Use(GetParam());
  const std::vector<Step> steps = RunWhole();
  const auto frame = [&](DownloadBlock block, BankId bank) { return DownloadFrame(block, kAddress, banks.Bank(bank)); };
  using B = DownloadBlock;
  constexpr BankId kDay = BankId::Day, kNight = BankId::Night;
  const ByteString a = {kAddress};
  const std::vector<Step> expected = {
      {Cat({{0x98, 0x98, 0xA1, 0xA0, 0x25, 0x25, 0x25, 0xA1}, frame(B::DateTime, kDay), a}), 1870, 3},
      {Cat({a, frame(B::RegisterA, kDay), a}), 520, 1},  // the shared registers, once
      {Cat({a, frame(B::Title, kDay), a}), 460, 1},
      {Cat({a, frame(B::Zone1, kDay), frame(B::Zone2, kDay), a, frame(B::RegisterB, kDay), a}), 4570, 1},
      {Cat({a, frame(B::Zone1, kNight), frame(B::Zone2, kNight), a}), 3200, 1},
      {Cat({a, frame(B::Title, kNight), a}), 460, 1},
      {Cat({a, frame(B::RegisterB, kNight), {0xA0, 0xA1, 0xA1, 0xA0, 0xA0, 0xBA, 0xA0, 0xBA}}), 2350, 2}};
  ASSERT_EQ(steps.size(), expected.size());
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i + 1));
    EXPECT_EQ(steps[i].bytes, expected[i].bytes);
    EXPECT_EQ(steps[i].durationMs, expected[i].durationMs);
    EXPECT_EQ(steps[i].rearms, GetParam() == LinkMode::Udp ? expected[i].rearms : 0);
  }
  EXPECT_EQ(UnitBytes().size(), 1064u);  // with the status request of the menu
  EXPECT_EQ(host.progress, (std::vector<int>{10, 20, 30, 45, 60, 75, 85, 100}));
  EXPECT_TRUE(host.Saw("message Communication: Download Completed"));
}
INSTANTIATE_TEST_SUITE_P(Links, DownloadTest, ::testing::Values(LinkMode::Serial, LinkMode::Udp));

TEST_F(DownloadTest, networkDownload_asksItsOwnQuestionAndEndsWithTheDivisorOfTheUnitSpeed) {
  const ByteString divisor9600 = {0x02, 0xFD, 0x1A, 0xFF, 0x7E, 0xFF, 0x00, 0x00, 0x00};
  for (const auto& [position, bridge] :
       std::vector<std::pair<int, std::vector<ByteString>>>{{3, {divisor9600}}, {6, {}}}) {
    SCOPED_TRACE(position);
    socket.sent.clear();
    Use(LinkMode::Udp);
    host.unitBaudPosition = position;
    RunWhole();
    std::vector<ByteString> bridgeDatagrams;  // neither line control nor a unit byte
    for (const auto& [at, bytes] : socket.sent)
      if (bytes[2] != 0x15 && bytes[2] != 0x19) bridgeDatagrams.push_back(bytes);
    EXPECT_EQ(bridgeDatagrams, bridge);
    if (!bridge.empty()) {
      EXPECT_EQ(socket.sent[socket.sent.size() - 7].bytes, bridge[0]);  // then only A0 and BA
    }
    EXPECT_TRUE(host.Saw("ask Download: Do you want to download the QT1-RX setting to the PC ?"));
  }
}

}  // namespace
}  // namespace koral::testing_support
