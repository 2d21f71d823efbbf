#include "zones/track_time.h"

namespace koral {
namespace {

constexpr int kFirstSecondsCode = 100;
constexpr int kFirstMinutesCode = 150;
constexpr int kStepsPerMinute = 12;  // 5-second steps

std::string TwoDigits(int n) {
  return (n < 10 ? "0" : "") + std::to_string(n);
}

}  // namespace

std::string TrackTimeLabel(int code) {
  if (code < 0 || code > kMaxTrackTimeCode) return {};
  if (code < kFirstSecondsCode) return std::to_string(code / 10) + "." + std::to_string(code % 10) + "s";
  if (code < kFirstMinutesCode) return std::to_string(code - 90) + "s";
  const int steps = code - kFirstMinutesCode;
  return std::to_string(1 + steps / kStepsPerMinute) + "." + TwoDigits(5 * (steps % kStepsPerMinute)) + "m";
}

}  // namespace koral
