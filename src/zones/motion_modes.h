// The motion modes: list items of the mode list and what the editor does with
// each (zones shown, zone buttons enabled, PTZ corner markers).
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace koral {

struct MotionModeInfo {
  std::string_view item;  // text of the mode list, position = register value
  int shownZones;         // parameter rows shown, zones A.. (also the zones a redraw shows)
  int paintZones;         // zone buttons A.. enabled
  bool ptz;               // fixed corner zones E..H and the PTZ parameter set
};

inline constexpr int kMotionModeCount = 16;

extern const std::array<MotionModeInfo, kMotionModeCount> kMotionModes;

// The mode of a register value, none for a value above 15.
std::optional<MotionModeInfo> MotionModeOf(int value);

}  // namespace koral
