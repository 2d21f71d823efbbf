// The track-time code of a zone in the unit's three scales.
#pragma once

#include <string>

namespace koral {

inline constexpr int kMaxTrackTimeCode = 198;

// 0..99 tenths ("0.4s"), 100..149 whole seconds ("10s"), 150..198 minutes and
// seconds in 5 s steps ("1.55m" is 1 min 55 s); any other code gives "".
std::string TrackTimeLabel(int code);

}  // namespace koral
