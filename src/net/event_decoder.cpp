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

// The byte's hexadecimal digits, upper case, without leading zeros.
std::string HexDigits(std::uint8_t value) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  std::string text;
  if (value >= 0x10) text += kDigits[value >> 4];
  text += kDigits[value & 0x0F];
  return text;
}

// A date or time field: its hexadecimal digits, a "0" in front below 10.
std::string PaddedField(std::uint8_t byte) {
  const std::uint8_t value = EventByteValue(byte);
  return value < 10 ? "0" + HexDigits(value) : HexDigits(value);
}

std::string PlainField(std::uint8_t byte) {
  return HexDigits(EventByteValue(byte));
}

std::string TimeStampLine(const ByteString& frame) {
  std::string line(frame.begin() + kTextAt, frame.begin() + kTextAt + kTextLength);
  line += kFieldGap;
  line += EventMonthName(EventByteValue(frame[kMonthAt]));
  line += '-';
  line += PaddedField(frame[kDayAt]);
  line += '-';
  line += PaddedField(frame[kYearAt]);
  line += kFieldGap;
  line += PlainField(frame[kHourAt]);
  line += ':';
  line += PaddedField(frame[kMinuteAt]);
  line += ':';
  line += PaddedField(frame[kSecondAt]);
  line += kLineEnd;
  return line;
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
  if (frame.empty()) return out;
  if (frame.size() != kEventFrameLength) {
    out.monitorFrame = MonitorFrameAfter::Emptied;
    return out;
  }
  if (!IsFramed(frame) || IsStatusSignature(frame)) return out;

  const std::uint8_t status = EventByteValue(frame[kStatusAt]);
  out.lines = {TimeStampLine(frame), MoveLine(EventByteValue(frame[kMotionAt])),
               TriggerLine(EventByteValue(frame[kTriggerAt])), AlarmLine(EventByteValue(frame[kAlarmAt])),
               StatusLine(status)};
  out.videoLost = StatusVideoLost(status);
  out.monitorFrame = MonitorFrameAfter::Emptied;
  return out;
}

DecodedEvent recievedata(Mailboxes& mailboxes) {
  DecodedEvent decoded = DecodeEventFrame(mailboxes.monitor);
  if (decoded.monitorFrame == MonitorFrameAfter::Emptied) mailboxes.monitor.clear();
  return decoded;
}

}  // namespace koral
