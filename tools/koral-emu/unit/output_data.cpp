#include "unit/output_data.h"

#include <array>
#include <numeric>

#include "model/bcd.h"
#include "unit/commands.h"

namespace koral::emu {
namespace {

constexpr std::array<std::string_view, 16> kTypeNames = {
    "MOVE FLAGS",   "TRIG FLAGS",   "ALARM FLAGS",  "STAT FLAGS",   "ALL FLAGS",    "AREA A DELTA",
    "AREA B DELTA", "AREA C DELTA", "AREA D DELTA", "AREA E DELTA", "AREA F DELTA", "AREA G DELTA",
    "AREA H DELTA", "TOTAL DELTA",  "EVENT LOG",    "UDP",
};
constexpr std::array<std::string_view, 3> kRateNames = {"OFF", "PER ALARM", "CONTINUOUS"};

constexpr std::uint8_t kEventLogLineEnd[] = {'\r', '\n'};
constexpr std::uint16_t kMaxDelta = 0xFFFF;

std::uint8_t High(std::uint16_t value) {
  return static_cast<std::uint8_t>(value >> 8);
}
std::uint8_t Low(std::uint16_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}
std::uint8_t Inverted(std::uint8_t byte) {
  return static_cast<std::uint8_t>(0xFF - byte);
}

std::uint16_t TotalDelta(const Observation& seen) {
  const int sum = std::accumulate(seen.delta.begin(), seen.delta.end(), 0);
  return static_cast<std::uint16_t>(sum > kMaxDelta ? kMaxDelta : sum);
}

std::string TwoDigits(int value) {
  return std::string{static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

char ZoneLetter(int zone) {
  return static_cast<char>('A' + zone);
}

// 13 characters after the time stamp.
std::string EventWords(const OutputMoment& moment) {
  switch (moment.event) {
    case OutputEvent::Alarm:
      return std::string("ALARM ZONE ") + ZoneLetter(moment.zone) + " ";
    case OutputEvent::AlarmsCleared:
      return "ALARM CLEARED";
    case OutputEvent::VideoLost:
      return "VIDEO LOST   ";
    case OutputEvent::VideoRestored:
      return "VIDEO OK     ";
    case OutputEvent::ModeChanged:
      return (moment.status & kStatusDay) != 0 ? "DAY MODE     " : "NIGHT MODE   ";
    case OutputEvent::AlarmEnabled:
      return (moment.status & kStatusAlarmEnabled) != 0 ? "ALARM ENABLE " : "ALARM DISABLE";
    case OutputEvent::Periodic:
      break;
  }
  std::string words = "MOVE ";
  for (int zone = 0; zone < 8; ++zone) {
    words += (moment.seen.motion >> zone & 1) != 0 ? ZoneLetter(zone) : '-';
  }
  return words;
}

// The four characters of an event datagram.
std::string_view EventTag(const OutputMoment& moment) {
  switch (moment.event) {
    case OutputEvent::Alarm:
      return "ALRM";
    case OutputEvent::AlarmsCleared:
      return "CLR ";
    case OutputEvent::VideoLost:
      return "VLOS";
    case OutputEvent::VideoRestored:
      return "VIOK";
    case OutputEvent::ModeChanged:
      return "MODE";
    case OutputEvent::AlarmEnabled:
      return (moment.status & kStatusAlarmEnabled) != 0 ? "ENBL" : "DSBL";
    case OutputEvent::Periodic:
      break;
  }
  return "STAT";
}

std::uint8_t InDatagram(std::uint8_t value) {
  return value == kReplyEnd ? output::kThreeInDatagram : value;
}

Bytes EventDatagram(const OutputMoment& moment) {
  const CivilTime& t = moment.time;
  Bytes bytes = {kReplyStart,
                 output::kEventDatagramId,
                 InDatagram(moment.seen.motion),
                 InDatagram(moment.seen.trigger),
                 InDatagram(moment.seen.alarm),
                 InDatagram(moment.status)};
  const std::string_view tag = EventTag(moment);
  bytes.insert(bytes.end(), tag.begin(), tag.end());
  for (const int field : {t.month, t.day, t.year, t.hour, t.minute, t.second}) {
    bytes.push_back(InDatagram(DecimalToBcd(field)));
  }
  bytes.push_back(kReplyEnd);
  return bytes;
}

}  // namespace

std::string_view OutputTypeName(int type) {
  return type >= 0 && type < static_cast<int>(kTypeNames.size()) ? kTypeNames[static_cast<std::size_t>(type)]
                                                                 : "unknown";
}

std::string_view OutputRateName(int rate) {
  return rate >= 0 && rate < static_cast<int>(kRateNames.size()) ? kRateNames[static_cast<std::size_t>(rate)]
                                                                 : "unknown";
}

std::uint8_t StatusByte(const UnitStatus& status) {
  return static_cast<std::uint8_t>((status.day ? kStatusDay : 0) | (status.alarmEnabled ? kStatusAlarmEnabled : 0) |
                                   (status.videoLost ? kStatusVideoLost : 0));
}

Bytes StatusReply(std::uint8_t statusByte) {
  return {kReplyStart, kStatusReplyId, cmd::kStatusRequest, statusByte, kReplyEnd};
}

std::string DescribeStatus(std::uint8_t statusByte) {
  std::string text = (statusByte & kStatusDay) != 0 ? "DAY" : "NIGHT";
  text += (statusByte & kStatusAlarmEnabled) != 0 ? ", alarm enabled" : ", alarm disabled";
  text += (statusByte & kStatusVideoLost) != 0 ? ", video lost" : ", video OK";
  return text;
}

std::string EventLogText(const OutputMoment& moment) {
  const CivilTime& t = moment.time;
  return TwoDigits(t.hour) + ":" + TwoDigits(t.minute) + ":" + TwoDigits(t.second) + " " + EventWords(moment);
}

Bytes EncodeOutput(int type, const OutputMoment& moment) {
  const Observation& seen = moment.seen;
  switch (type) {
    case output::kMoveFlags:
      return {seen.motion};
    case output::kTriggerFlags:
      return {seen.trigger};
    case output::kAlarmFlags:
      return {seen.alarm};
    case output::kStatusFlags:
      return {moment.status};
    case output::kAllFlags:
      return {output::kLeadByte, seen.motion, seen.trigger, seen.alarm, moment.status};
    case output::kTotalDelta: {
      const std::uint16_t total = TotalDelta(seen);
      return {output::kLeadByte, High(total), Low(total)};
    }
    case output::kEventLog: {
      const std::string text = EventLogText(moment);
      Bytes bytes(text.begin(), text.end());
      bytes.insert(bytes.end(), std::begin(kEventLogLineEnd), std::end(kEventLogLineEnd));
      return bytes;
    }
    case output::kEventDatagram:
      return EventDatagram(moment);
    default:
      break;
  }
  if (type >= output::kFirstAreaDelta && type < output::kFirstAreaDelta + 8) {
    const std::uint16_t value = seen.delta[static_cast<std::size_t>(type - output::kFirstAreaDelta)];
    return {output::kLeadByte, Inverted(High(value)), Inverted(Low(value))};
  }
  return {};
}

}  // namespace koral::emu
