// A whole transfer on virtual time: the program's link engine, driven as
// koralctl drives it, against the emulated unit, with every wait and timer
// tick taking exactly its stated time and the program's own work none. What
// the unit sees there is the protocol's own timeline, the floor a real run is
// measured against.
#pragma once

#include <string>
#include <variant>

#include "model/unit_profile.h"
#include "traffic.h"

namespace koral::bench {

enum class Direction { Download, Upload };

struct VirtualRunSetup {
  LinkMode link = LinkMode::Serial;
  Direction direction = Direction::Download;
  std::string settingsFile;  // what a download sends
  bool still = true;         // the unit's picture, as koral-emu --still
};

// The unit's traffic of the run, or why it did not complete.
std::variant<Traffic, std::string> RunOnVirtualTime(const VirtualRunSetup& setup);

}  // namespace koral::bench
