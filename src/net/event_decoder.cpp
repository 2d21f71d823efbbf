#include "net/event_decoder.h"

#include <array>

#include "model/setting_catalogue.h"
#include "monitor/output_decoder.h"

namespace koral {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kFieldGap = "  ";

// Positions in the frame, counted from 0.
constexpr std::size_t kMotionAt = 2;
constexpr std::size_t kTriggerAt = 3;
constexpr std::size_t kAlarmAt = 4;
constexpr std::size_t kStatusAt = 5;
constexpr std::size_t kTextAt = 6;
constexpr std::size_t kTextLength = 4;
constexpr std::size_t kMonthAt = 10;  // then two date fields, read as day and year
constexpr std::size_t kDayAt = 11;
constexpr std::size_t kYearAt = 12;
constexpr std::size_t kHourAt = 13;
constexpr std::size_t kMinuteAt = 14;
constexpr std::size_t kSecondAt = 15;

constexpr std::uint8_t kStatusKind = 0x11;
constexpr std::uint8_t kStatusRequest = 0xBA;

constexpr std::size_t kEventLineCount = 5;  // time stamp, MOVE, TRIGGER, ALARM, STATUS

// The longest time stamp line: text, month, two dates, time and the line end.
constexpr std::size_t kTimeStampRoom = 32;

// The time stamp laid out in place, then written over the line in one copy.
class TimeStampText {
 public:
  void Put(std::string_view part) { size_ += part.copy(text_.data() + size_, text_.size() - size_); }
  void Put(char c) {
    if (size_ < text_.size()) text_[size_++] = c;
  }
  // The byte's hexadecimal digits, upper case, without leading zeros.
  void PutHexDigits(std::uint8_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    if (value >= 0x10) Put(kDigits[value >> 4]);
    Put(kDigits[value & 0x0F]);
  }
  // A date or time field: its hexadecimal digits, a "0" in front below 10.
  void PutPaddedField(std::uint8_t byte) {
    const std::uint8_t value = EventByteValue(byte);
    if (value < 10) Put('0');
    PutHexDigits(value);
  }
  void PutPlainField(std::uint8_t byte) { PutHexDigits(EventByteValue(byte)); }
  void AssignTo(std::string& line) const { line.assign(text_.data(), size_); }

 private:
  std::array<char, kTimeStampRoom> text_;  // only [0, size_) is read
  std::size_t size_ = 0;
};

void AssignTimeStampLine(std::string& line, const ByteString& frame) {
  TimeStampText text;
  text.Put(std::string_view(reinterpret_cast<const char*>(frame.data() + kTextAt), kTextLength));
  text.Put(kFieldGap);
  text.Put(EventMonthName(EventByteValue(frame[kMonthAt])));
  text.Put('-');
  text.PutPaddedField(frame[kDayAt]);
  text.Put('-');
  text.PutPaddedField(frame[kYearAt]);
  text.Put(kFieldGap);
  text.PutPlainField(frame[kHourAt]);
  text.Put(':');
  text.PutPaddedField(frame[kMinuteAt]);
  text.Put(':');
  text.PutPaddedField(frame[kSecondAt]);
  text.Put(kLineEnd);
  text.AssignTo(line);
}

// The receive path knows a status reply by bytes 2 and 3 together; so does the
// decoder, and a motion flags byte of 0xBA alone is an ordinary event.
bool IsStatusSignature(const ByteString& frame) {
  return frame[1] == kStatusKind && frame[2] == kStatusRequest;
}

}  // namespace

std::string_view EventMonthName(std::uint8_t bcdMonth) {
  const int tens = bcdMonth >> 4;
  const int units = bcdMonth & 0x0F;
  if (tens > 9 || units > 9) return {};
  return MonthName(tens * 10 + units);
}

DecodedEvent DecodeEventFrame(const ByteString& frame) {
  DecodedEvent out;
  DecodeEventFrame(frame, out);
  return out;
}

void DecodeEventFrame(const ByteString& frame, DecodedEvent& into) {
  std::vector<std::string>& lines = into.lines;
  into.videoLost.reset();
  into.monitorFrame = MonitorFrameAfter::Kept;
  if (frame.size() != kEventFrameLength || !IsFramed(frame) || IsStatusSignature(frame)) {
    lines.clear();
    if (!frame.empty() && frame.size() != kEventFrameLength) into.monitorFrame = MonitorFrameAfter::Emptied;
    return;
  }
  const std::uint8_t status = EventByteValue(frame[kStatusAt]);
  lines.resize(kEventLineCount);
  AssignTimeStampLine(lines[0], frame);
  AssignMoveLine(lines[1], EventByteValue(frame[kMotionAt]));
  AssignTriggerLine(lines[2], EventByteValue(frame[kTriggerAt]));
  AssignAlarmLine(lines[3], EventByteValue(frame[kAlarmAt]));
  AssignStatusLine(lines[4], status);
  into.videoLost = StatusVideoLost(status);
  into.monitorFrame = MonitorFrameAfter::Emptied;
}

DecodedEvent recievedata(Mailboxes& mailboxes) {
  DecodedEvent decoded;
  recievedata(mailboxes, decoded);
  return decoded;
}

void recievedata(Mailboxes& mailboxes, DecodedEvent& into) {
  DecodeEventFrame(mailboxes.monitor, into);
  if (into.monitorFrame == MonitorFrameAfter::Emptied) mailboxes.monitor.clear();
}

}  // namespace koral
