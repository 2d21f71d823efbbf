#include "monitor/output_decoder.h"

#include <charconv>

namespace koral {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

constexpr std::array<std::string_view, kOutputTypeCount> kTypeNames = {
    "MOVE FLAGS",   "TRIG FLAGS",   "ALARM FLAGS",  "STAT FLAGS",   "ALL FLAGS",
    "AREA A DELTA", "AREA B DELTA", "AREA C DELTA", "AREA D DELTA", "AREA E DELTA",
    "AREA F DELTA", "AREA G DELTA", "AREA H DELTA", "TOTAL DELTA",  "EVENT LOG"};

constexpr int kZoneCount = 8;

// A line laid out in place and then written into its string in one copy, which
// allocates nothing when the string already has the room.
class LineText {
 public:
  LineText& operator<<(std::string_view part) {
    size_ += part.copy(text_.data() + size_, text_.size() - size_);
    return *this;
  }
  LineText& operator<<(char c) {
    if (size_ < text_.size()) text_[size_++] = c;
    return *this;
  }
  LineText& operator<<(int value) {
    const auto [end, error] = std::to_chars(text_.data() + size_, text_.data() + text_.size(), value);
    if (error == std::errc{}) size_ = static_cast<std::size_t>(end - text_.data());
    return *this;
  }
  void AssignTo(std::string& line) const { line.assign(text_.data(), size_); }

 private:
  std::array<char, 64> text_;  // longer than any line of the unit's output; only [0, size_) is read
  std::size_t size_ = 0;
};

constexpr std::string_view kMoveLabel = "MOVE    = ";
constexpr std::string_view kTriggerLabel = "TRIGGER = ";
constexpr std::string_view kAlarmLabel = "ALARM   = ";
constexpr std::size_t kLabelLength = kMoveLabel.size();
static_assert(kTriggerLabel.size() == kLabelLength && kAlarmLabel.size() == kLabelLength);
constexpr std::string_view kNoZoneFlagged = " -  -  -  -  -  -  -  - ";

// Laid out from the line with no zone flagged, each flagged zone's letter put in:
// this line is written for every frame of the flags types and every event.
void AssignFlagsLine(std::string& line, std::string_view label, std::uint8_t flags) {
  std::array<char, kLabelLength + kNoZoneFlagged.size() + kLineEnd.size()> text;
  label.copy(text.data(), kLabelLength);
  kNoZoneFlagged.copy(text.data() + kLabelLength, kNoZoneFlagged.size());
  kLineEnd.copy(text.data() + kLabelLength + kNoZoneFlagged.size(), kLineEnd.size());
  for (int zone = 0; zone < kZoneCount; ++zone) {
    if (((flags >> zone) & 1) != 0)
      text[kLabelLength + 3 * static_cast<std::size_t>(zone) + 1] = static_cast<char>('A' + zone);
  }
  line.assign(text.data(), text.size());
}

// The unit sends zone deltas one's-complemented.
int InvertedValue(std::uint8_t high, std::uint8_t low) {
  return 256 * (255 - high) + (255 - low);
}

// A binary reply of the unit that happens to be 24 bytes long is no event record.
bool LooksLikeReplyFrame(const ByteString& frame) {
  return frame[0] == 0x01 || frame[1] == 0x11 || frame[2] == 0xBA;
}

std::string_view EventLogText(const ByteString& frame) {
  return {reinterpret_cast<const char*>(frame.data()), kEventLogTextLength};
}

}  // namespace

std::string_view OutputTypeName(int type) {
  return type >= 0 && type < kOutputTypeCount ? kTypeNames[static_cast<std::size_t>(type)] : std::string_view{};
}

void AssignMoveLine(std::string& line, std::uint8_t flags) {
  AssignFlagsLine(line, kMoveLabel, flags);
}
void AssignTriggerLine(std::string& line, std::uint8_t flags) {
  AssignFlagsLine(line, kTriggerLabel, flags);
}
void AssignAlarmLine(std::string& line, std::uint8_t flags) {
  AssignFlagsLine(line, kAlarmLabel, flags);
}

void AssignStatusLine(std::string& line, std::uint8_t status) {
  LineText text;
  text << "STATUS  = ";
  text << ((status & 0x08) != 0 ? "Day Mode , " : "Night Mode , ");
  text << ((status & 0x10) != 0 ? "Alarm Enable , " : "Alarm Disable , ");
  text << (StatusVideoLost(status) ? "Video Lost " : "Video OK ");
  text << kLineEnd;
  text.AssignTo(line);
}

std::string MoveLine(std::uint8_t flags) {
  std::string line;
  AssignMoveLine(line, flags);
  return line;
}
std::string TriggerLine(std::uint8_t flags) {
  std::string line;
  AssignTriggerLine(line, flags);
  return line;
}
std::string AlarmLine(std::uint8_t flags) {
  std::string line;
  AssignAlarmLine(line, flags);
  return line;
}
std::string StatusLine(std::uint8_t status) {
  std::string line;
  AssignStatusLine(line, status);
  return line;
}

DecodedOutput DecodeOutputFrame(const ByteString& frame, int type, bool uploadActive) {
  DecodedOutput out;
  DecodeOutputFrame(frame, type, uploadActive, out);
  return out;
}

void DecodeOutputFrame(const ByteString& frame, int type, bool uploadActive, DecodedOutput& into) {
  std::vector<std::string>& lines = into.lines;
  into.videoLost.reset();
  if (frame.empty()) {
    lines.clear();
    return;
  }
  const bool led = frame[0] == kMultiByteLead;
  switch (type) {
    case kMoveFlags:
      lines.resize(1);
      AssignMoveLine(lines[0], frame[0]);
      return;
    case kTriggerFlags:
      lines.resize(1);
      AssignTriggerLine(lines[0], frame[0]);
      return;
    case kAlarmFlags:
      lines.resize(1);
      AssignAlarmLine(lines[0], frame[0]);
      return;
    case kStatusFlags:
      lines.resize(1);
      AssignStatusLine(lines[0], frame[0]);
      into.videoLost = StatusVideoLost(frame[0]);
      return;
    case kAllFlags:
      if (!led || frame.size() < 5) break;
      lines.resize(4);
      AssignMoveLine(lines[0], frame[1]);
      AssignTriggerLine(lines[1], frame[2]);
      AssignAlarmLine(lines[2], frame[3]);
      AssignStatusLine(lines[3], frame[4]);
      into.videoLost = StatusVideoLost(frame[4]);
      return;
    case kTotalDelta:
      if (!led || frame.size() < 3) break;
      lines.resize(1);
      (LineText() << "Total Delta = " << 256 * frame[1] + frame[2] << kLineEnd).AssignTo(lines[0]);
      return;
    case kEventLog:
      if (uploadActive || frame.size() != kEventLogLength || LooksLikeReplyFrame(frame)) break;
      lines.resize(1);
      (LineText() << EventLogText(frame) << kLineEnd).AssignTo(lines[0]);
      return;
    default:
      if (type < kFirstZoneDelta || type > kLastZoneDelta || !led || frame.size() < 3) break;
      lines.resize(1);
      (LineText() << "Zone " << static_cast<char>('A' + (type - kFirstZoneDelta)) << " = "
                  << InvertedValue(frame[1], frame[2]) << kLineEnd)
          .AssignTo(lines[0]);
      return;
  }
  lines.clear();
}

}  // namespace koral
