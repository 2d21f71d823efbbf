// Event datagrams of the network link as monitor lines: a time-stamp line and
// the four flag lines of one event. Pure: a frame in, lines out, and what the
// monitor mailbox must do with the frame afterwards.
//
// Event datagram, 17 bytes: 01 21, motion, trigger, alarm, status, four text
// bytes, month, date, date, hour, minute, second, 03. The unit cannot send 3
// inside a frame, so in the flag, status, date and time bytes 0xFF carries 3.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/byte_string.h"
#include "link/mailboxes.h"

namespace koral {

inline constexpr std::size_t kEventFrameLength = 17;
inline constexpr std::uint8_t kEventFrameKind = 0x21;  // byte 2
inline constexpr std::uint8_t kEscapedThree = 0xFF;

// The value an escapable event byte stands for.
constexpr std::uint8_t EventByteValue(std::uint8_t byte) {
  return byte == kEscapedThree ? std::uint8_t{3} : byte;
}

// "JAN" .. "DEC" for the BCD months 0x01 .. 0x12, empty for anything else,
// including bytes that are not BCD.
std::string_view EventMonthName(std::uint8_t bcdMonth);

enum class MonitorFrameAfter {
  Kept,     // left for the next datagram to replace
  Emptied,  // consumed
};

struct DecodedEvent {
  // Top-down: time stamp, MOVE, TRIGGER, ALARM, STATUS, each ending in CR LF.
  // Empty when the frame shows nothing.
  std::vector<std::string> lines;
  std::optional<bool> videoLost;  // set when the status byte was shown
  MonitorFrameAfter monitorFrame = MonitorFrameAfter::Kept;
};

// An empty frame shows nothing. A frame of any other length than 17 shows
// nothing and is emptied. A 17-byte frame that is not framed by 01 .. 03, or
// that carries the status reply's signature 01 11 BA, shows nothing and is
// kept. Every other 17-byte frame shows its five lines and is emptied.
DecodedEvent DecodeEventFrame(const ByteString& frame);
// The same decode written over `into`, reusing the strings it holds, for a
// caller that decodes every event into one result.
void DecodeEventFrame(const ByteString& frame, DecodedEvent& into);

// Decodes the monitor mailbox and empties it when the decode consumed it.
DecodedEvent recievedata(Mailboxes& mailboxes);
void recievedata(Mailboxes& mailboxes, DecodedEvent& into);

}  // namespace koral
