#include "monitor/output_decoder.h"

#include <gtest/gtest.h>

#include "monitor/monitor_display.h"

namespace koral {
namespace {

const std::string kCrLf = "\r\n";

struct DecodeCase {
  const char* name;
  int type;
  ByteString frame;
  std::vector<std::string> lines;
};

TEST(OutputDecoding, frameGivesItsLinesTopDown) {
  const DecodeCase cases[] = {
      {"moveAll", kMoveFlags, {0xFF}, {"MOVE    =  A  B  C  D  E  F  G  H " + kCrLf}},
      {"moveNone", kMoveFlags, {0x00}, {"MOVE    =  -  -  -  -  -  -  -  - " + kCrLf}},
      {"moveAandC", kMoveFlags, {0x05, 0x99}, {"MOVE    =  A  -  C  -  -  -  -  - " + kCrLf}},
      {"triggerH", kTriggerFlags, {0x80}, {"TRIGGER =  -  -  -  -  -  -  -  H " + kCrLf}},
      {"alarmB", kAlarmFlags, {0x02}, {"ALARM   =  -  B  -  -  -  -  -  - " + kCrLf}},
      {"statusDayEnabledLost", kStatusFlags, {0x98}, {"STATUS  = Day Mode , Alarm Enable , Video Lost " + kCrLf}},
      {"statusNightDisabledOk", kStatusFlags, {0x00}, {"STATUS  = Night Mode , Alarm Disable , Video OK " + kCrLf}},
      {"allFlags",
       kAllFlags,
       {0x5A, 0x01, 0x02, 0x04, 0x08},
       {"MOVE    =  A  -  -  -  -  -  -  - " + kCrLf, "TRIGGER =  -  B  -  -  -  -  -  - " + kCrLf,
        "ALARM   =  -  -  C  -  -  -  -  - " + kCrLf, "STATUS  = Day Mode , Alarm Disable , Video OK " + kCrLf}},
      {"allFlagsWithoutLead", kAllFlags, {0x5B, 0x01, 0x02, 0x04, 0x08}, {}},
      {"allFlagsTooShort", kAllFlags, {0x5A, 0x01, 0x02, 0x04}, {}},
      {"zoneCDelta", 7, {0x5A, 0xFF, 0xFE}, {"Zone C = 1" + kCrLf}},
      {"zoneADeltaMax", 5, {0x5A, 0x00, 0x00}, {"Zone A = 65535" + kCrLf}},
      {"zoneHDeltaZero", 12, {0x5A, 0xFF, 0xFF}, {"Zone H = 0" + kCrLf}},
      {"zoneDeltaTooShort", 6, {0x5A, 0xFF}, {}},
      {"totalDelta", kTotalDelta, {0x5A, 0x01, 0x02}, {"Total Delta = 258" + kCrLf}},
      {"totalDeltaWithoutLead", kTotalDelta, {0x01, 0x01, 0x02}, {}}};
  for (const DecodeCase& c : cases)
    EXPECT_EQ(DecodeOutputFrame(c.frame, c.type, false).lines, c.lines) << c.name;
}

ByteString Record(std::string_view text) {
  return ByteString(text.begin(), text.end());
}

TEST(EventLog, aRecordOfExactly24BytesShowsItsFirst22) {
  const std::string text = "12/31 23:59 ZONE A ALM!";  // 23 characters
  ByteString record = Record(text);
  record.push_back('\r');
  ASSERT_EQ(record.size(), 24u);
  EXPECT_EQ(DecodeOutputFrame(record, kEventLog, false).lines, std::vector<std::string>{text.substr(0, 22) + kCrLf});
  EXPECT_TRUE(DecodeOutputFrame(record, kEventLog, true).lines.empty()) << "nothing while an upload runs";
  for (const std::size_t size : {23u, 25u}) {
    EXPECT_TRUE(DecodeOutputFrame(ByteString(size, 'x'), kEventLog, false).lines.empty()) << size;
  }
  for (const std::size_t signature : {0u, 1u, 2u}) {
    ByteString reply(24, 'x');
    const std::uint8_t bytes[] = {0x01, 0x11, 0xBA};
    reply[signature] = bytes[signature];
    EXPECT_TRUE(DecodeOutputFrame(reply, kEventLog, false).lines.empty()) << "signature byte " << signature;
  }
}

// A monitor window decodes every frame into one result: what a frame leaves in
// it (lines, the video-lost flag) must not show through the next frame's decode.
TEST(OutputDecoding, reusedResult_givesWhatAFreshDecodeGives) {
  const ByteString frames[] = {{0x5A, 0xFB, 0x2E, 0x04, 0x98}, {}, {0x98}, {0x5A, 0x00}, ByteString(24, 'x')};
  DecodedOutput reused;
  for (int type = 0; type < kOutputTypeCount; ++type) {
    for (const ByteString& frame : frames) {
      for (const bool uploadActive : {false, true}) {
        DecodeOutputFrame(frame, type, uploadActive, reused);
        const DecodedOutput fresh = DecodeOutputFrame(frame, type, uploadActive);
        EXPECT_EQ(reused.lines, fresh.lines) << type << " frame of " << frame.size();
        EXPECT_EQ(reused.videoLost, fresh.videoLost) << type << " frame of " << frame.size();
      }
    }
  }
}

TEST(StatusDecoding, reportsVideoLostFromBit7) {
  EXPECT_EQ(DecodeOutputFrame({0x80}, kStatusFlags, false).videoLost, true);
  EXPECT_EQ(DecodeOutputFrame({0x5A, 0, 0, 0, 0x18}, kAllFlags, false).videoLost, false);
  EXPECT_FALSE(DecodeOutputFrame({0xFF}, kMoveFlags, false).videoLost.has_value());
}

TEST(MonitorDisplay, newestLinesOnTopAndBlocksReadTopDown) {
  MonitorDisplay display;
  display.Prepend("first\r\n");
  display.PrependBlock({"a\r\n", "b\r\n"});
  EXPECT_EQ(display.Text(), "a\r\nb\r\nfirst\r\n");
  EXPECT_EQ(display.LineCount(), 3u);
  EXPECT_EQ(display.Line(0), "a\r\n");
  EXPECT_EQ(display.Line(2), "first\r\n");
  EXPECT_EQ(display.Line(3), "");
  const auto revision = display.Revision();
  display.Clear();
  EXPECT_EQ(display.Text(), "");
  EXPECT_NE(display.Revision(), revision);
}

}  // namespace
}  // namespace koral
