// What the unit streams on its own: the kind Register 42 selects (flags,
// deltas, event-log records, or on the network the 17-byte event datagram),
// as often as Register 41 says. Also the status byte and its reply frame.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "unit/bytes.h"
#include "unit/unit_date_clock.h"

namespace koral::emu {

// Register 41.
enum class OutputRate : std::uint8_t { Off = 0, PerAlarm = 1, Continuous = 2 };

// Register 42: 0..14 the kinds of the output data, 15 the event datagram.
namespace output {
inline constexpr int kMoveFlags = 0;
inline constexpr int kTriggerFlags = 1;
inline constexpr int kAlarmFlags = 2;
inline constexpr int kStatusFlags = 3;
inline constexpr int kAllFlags = 4;
inline constexpr int kFirstAreaDelta = 5;  // zone A; zone H is 12
inline constexpr int kTotalDelta = 13;
inline constexpr int kEventLog = 14;
inline constexpr int kEventDatagram = 15;
inline constexpr std::uint8_t kLeadByte = 0x5A;
inline constexpr std::size_t kEventLogLength = 24;
inline constexpr std::size_t kEventLogTextLength = 22;
inline constexpr std::size_t kEventDatagramLength = 17;
inline constexpr std::uint8_t kEventDatagramId = 0x21;
inline constexpr std::uint8_t kThreeInDatagram = 0xFF;  // a 3 would read as the end of the frame
}  // namespace output

std::string_view OutputTypeName(int type);
std::string_view OutputRateName(int rate);

// Status byte bits.
inline constexpr std::uint8_t kStatusDay = 0x08;
inline constexpr std::uint8_t kStatusAlarmEnabled = 0x10;
inline constexpr std::uint8_t kStatusVideoLost = 0x80;

struct UnitStatus {
  bool day = true;
  bool alarmEnabled = true;
  bool videoLost = false;
};

std::uint8_t StatusByte(const UnitStatus& status);
// 01 11 BA status 03
Bytes StatusReply(std::uint8_t statusByte);
// "DAY, alarm enabled, video OK"
std::string DescribeStatus(std::uint8_t statusByte);

// The unit's view of its zones at one moment.
struct Observation {
  std::uint8_t motion = 0;   // ZoneFlagsByte: bit 0 zone A .. bit 7 zone H
  std::uint8_t trigger = 0;  //
  std::uint8_t alarm = 0;    //
  std::array<std::uint16_t, 8> delta{};
  friend bool operator==(const Observation&, const Observation&) = default;
};

// Why the unit sends output data now.
enum class OutputEvent {
  Alarm,          // a zone went into alarm (`zone` names it)
  AlarmsCleared,  // every alarm is off again
  VideoLost,
  VideoRestored,
  ModeChanged,   // DAY / NIGHT
  AlarmEnabled,  // ENABLE / DISABLE
  Periodic,      // the continuous rate's tick
};

struct OutputMoment {
  Observation seen;
  std::uint8_t status = 0;
  CivilTime time;
  OutputEvent event = OutputEvent::Periodic;
  int zone = 0;
};

// One frame of output data of a type 0..15 (an empty frame for another type).
Bytes EncodeOutput(int type, const OutputMoment& moment);

// The 22 shown characters of an event-log record, "09:30:45 ALARM ZONE A ".
std::string EventLogText(const OutputMoment& moment);

}  // namespace koral::emu
