#include "unit/output_data.h"

#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

OutputMoment Moment(OutputEvent event = OutputEvent::Alarm, int zone = 2) {
  OutputMoment moment;
  moment.seen.motion = 0x05;
  moment.seen.trigger = 0x04;
  moment.seen.alarm = 0x03;
  moment.seen.delta = {0x0102, 0, 0xFFFF, 0, 0, 0, 0, 0x0010};
  moment.status = 0x18;
  moment.time = {2025, 3, 3, 9, 30, 3};
  moment.event = event;
  moment.zone = zone;
  return moment;
}

struct EncodeCase {
  int type;
  Bytes frame;
};

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

TEST(OutputEncoding, moment_encodesToTheFrameOfItsType) {
  const EncodeCase cases[] = {
      {0, {0x05}},
      {1, {0x04}},
      {2, {0x03}},
      {3, {0x18}},
      {4, {0x5A, 0x05, 0x04, 0x03, 0x18}},
      {5, {0x5A, 0xFE, 0xFD}},             // zone A 258, both bytes inverted
      EncodeCase{6, {0x5A, 0xFF, 0xFF}},   // zone B 0
      EncodeCase{7, {0x5A, 0x00, 0x00}},   // zone C 65535
      EncodeCase{12, {0x5A, 0xFF, 0xEF}},  // zone H 16
      EncodeCase{13, {0x5A, 0xFF, 0xFF}},  // the total stops at 65535
      EncodeCase{14, Text("09:30:03 ALARM ZONE C \r\n")},
      // 01 21, the flags with 3 as FF, "ALRM", month 3 as FF, day 3 as FF, year 25, 09:30:03
      EncodeCase{15,
                 {0x01, 0x21, 0x05, 0x04, 0xFF, 0x18, 'A', 'L', 'R', 'M', 0xFF, 0xFF, 0x25, 0x09, 0x30, 0xFF, 0x03}},
      {16, {}}};
  for (const EncodeCase& c : cases)
    EXPECT_EQ(EncodeOutput(c.type, Moment()), c.frame) << "type " << c.type;
}

struct EventCase {
  OutputEvent event;
  std::uint8_t status;
  std::string text;  // 22 characters
};

TEST(EventLogRecord, event_givesItsLine) {
  const EventCase cases[] = {{OutputEvent::Alarm, 0x18, "09:30:03 ALARM ZONE A "},
                             {OutputEvent::AlarmsCleared, 0x18, "09:30:03 ALARM CLEARED"},
                             {OutputEvent::VideoLost, 0x98, "09:30:03 VIDEO LOST   "},
                             {OutputEvent::VideoRestored, 0x18, "09:30:03 VIDEO OK     "},
                             {OutputEvent::ModeChanged, 0x10, "09:30:03 NIGHT MODE   "},
                             {OutputEvent::AlarmEnabled, 0x08, "09:30:03 ALARM DISABLE"},
                             {OutputEvent::Periodic, 0x18, "09:30:03 MOVE A-C-----"}};
  for (const EventCase& c : cases) {
    OutputMoment moment = Moment(c.event, 0);
    moment.status = c.status;
    EXPECT_EQ(EncodeOutput(output::kEventLog, moment).size(), output::kEventLogLength);
    EXPECT_EQ(EventLogText(moment), c.text);
    EXPECT_EQ(c.text.size(), output::kEventLogTextLength);
  }
}

TEST(StatusReply, statusByte_isFramedAsTheReplyAndTotalDeltaIsPlain) {
  EXPECT_EQ(StatusReply(StatusByte({true, true, false})), (Bytes{0x01, 0x11, 0xBA, 0x18, 0x03}));
  EXPECT_EQ(StatusReply(StatusByte({false, false, true})), (Bytes{0x01, 0x11, 0xBA, 0x80, 0x03}));
  EXPECT_EQ(DescribeStatus(0x90), "NIGHT, alarm enabled, video lost");
  OutputMoment moment = Moment();  // the total delta travels plain, high byte first
  moment.seen.delta = {0x0100, 0x0002, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(EncodeOutput(output::kTotalDelta, moment), (Bytes{0x5A, 0x01, 0x02}));
}

}  // namespace
}  // namespace koral::emu::test
