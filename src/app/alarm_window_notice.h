// What the Alarm Window menu entry says before it opens the window: on the
// serial link the window only understands the ALL FLAGS output, so the user is
// reminded every time to choose it; the network link's events always carry
// the alarm flags.
#pragma once

#include <optional>

#include "app/connection_check_model.h"
#include "app/session.h"

namespace koral {

inline std::optional<DialogMessage> AlarmWindowNotice(LinkMode link) {
  if (link != LinkMode::Serial) return std::nullopt;
  return DialogMessage{"Select ALL FLAGS", "Please select Output Data to ALL FLAGS"};
}

}  // namespace koral
