// Event datagrams of the network link as UDP monitor lines.
#include "net/event_decoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace koral {
namespace {

// 01 21, motion A, trigger B, alarm C, day mode, "CAM1", DEC 25 07, 9:30:45, 03.
const ByteString kEvent = {0x01, 0x21, 0x01, 0x02, 0x04, 0x08, 'C',  'A', 'M',
                           '1',  0x12, 0x25, 0x07, 0x09, 0x30, 0x45, 0x03};
const std::string kStamp = "CAM1  DEC-25-07  9:30:45\r\n";
const std::string kMoveA = "MOVE    =  A  -  -  -  -  -  -  - \r\n";
const std::string kTriggerB = "TRIGGER =  -  B  -  -  -  -  -  - \r\n";
const std::string kAlarmC = "ALARM   =  -  -  C  -  -  -  -  - \r\n";
const std::string kDayDisabledOk = "STATUS  = Day Mode , Alarm Disable , Video OK \r\n";

// The example event with byte `position` (counted from 1) replaced.
ByteString EventWith(std::size_t position, std::uint8_t value) {
  ByteString frame = kEvent;
  frame[position - 1] = value;
  return frame;
}

TEST(EventDecoder, exampleEvent_givesTimeStampThenMoveTriggerAlarmStatus) {
  const DecodedEvent event = DecodeEventFrame(kEvent);
  EXPECT_EQ(event.lines, (std::vector<std::string>{kStamp, kMoveA, kTriggerB, kAlarmC, kDayDisabledOk}));
  EXPECT_EQ(event.videoLost, false);
  EXPECT_EQ(event.monitorFrame, MonitorFrameAfter::Emptied);
}

// 0xFF stands for 3 in the alarm and status bytes; a motion byte 0xBA is no status reply.
TEST(EventDecoder, changedFlagByte_showsInItsLine) {
  const struct {
    std::size_t position;
    std::uint8_t value;
    std::size_t line;
    std::string shown;
  } cases[] = {
      {5, 0xFF, 3, "ALARM   =  A  B  -  -  -  -  -  - \r\n"},
      {6, 0xFF, 4, "STATUS  = Night Mode , Alarm Disable , Video OK \r\n"},
      {3, 0xBA, 1, "MOVE    =  -  B  -  D  E  F  -  H \r\n"},
  };
  for (const auto& c : cases) {
    const DecodedEvent event = DecodeEventFrame(EventWith(c.position, c.value));
    ASSERT_EQ(event.lines.size(), 5u) << c.position;
    EXPECT_EQ(event.lines[c.line], c.shown);
    EXPECT_EQ(event.videoLost, false);
    EXPECT_EQ(event.monitorFrame, MonitorFrameAfter::Emptied);
  }
}

struct StampCase {
  const char* name;
  std::size_t position;
  std::uint8_t value;
  std::string stamp;
};

TEST(EventDecoder, stampField_showsAsExpected) {
  const StampCase cases[] = {StampCase{"monthJanuary", 11, 0x01, "CAM1  JAN-25-07  9:30:45"},
                             StampCase{"monthOctober", 11, 0x10, "CAM1  OCT-25-07  9:30:45"},
                             StampCase{"monthFF_isMarch", 11, 0xFF, "CAM1  MAR-25-07  9:30:45"},
                             StampCase{"monthZero_hasNoName", 11, 0x00, "CAM1  -25-07  9:30:45"},
                             StampCase{"monthThirteen_hasNoName", 11, 0x13, "CAM1  -25-07  9:30:45"},
                             StampCase{"monthNotBcd_hasNoNameAndTheRestDecodes", 11, 0x1A, "CAM1  -25-07  9:30:45"},
                             StampCase{"monthHighNibbleNotBcd_hasNoName", 11, 0xA1, "CAM1  -25-07  9:30:45"},
                             StampCase{"monthLowNibbleNotBcd_hasNoName", 11, 0x0A, "CAM1  -25-07  9:30:45"},
                             StampCase{"byte12FF_isZeroThree", 12, 0xFF, "CAM1  DEC-03-07  9:30:45"},
                             StampCase{"byte12Small_isPadded", 12, 0x01, "CAM1  DEC-01-07  9:30:45"},
                             StampCase{"byte12NotBcd_showsItsHexDigits", 12, 0x3C, "CAM1  DEC-3C-07  9:30:45"},
                             StampCase{"byte12TenOrMore_isNotPadded", 12, 0x0A, "CAM1  DEC-A-07  9:30:45"},
                             StampCase{"byte13FF_isZeroThree", 13, 0xFF, "CAM1  DEC-25-03  9:30:45"},
                             StampCase{"byte14FF_isThree", 14, 0xFF, "CAM1  DEC-25-07  3:30:45"},
                             StampCase{"byte14Zero_isNotPadded", 14, 0x00, "CAM1  DEC-25-07  0:30:45"},
                             StampCase{"byte14TwoDigits", 14, 0x23, "CAM1  DEC-25-07  23:30:45"},
                             StampCase{"byte15Small_isPadded", 15, 0x05, "CAM1  DEC-25-07  9:05:45"},
                             StampCase{"byte16Zero_isPadded", 16, 0x00, "CAM1  DEC-25-07  9:30:00"},
                             StampCase{"byte16FF_isZeroThree", 16, 0xFF, "CAM1  DEC-25-07  9:30:03"},
                             StampCase{"textByteFF_isShownUnmapped", 7, 0xFF,
                                       "\xFF"
                                       "AM1  DEC-25-07  9:30:45"}};
  for (const StampCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DecodedEvent event = DecodeEventFrame(EventWith(c.position, c.value));
    ASSERT_EQ(event.lines.size(), 5u);
    EXPECT_EQ(event.lines[0], c.stamp + "\r\n");
    EXPECT_EQ(event.lines[1], kMoveA);
  }
}

struct FateCase {
  const char* name;
  ByteString frame;
  MonitorFrameAfter after;
};

ByteString Resized(std::size_t length) {
  ByteString frame = kEvent;
  frame.resize(length, 0x30);
  frame.back() = 0x03;
  return frame;
}

TEST(EventDecoder, frameOfAnotherShape_showsNothing) {
  const FateCase cases[] = {
      FateCase{"empty_isKept", {}, MonitorFrameAfter::Kept},
      FateCase{"framed16Bytes_isEmptied", Resized(16), MonitorFrameAfter::Emptied},
      FateCase{"framed18Bytes_isEmptied", Resized(18), MonitorFrameAfter::Emptied},
      FateCase{"threeBytes_isEmptied", {0x01, 0x21, 0x03}, MonitorFrameAfter::Emptied},
      FateCase{"notEndingIn03_isKept", EventWith(17, 0x04), MonitorFrameAfter::Kept},
      FateCase{"notStartingWith01_isKept", EventWith(1, 0x02), MonitorFrameAfter::Kept},
      FateCase{"statusSignature_isKept",
               {0x01, 0x11, 0xBA, 0x04, 0x08, 0x08, 'C', 'A', 'M', '1', 0x12, 0x25, 0x07, 0x09, 0x30, 0x45, 0x03},
               MonitorFrameAfter::Kept}};
  for (const FateCase& c : cases) {
    const DecodedEvent event = DecodeEventFrame(c.frame);
    EXPECT_TRUE(event.lines.empty()) << c.name;
    EXPECT_EQ(event.videoLost, std::nullopt) << c.name;
    EXPECT_EQ(event.monitorFrame, c.after) << c.name;
  }
}

// The UDP monitor window decodes every event into one result: nothing of one
// frame's decode may show through the next.
TEST(EventDecoder, reusedResult_givesWhatAFreshDecodeGives) {
  const ByteString frames[] = {EventWith(6, 0x80), EventWith(6, 0x00), Resized(16), kEvent, {}, EventWith(17, 0x04)};
  DecodedEvent reused;
  for (const ByteString& frame : frames) {
    DecodeEventFrame(frame, reused);
    const DecodedEvent fresh = DecodeEventFrame(frame);
    EXPECT_EQ(reused.lines, fresh.lines) << frame.size();
    EXPECT_EQ(reused.videoLost, fresh.videoLost) << frame.size();
    EXPECT_EQ(reused.monitorFrame, fresh.monitorFrame) << frame.size();
  }
}

TEST(EventDecoder, take_emptiesTheMonitorMailboxOnlyWhenTheDecodeConsumedIt) {
  Mailboxes mailboxes;
  mailboxes.monitor = EventWith(17, 0x04);
  recievedata(mailboxes);
  EXPECT_EQ(mailboxes.monitor, EventWith(17, 0x04));
  mailboxes.PostOther(kEvent);
  recievedata(mailboxes);
  EXPECT_TRUE(mailboxes.monitor.empty());
  EXPECT_EQ(mailboxes.alarm, kEvent);
}

}  // namespace
}  // namespace koral
