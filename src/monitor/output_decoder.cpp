#include "monitor/output_decoder.h"

namespace koral {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

constexpr std::array<std::string_view, kOutputTypeCount> kTypeNames = {
    "MOVE FLAGS",   "TRIG FLAGS",   "ALARM FLAGS",  "STAT FLAGS",   "ALL FLAGS",
    "AREA A DELTA", "AREA B DELTA", "AREA C DELTA", "AREA D DELTA", "AREA E DELTA",
    "AREA F DELTA", "AREA G DELTA", "AREA H DELTA", "TOTAL DELTA",  "EVENT LOG"};

std::string FlagsLine(std::string_view label, std::uint8_t flags) {
  std::string line(label);
  for (int zone = 0; zone < 8; ++zone) {
    if ((flags >> zone) & 1) {
      line += ' ';
      line += static_cast<char>('A' + zone);
      line += ' ';
    } else {
      line += " - ";
    }
  }
  line += kLineEnd;
  return line;
}

// The unit sends zone deltas one's-complemented.
int InvertedValue(std::uint8_t high, std::uint8_t low) {
  return 256 * (255 - high) + (255 - low);
}

// A binary reply of the unit that happens to be 24 bytes long is no event record.
bool LooksLikeReplyFrame(const ByteString& frame) {
  return frame[0] == 0x01 || frame[1] == 0x11 || frame[2] == 0xBA;
}

}  // namespace

std::string_view OutputTypeName(int type) {
  return type >= 0 && type < kOutputTypeCount ? kTypeNames[static_cast<std::size_t>(type)] : std::string_view{};
}

std::string MoveLine(std::uint8_t flags) {
  return FlagsLine("MOVE    = ", flags);
}
std::string TriggerLine(std::uint8_t flags) {
  return FlagsLine("TRIGGER = ", flags);
}
std::string AlarmLine(std::uint8_t flags) {
  return FlagsLine("ALARM   = ", flags);
}

std::string StatusLine(std::uint8_t status) {
  std::string line = "STATUS  = ";
  line += (status & 0x08) != 0 ? "Day Mode , " : "Night Mode , ";
  line += (status & 0x10) != 0 ? "Alarm Enable , " : "Alarm Disable , ";
  line += StatusVideoLost(status) ? "Video Lost " : "Video OK ";
  line += kLineEnd;
  return line;
}

DecodedOutput DecodeOutputFrame(const ByteString& frame, int type, bool uploadActive) {
  DecodedOutput out;
  if (frame.empty()) return out;
  const bool led = frame[0] == kMultiByteLead;
  switch (type) {
    case kMoveFlags:
      out.lines = {MoveLine(frame[0])};
      break;
    case kTriggerFlags:
      out.lines = {TriggerLine(frame[0])};
      break;
    case kAlarmFlags:
      out.lines = {AlarmLine(frame[0])};
      break;
    case kStatusFlags:
      out.lines = {StatusLine(frame[0])};
      out.videoLost = StatusVideoLost(frame[0]);
      break;
    case kAllFlags:
      if (!led || frame.size() < 5) break;
      out.lines = {MoveLine(frame[1]), TriggerLine(frame[2]), AlarmLine(frame[3]), StatusLine(frame[4])};
      out.videoLost = StatusVideoLost(frame[4]);
      break;
    case kTotalDelta:
      if (!led || frame.size() < 3) break;
      out.lines = {"Total Delta = " + std::to_string(256 * frame[1] + frame[2]) + std::string(kLineEnd)};
      break;
    case kEventLog:
      if (uploadActive || frame.size() != kEventLogLength || LooksLikeReplyFrame(frame)) break;
      out.lines = {std::string(frame.begin(), frame.begin() + kEventLogTextLength) + std::string(kLineEnd)};
      break;
    default:
      if (type < kFirstZoneDelta || type > kLastZoneDelta || !led || frame.size() < 3) break;
      out.lines = {std::string("Zone ") + static_cast<char>('A' + (type - kFirstZoneDelta)) + " = " +
                   std::to_string(InvertedValue(frame[1], frame[2])) + std::string(kLineEnd)};
      break;
  }
  return out;
}

}  // namespace koral
