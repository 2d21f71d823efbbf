// The words of koralctl's commands that name something of the unit: keypad
// keys, output types and durations. Reading them sends nothing and opens
// nothing, so a command knows its whole line is good before it connects.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "app/keypad_model.h"
#include "model/unit_profile.h"

namespace koralctl {

// One press of `koralctl keys`: a key, or SELECT of a unit address.
struct Press {
  std::string caption;
  std::optional<koral::KeypadKey> key;
  int selectAddress = 0;
};

// A key's caption in any letter case, or SELECT=N on a QT-MX; why not, else.
std::variant<Press, std::string> ReadPress(std::string_view word, koral::UnitModel model);

// An output type by its name in any letter case or by its index.
std::optional<int> OutputTypeOf(std::string_view text);

// A number of seconds above 0 and at most a year.
std::optional<double> PositiveSeconds(std::string_view text);

}  // namespace koralctl
