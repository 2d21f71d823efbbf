#include "zones/motion_modes.h"

namespace koral {

const std::array<MotionModeInfo, kMotionModeCount> kMotionModes = {{
    {"OFF", 0, 0, false},
    {"Motion 1 Area", 1, 1, false},
    {"Motion 2 Areas", 2, 2, false},
    {"Motion 3 Areas", 3, 3, false},
    {"Motion 4 Areas", 4, 4, false},
    {"Motion 5 Areas", 5, 5, false},
    {"Motion 6 Areas", 6, 6, false},
    {"Motion 7 Areas", 7, 7, false},
    {"Motion 8 Areas", 8, 8, false},
    {"Direction A->B", 2, 2, false},
    {"Direction B->A", 2, 2, false},
    {"Direction A->B .. G->H", 8, 8, false},
    {"Motionless 1 Area", 1, 1, false},
    {"Motionless 8 Areas", 8, 8, false},
    {"Museum", 8, 8, false},
    {"PTZ", 8, 4, true},
}};

std::optional<MotionModeInfo> MotionModeOf(int value) {
  if (value < 0 || value >= kMotionModeCount) return std::nullopt;
  return kMotionModes[static_cast<std::size_t>(value)];
}

}  // namespace koral
