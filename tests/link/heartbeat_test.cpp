#include "link/heartbeat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "link_fakes.h"
#include "scripted_host.h"

namespace koral::testing_support {
namespace {

constexpr std::int64_t kTickMs = 1000;
const ByteString kStatusReply = {0x01, 0x11, 0xBA, 0x00, 0x03};
using Lines = std::vector<std::string>;

// A message box runs a nested event loop, in which the main timer fires again.
class ReentrantHost : public ScriptedHost {
 public:
  bool AskOkCancel(std::string_view title, std::string_view text) override {
    if (duringBox) duringBox();
    return ScriptedHost::AskOkCancel(title, text);
  }
  std::function<void()> duringBox;
};

class HeartbeatTest : public ::testing::TestWithParam<bool> {
 protected:
  void Use(LinkMode mode) {
    transport = std::make_unique<Transport>(mode, clock, &ports, &socket, nullptr);
    if (mode == LinkMode::Serial) transport->OpenSerialPort(1, 4800);
    download = std::make_unique<Download>(*transport, clock, state, banks, host, offline);
    heartbeat = std::make_unique<Heartbeat>(*transport, clock, state, mailboxes, host, *download, offline,
                                            UploadSupervision{[this] { ++uploadChecks; }, [this] { ++abandons; }});
  }
  // One tick at the next whole second: what the unit received, with times.
  std::vector<SentBytes> Tick() {
    clock.now = (clock.now / kTickMs + 1) * kTickMs;
    const std::size_t before = ports.Fake(1).written.size();
    heartbeat->Tick();
    const auto& written = ports.Fake(1).written;
    return {written.begin() + static_cast<std::ptrdiff_t>(before), written.end()};
  }
  Lines LogSince(const std::string& line) const {
    return {std::find(host.log.begin(), host.log.end(), line), host.log.end()};
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  RegisterBanks banks;
  ReentrantHost host;
  TransferState state;
  Mailboxes mailboxes;
  bool offline = false;
  int uploadChecks = 0;
  int abandons = 0;
  std::unique_ptr<Transport> transport;
  std::unique_ptr<Download> download;
  std::unique_ptr<Heartbeat> heartbeat;
};

// Idle, the unit is asked for its status; uploading, for its settings again.
TEST_P(HeartbeatTest, silentUnitOnSerial_isAskedEveryTickAndGivenUpOnTheFifteenth) {
  const bool uploading = GetParam();
  Use(LinkMode::Serial);
  state.uploadActive = uploading;
  const std::uint8_t ask = uploading ? 0xBB : 0xBA;
  for (int tick = 1; tick < 15; ++tick)
    ASSERT_EQ(Tick(), (std::vector<SentBytes>{{tick * kTickMs, {ask}}})) << tick;
  const std::vector<SentBytes> idleEnd = {{15000, {0xBA}}, {15010, {0xA0}}};
  const std::vector<SentBytes> uploadEnd = {{15100, {0xA0}}, {15210, {0xA4}}};
  EXPECT_EQ(Tick(), uploading ? uploadEnd : idleEnd);
  EXPECT_EQ(host.missedPolls, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
  Lines failure = {"caption fail", "retry Communication Fail: Do you want to retry ?", "stop timer",
                   "connection window"};
  if (!uploading) failure.insert(failure.end(), {"progress end", "refresh"});  // the upload's Abandon does these
  EXPECT_EQ(LogSince("caption fail"), failure);
  EXPECT_EQ(abandons, uploading ? 1 : 0);
  EXPECT_EQ(heartbeat->PollMissCount(), 0);
  EXPECT_EQ(uploadChecks, 15);
}
INSTANTIATE_TEST_SUITE_P(IdleAndUploading, HeartbeatTest, ::testing::Bool());

TEST_F(HeartbeatTest, silentUnitOnNetwork_isAskedFromTheSeventhTickWithARearmAndAPause) {
  Use(LinkMode::Udp);
  struct Range {
    int first, last, rearms;
    ByteString bytes;
    std::int64_t durationMs;
  };
  for (const Range& range :
       {Range{1, 6, 0, {}, 0}, Range{7, 14, 1, {0xBA}, 110}, Range{15, 15, 2, {0xBA, 0xA0}, 220}}) {
    for (int tick = range.first; tick <= range.last; ++tick) {
      const auto [closes, sent] = std::pair(socket.closes, socket.UnitBytes().size());
      Tick();
      const ByteString after = socket.UnitBytes();
      EXPECT_EQ(socket.closes - closes, range.rearms) << tick;
      EXPECT_EQ(ByteString(after.begin() + static_cast<std::ptrdiff_t>(sent), after.end()), range.bytes) << tick;
      EXPECT_EQ(clock.now - tick * kTickMs, range.durationMs) << tick;
    }
  }
  EXPECT_TRUE(host.Saw("retry Communication Fail: Do you want to retry ?"));
}

TEST_F(HeartbeatTest, silentUnitDuringDownload_dropsItOnTheSecondTickBeforeAnyFurtherStep) {
  Use(LinkMode::Serial);
  download->StartDownload();
  Tick();  // status request, poll, check (miss 1), step 1 until 2890
  EXPECT_EQ(state.downloadStep, 1);
  EXPECT_EQ(Tick(), (std::vector<SentBytes>{{3000, {0xBA}}, {3010, {0xBA}}, {3020, {0xA0}}}));
  EXPECT_FALSE(state.downloadRequested);
  EXPECT_EQ(state.downloadStep, 0);
  EXPECT_FALSE(host.Saw("progress 20"));
}

TEST_F(HeartbeatTest, tickWhileATickShowsABox_isSkipped) {
  Use(LinkMode::Serial);
  host.duringBox = [this] { heartbeat->Tick(); };
  download->StartDownload();
  Tick();
  EXPECT_TRUE(state.downloadRequested);
  EXPECT_EQ(state.downloadStep, 1);
  EXPECT_EQ(host.missedPolls, std::vector<int>{1});
}

TEST_F(HeartbeatTest, offline_runsClockUploadCheckStatusRequestAndStepButNoCheck) {
  Use(LinkMode::Serial);
  offline = true;
  host.okCancelAnswers = {false};
  EXPECT_TRUE(Tick().empty());
  state.downloadRequested = true;  // a download the user began before going offline
  EXPECT_EQ(Tick(), (std::vector<SentBytes>{{2000, {0xBA}}, {2010, {0xA0}}, {2120, {0xBA}}}));
  EXPECT_EQ(host.log.front(), "clock");
  EXPECT_EQ(uploadChecks, 2);
  EXPECT_TRUE(host.missedPolls.empty());
  EXPECT_FALSE(host.Saw("caption complete") || host.Saw("caption fail"));
}

TEST_F(HeartbeatTest, qtMx_isNeverPolledNorSupervised) {
  Use(LinkMode::Serial);
  host.serialWindowMenu = false;
  for (int tick = 1; tick <= 20; ++tick)
    ASSERT_TRUE(Tick().empty()) << tick;
  EXPECT_TRUE(host.missedPolls.empty());
  EXPECT_EQ(uploadChecks, 20);
}

TEST_F(HeartbeatTest, statusFrameBeforeATick_resetsTheCountAndRewritesTheCaption) {
  Use(LinkMode::Serial);
  for (int tick = 1; tick <= 3; ++tick)
    Tick();
  mailboxes.PostStatus(kStatusReply);
  Tick();
  EXPECT_EQ(host.log.back(), "caption complete");
  EXPECT_EQ(heartbeat->PollMissCount(), 0);
  EXPECT_TRUE(mailboxes.status.empty());
  Tick();
  EXPECT_EQ(host.missedPolls, (std::vector<int>{1, 2, 3, 1}));
}

}  // namespace
}  // namespace koral::testing_support
