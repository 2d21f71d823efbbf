// What a control shows, held by a view-model for a window to display. These
// are plain values: the view-model decides, the window only copies them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace koral {

struct ListState {
  std::span<const std::string_view> items;
  std::optional<int> position;  // none: no item selected
  bool enabled = true;          // false: locked against the user
  bool visible = true;
};

struct UpDownState {
  int value = 0;
  int minimum = 0;
  int maximum = 0;
  bool wrap = false;  // stepping past one end continues at the other
  bool enabled = true;
  bool visible = true;

  bool Accepts(int candidate) const { return candidate >= minimum && candidate <= maximum; }
};

struct LabelState {
  std::string caption;
  bool visible = true;
};

struct ProgressState {
  int value = 0;
  int maximum = 100;
  bool visible = false;
};

}  // namespace koral
