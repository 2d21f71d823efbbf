// The unit's output data as the lines a monitor shows. Pure: a frame and the
// selected output type in, display lines out.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/byte_string.h"

namespace koral {

inline constexpr int kOutputTypeCount = 15;

enum OutputType : int {
  kMoveFlags = 0,
  kTriggerFlags = 1,
  kAlarmFlags = 2,
  kStatusFlags = 3,
  kAllFlags = 4,
  kFirstZoneDelta = 5,  // AREA A DELTA .. AREA H DELTA = 5..12
  kLastZoneDelta = 12,
  kTotalDelta = 13,
  kEventLog = 14,
};

// The list of output types a monitor offers, position = type.
std::string_view OutputTypeName(int type);

inline constexpr std::uint8_t kMultiByteLead = 0x5A;
inline constexpr std::size_t kEventLogLength = 24;
inline constexpr std::size_t kEventLogTextLength = 22;

// One flags line, e.g. "MOVE    = " + " A " / " - " per zone + CR LF.
std::string MoveLine(std::uint8_t flags);
std::string TriggerLine(std::uint8_t flags);
std::string AlarmLine(std::uint8_t flags);
// "STATUS  = Day Mode , Alarm Enable , Video Lost " + CR LF.
std::string StatusLine(std::uint8_t status);
// The same lines written over `line`, which keeps its capacity: a decoder that
// runs on every frame allocates nothing once its lines have been seen.
void AssignMoveLine(std::string& line, std::uint8_t flags);
void AssignTriggerLine(std::string& line, std::uint8_t flags);
void AssignAlarmLine(std::string& line, std::uint8_t flags);
void AssignStatusLine(std::string& line, std::uint8_t status);
inline bool StatusVideoLost(std::uint8_t status) {
  return (status & 0x80) != 0;
}

struct DecodedOutput {
  std::vector<std::string> lines;  // in the order they read from the top, each ending in CR LF
  std::optional<bool> videoLost;   // set when a status byte was shown
};

// Decodes one frame as the selected type. A frame with a wrong lead byte,
// length or signature, or shorter than its type needs, gives no lines.
// Event-log records are not shown while an upload runs.
DecodedOutput DecodeOutputFrame(const ByteString& frame, int type, bool uploadActive);
// The same decode written over `into`, reusing the strings it holds, for a
// caller that decodes every frame into one result.
void DecodeOutputFrame(const ByteString& frame, int type, bool uploadActive, DecodedOutput& into);

}  // namespace koral
