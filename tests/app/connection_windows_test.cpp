// The connection windows, the connection check and the dialog "Connection".
#include <gtest/gtest.h>

#include "../link/link_fakes.h"
#include "app/connection_check_model.h"
#include "app/network_connection_model.h"
#include "app/serial_connection_model.h"
#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

const std::string kHint =
    "\nYour user may need to be in the dialout group (sudo usermod -aG dialout $USER, then log in again).";

class ConnectionTest : public ::testing::Test {
 protected:
  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  FakeHardwareAddresses macs;
  Session session;
  Transport serial{LinkMode::Serial, clock, &ports, nullptr, nullptr};
  Transport udp{LinkMode::Udp, clock, nullptr, &socket, &macs};
  RecordingLink link;
  FixedClock wallClock;
  SettingsWindowModel settings{session, link, wallClock};
  SerialConnectionModel setting{session, serial};
  NetworkConnectionModel setUdp{session, udp, clock};
};

TEST_F(ConnectionTest, com3At19200ForQt1Rx_opensItSetsIndex4AndAsksForStatus) {
  setting.Load();
  EXPECT_EQ(setting.Choose(16).next, NextWindow::RunConnectionCheck);
  EXPECT_EQ(serial.SerialSettings(), "19200,n,8,1");
  EXPECT_EQ(session.linkBaudIndex, 4);
  EXPECT_EQ(ports.Fake(3).written, (std::vector<SentBytes>{{0, {0xBA}}}));
}

TEST_F(ConnectionTest, com3At19200ForQtMx_isMovedTo4800OnEveryChoice) {
  setting.Options().ChooseModel(UnitModel::QtMx);
  for (int choice = 0; choice < 2; ++choice) {
    EXPECT_EQ(setting.Choose(16).next, NextWindow::ShowSettingsWindow);
    EXPECT_EQ(setting.Entries().items[static_cast<std::size_t>(*setting.Entries().position)], "Com3 4800,n,8,1");
    EXPECT_EQ(ports.Fake(3).baud, 4800);
  }
  EXPECT_EQ(ports.Fake(3).openCount, 1);
  EXPECT_TRUE(ports.Fake(3).written.empty());
}

TEST_F(ConnectionTest, movingToAnotherPort_closesTheOldOneOnceTheNewOneIsOpen) {
  setting.Choose(2);
  ports.Fake(2).failOpen = true;
  setting.Choose(8);
  EXPECT_EQ(serial.ReceivePort(), 1);  // the port still in use
  ports.Fake(2).failOpen = false;
  setting.Choose(8);
  setting.Choose(9);
  EXPECT_FALSE(ports.Fake(1).open);
  EXPECT_TRUE(ports.Fake(2).open);
}

TEST_F(ConnectionTest, failedOpen_showsTheReasonThenClosingOffersRetryBeforeTheExitQuestion) {
  ports.Fake(2).failOpen = true;
  EXPECT_EQ(setting.Choose(8),
            (WindowStep{NextWindow::Stay, DialogMessage{"KORAL", "Access is denied." + kHint, DialogButtons::Ok}}));
  EXPECT_EQ(setting.Close(), (WindowStep{NextWindow::AskPortError, DialogMessage{"Warning", "Access is denied." + kHint,
                                                                                 DialogButtons::RetryCancel}}));
  EXPECT_EQ(setting.AnswerPortError(true).next, NextWindow::Stay);
  setting.Load();
  EXPECT_EQ(setting.Close(),
            (WindowStep{NextWindow::AskExit, DialogMessage{"Warning", "Do you want to exit ?", DialogButtons::YesNo}}));
  EXPECT_EQ(setting.AnswerExit(false).next, NextWindow::Stay);
}

TEST(PortErrorMessageTest, refusedDevice_getsTheDialoutHintOnceAfterThePlatformText) {
  EXPECT_EQ(PortErrorMessage("Permission denied"), "Permission denied" + kHint);
  EXPECT_EQ(PortErrorMessage("No such file or directory"), "No such file or directory");
  EXPECT_EQ(PortErrorMessage("Permission denied: join dialout"), "Permission denied: join dialout");
}

TEST_F(ConnectionTest, networkLoadThenConnectAt28800ForQt1Rx_startsTheBridgeAt4800ThenSetsItAndWakesTheUnit) {
  session.unitModel = UnitModel::QtMx;
  setUdp.Load();
  EXPECT_EQ(socket.remoteHost + ":" + std::to_string(socket.remotePort) + ":" + std::to_string(socket.localPort),
            "192.168.0.100:26482:26482");
  EXPECT_EQ(setUdp.LocalAddress(), "192.168.0.10");
  EXPECT_EQ(session.unitModel, UnitModel::Qt1Rx);
  EXPECT_EQ(setUdp.Speeds().position, 2);
  EXPECT_EQ(socket.sent, (std::vector<SentBytes>{{0, {0x02, 0xFD, 0x1A, 0xFF, 0xFC, 0xFE, 0x00, 0x00, 0x00}},
                                                 {0, {0x01, 0xFE, 0x00, 0xFF, 0x03, 0x00, 0x00, 0x00}}}));
  setUdp.SelectSpeed(5);
  setUdp.SetAddressText("10.0.0.7");
  socket.sent.clear();
  EXPECT_EQ(setUdp.Connect().next, NextWindow::RunConnectionCheck);
  std::vector<SentBytes> expected = {
      {0, {0x02, 0xFD, 0x1A, 0xFF, 0xD4, 0xFF, 0x00, 0x00, 0x00}},
      {0, {0x01, 0xFE, 0x00, 0xFF, 0x0A, 0x00, 0x00, 0x00}},
      {0, {0x0E, 0xF1, 0xD0, 0x02, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 192, 168, 0, 10, 0x72, 0x67, 0x00, 0x00, 0x00}}};
  for (const auto& [at, b] : {std::pair{0, 0xBA}, {110, 0xBA}, {220, 0xA0}}) {
    expected.push_back({at, {0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00}});
    expected.push_back({at, {0x01, 0xFE, 0x19, 0xFF, static_cast<std::uint8_t>(b), 0x00, 0x00, 0x00}});
    expected.push_back({at + 10, {0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00}});
  }
  EXPECT_EQ(socket.sent, expected);
  EXPECT_EQ(clock.now, 330);
  EXPECT_EQ(session.linkBaudIndex, 5);
  EXPECT_EQ(socket.remoteHost, "10.0.0.7");
}

TEST_F(ConnectionTest, connectWithTextThatIsNoAddress_saysWhyAndSendsNothing) {
  const std::string advice =
      " is not an IP address.\nPlease enter four numbers from 0 to 255 joined by dots, such as "
      "192.168.0.100.";
  const std::pair<const char*, std::string> cases[] = {
      {"192.168.0", "\"192.168.0\"" + advice},
      {"192.168.0.256", "\"192.168.0.256\"" + advice},
      {"bridge.local", "\"bridge.local\"" + advice},
      {"192.168.0.100 x", "\"192.168.0.100 x\"" + advice},
      {"  ", "Please enter the IP address of the bridge, such as 192.168.0.100."},
  };
  setUdp.Load();
  setUdp.SelectSpeed(5);
  socket.sent.clear();
  for (const auto& [text, message] : cases) {
    setUdp.SetAddressText(text);
    EXPECT_EQ(setUdp.Connect(), (WindowStep{NextWindow::Stay, DialogMessage{"KORAL", message, DialogButtons::Ok}}));
  }
  EXPECT_TRUE(socket.sent.empty());
  EXPECT_EQ(session.linkBaudIndex, 0);
  setUdp.SetAddressText(" 192.168.0.100 ");  // blanks around an address are no reason to refuse it
  EXPECT_EQ(setUdp.Connect().next, NextWindow::RunConnectionCheck);
  EXPECT_EQ(session.linkBaudIndex, 5);
}

TEST_F(ConnectionTest, checkWithAStatusFrame_completesAndAsksAgainOverARearmedSocket) {
  ConnectionCheckModel check{session, udp, settings};
  session.offline = true;
  session.mailboxes.PostStatus({0x01, 0x11, 0xBA, 0x03});
  EXPECT_EQ(check.Check(), (WindowStep{NextWindow::ShowSettingsWindow,
                                       DialogMessage{"KORAL", "Communication  Completed", DialogButtons::Ok}}));
  EXPECT_FALSE(session.offline);
  EXPECT_EQ(socket.closes, 1);
  EXPECT_EQ(socket.UnitBytes(), ByteString{0xBA});
}

TEST_F(ConnectionTest, checkLooksOnceTheReplyIsInOrTheWaitIsOver) {
  struct Case {
    const char* name;
    std::optional<int> replyAtMs;  // when the receive path handles the reply
    int lookAtMs;
    NextWindow next;
  };
  for (const Case& c : {Case{"replyAtOnce", 0, 0, NextWindow::ShowSettingsWindow},
                        Case{"replyLate", 1990, 1990, NextWindow::ShowSettingsWindow},
                        Case{"replyTooLate", 2010, 2000, NextWindow::ShowConnectionDialog},
                        Case{"silent", std::nullopt, 2000, NextWindow::ShowConnectionDialog}}) {
    SCOPED_TRACE(c.name);
    session.mailboxes = {};
    ConnectionCheckModel check{session, serial, settings};
    // The window layer's event loop after the status request, in 10 ms steps.
    int ms = 0;
    for (;; ms += 10) {
      if (c.replyAtMs && ms >= *c.replyAtMs) session.mailboxes.PostStatus({0x01, 0x11, 0xBA, 0x03});
      if (check.ReadyToLook(ms)) break;
    }
    EXPECT_EQ(ms, c.lookAtMs);
    EXPECT_EQ(check.Check().next, c.next);
  }
}

TEST_F(ConnectionTest, noAnswerThenWorkOfflineThenQtMx_marksTheCaptionAndTheConnectionEndsOffline) {
  ConnectionCheckModel check{session, serial, settings};
  settings.Load();  // created, not shown
  EXPECT_EQ(check.Check().next, NextWindow::ShowConnectionDialog);
  EXPECT_EQ(settings.Caption(), "DAY ,Communication Fail ,Video OK");
  EXPECT_EQ(check.WorkOffline().next, NextWindow::ShowSettingsWindow);
  EXPECT_TRUE(session.offline);
  setting.Options().ChooseModel(UnitModel::QtMx);
  setting.Choose(2);
  EXPECT_FALSE(session.offline);
  session.offline = true;
  setUdp.Connect();
  EXPECT_FALSE(session.offline);
}

TEST_F(ConnectionTest, everyWayOut_asksToSaveUnsavedSettingsFirst) {
  ConnectionCheckModel check{session, serial, settings};
  for (const bool modified : {false, true}) {
    session.banks.SetSettingsModified(modified);
    const WindowStep expected =
        modified ? WindowStep{NextWindow::AskSave,
                              DialogMessage{"Warning", "Do you want to save the changes", DialogButtons::YesNoCancel}}
                 : WindowStep{NextWindow::EndProgram, std::nullopt};
    EXPECT_EQ(check.Cancel(), expected) << modified;
    EXPECT_EQ(setting.AnswerPortError(false), expected) << modified;
    EXPECT_EQ(setUdp.AnswerExit(true), expected) << modified;
  }
}

}  // namespace
}  // namespace koral::testing_support
