// The engine wired to the settings window, on fake devices and virtual time:
// connect, check, heartbeat, download and upload as a user would run them.
#include "app/link_engine.h"

#include <gtest/gtest.h>

#include "../link/link_fakes.h"
#include "model/settings_layout.h"
#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

class RecordingWindows : public WindowLayer {
 public:
  bool AskOkCancel(std::string_view, std::string_view text) override {
    log.push_back("ask " + std::string(text));
    return true;
  }
  void ShowMessage(std::string_view, std::string_view text) override { log.push_back("message " + std::string(text)); }
  void AskRetry(std::string_view, std::string_view text) override { log.push_back("retry " + std::string(text)); }
  void ApplyWindowStep(const WindowStep& step) override { steps.push_back(step); }
  void ShowConnectionWindow() override { log.push_back("connection window"); }
  void SetUnpackTimer(int intervalMs) override { unpackTimerMs = intervalMs; }
  void SetSerialMonitorPolling(bool on) override { monitorPolling = on; }

  std::vector<std::string> log;
  std::vector<WindowStep> steps;
  int unpackTimerMs = 0;
  bool monitorPolling = true;
};

ByteString StatusReply() {
  return {0x01, 0x11, 0xBA, 0x18, 0x03};
}

class LinkEngineTest : public ::testing::Test {
 protected:
  LinkEngineTest() {
    wallClock.now = {2006, 12, 31, 23, 59, 7, 1};
    engine.Listen();
  }

  // The serial connection window picks Com1 at 4800 and the unit answers.
  void ConnectAndLoad() {
    engine.SerialConnection().Load();
    const WindowStep step = engine.SerialConnection().Choose(2);
    ASSERT_EQ(step.next, NextWindow::RunConnectionCheck);
    ports.Fake(1).Feed(StatusReply());
    engine.Settings().Load();
    ASSERT_EQ(engine.ConnectionCheck().Check().next, NextWindow::ShowSettingsWindow);
    engine.Settings().Activate(false);
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FixedClock wallClock;
  RecordingWindows windows;
  Session session;
  LinkEngine engine{session, clock, wallClock, LinkDevices{&ports, nullptr, nullptr}, windows};
};

// An answered tick keeps the caption; File > Open ends with a status request.
TEST_F(LinkEngineTest, connectedUnitThatAnswers_keepsTheCaptionCompleteAndOpenAsksForStatus) {
  ConnectAndLoad();
  ports.Fake(1).Feed(StatusReply());
  engine.MainTimerTick();
  EXPECT_EQ(engine.Settings().Caption(), "DAY ,Communication Complete ,Video OK");
  EXPECT_EQ(engine.GetHeartbeat().PollMissCount(), 0);
  const std::size_t before = ports.Fake(1).written.size();
  engine.Settings().OpenSettingsFile(std::nullopt);
  ASSERT_EQ(ports.Fake(1).written.size(), before + 1);
  EXPECT_EQ(ports.Fake(1).written.back().bytes, ByteString{0xBA});
}

TEST_F(LinkEngineTest, download_sendsTheBanksTheWindowEdited) {
  ConnectAndLoad();
  engine.Settings().SetNumber(SettingsWindowModel::NumberIndex("udAddr"), 0x25);
  engine.GetDownload().StartDownload();
  for (int tick = 0; tick < 8 && session.transfer.downloadRequested; ++tick) {
    ports.Fake(1).Feed(StatusReply());
    engine.MainTimerTick();
  }
  EXPECT_FALSE(session.transfer.downloadRequested);
  EXPECT_TRUE(std::find(windows.log.begin(), windows.log.end(), "message Download Completed") != windows.log.end());
  const ByteString wire = ports.Fake(1).WrittenBytes();
  const ByteString registerA = DownloadFrame(DownloadBlock::RegisterA, 0x25, session.banks.Bank(BankId::Day));
  EXPECT_NE(std::search(wire.begin(), wire.end(), registerA.begin(), registerA.end()), wire.end());
}

TEST_F(LinkEngineTest, changingTheUnitSpeed_movesThePcLinkOnTheSamePort) {
  ConnectAndLoad();
  engine.Settings().SelectListItem(SettingsWindowModel::ListIndex("cmbBaudRate"), 3);
  EXPECT_EQ(ports.Fake(1).baud, 9600);
  EXPECT_EQ(session.linkBaudIndex, 3);
  EXPECT_FALSE(windows.steps.empty());
}

}  // namespace
}  // namespace koral::testing_support
