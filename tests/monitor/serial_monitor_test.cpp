#include <gtest/gtest.h>

#include "monitor/serial_monitor_model.h"

namespace koral {
namespace {

class SerialMonitorTest : public testing::Test {
 protected:
  Mailboxes mailboxes;
  TransferState transfer;
  bool videoLost = false;
  SerialMonitorModel monitor{mailboxes, transfer, videoLost};
};

TEST_F(SerialMonitorTest, loadsOnEventLogAndConsumesEveryFrameOnce) {
  EXPECT_EQ(monitor.SelectedType(), kEventLog);
  monitor.SelectType(kAllFlags);
  mailboxes.monitor = {0x5A, 0x01, 0x02, 0x04, 0x98};
  monitor.Poll();
  EXPECT_TRUE(mailboxes.monitor.empty());
  EXPECT_EQ(monitor.Display().LineCount(), 4u);
  EXPECT_TRUE(videoLost);
  monitor.Poll();  // no new frame: nothing more
  EXPECT_EQ(monitor.Display().LineCount(), 4u);
}

TEST_F(SerialMonitorTest, uploadSwitchingThePollLoadsTheWindowHidden_menuShowsIt_closeOnlyHides) {
  EXPECT_FALSE(monitor.Loaded());
  monitor.SetPolling(false);
  EXPECT_TRUE(monitor.Loaded());
  EXPECT_FALSE(monitor.Visible());
  monitor.SetPolling(true);
  monitor.SelectType(kMoveFlags);
  mailboxes.monitor = {0x01};
  monitor.Poll();  // polls unseen
  monitor.Show();
  EXPECT_TRUE(monitor.Visible());
  monitor.Close();
  EXPECT_FALSE(monitor.Visible());
  EXPECT_TRUE(monitor.Loaded());
  EXPECT_TRUE(monitor.Polling());
  EXPECT_EQ(monitor.SelectedType(), kMoveFlags);
  EXPECT_EQ(monitor.Display().LineCount(), 1u);
}

// Switched off during an upload the frame stays; an undecodable one is consumed.
TEST_F(SerialMonitorTest, undecodableFrameIsConsumedWithoutLinesButNotWhileSwitchedOff) {
  monitor.SelectType(99);  // no such type: the selection stays
  EXPECT_EQ(monitor.SelectedType(), kEventLog);
  monitor.SelectType(kTotalDelta);
  monitor.SetPolling(false);
  mailboxes.monitor = {0x01, 0x02, 0x03};
  monitor.Poll();
  EXPECT_EQ(mailboxes.monitor, (ByteString{0x01, 0x02, 0x03}));
  monitor.SetPolling(true);
  monitor.Poll();
  EXPECT_TRUE(mailboxes.monitor.empty());
  EXPECT_EQ(monitor.Display().LineCount(), 0u);
}

TEST_F(SerialMonitorTest, earlierTextStaysBelowNewLines) {
  monitor.SelectType(kMoveFlags);
  mailboxes.monitor = {0x01};
  monitor.Poll();
  monitor.SelectType(kTotalDelta);
  mailboxes.monitor = {0x5A, 0x00, 0x07};
  monitor.Poll();
  EXPECT_EQ(monitor.Display().Text(), "Total Delta = 7\r\nMOVE    =  A  -  -  -  -  -  -  - \r\n");
}

}  // namespace
}  // namespace koral
