// The text of a monitor window: newest line on top, growing without limit
// until cleared. Lines are kept in arrival order in one buffer, so adding a
// line costs the same after three million lines as after three.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace koral {

class MonitorDisplay {
 public:
  // Puts one line (with its CR LF) in front of the display.
  void Prepend(std::string_view line);
  // Puts a block of lines in front so that they read top-down as given.
  void PrependBlock(const std::vector<std::string>& linesTopDown);
  void Clear();

  std::size_t LineCount() const { return starts_.size(); }
  // Line `fromTop` (0 = newest), with its line end.
  std::string_view Line(std::size_t fromTop) const;
  // The whole display as shown, top to bottom: what Save writes and Print prints.
  std::string Text() const;
  // Changes whenever the text does, so a view can tell when to redraw.
  std::uint64_t Revision() const { return revision_; }

 private:
  std::string buffer_;               // lines in arrival order
  std::vector<std::size_t> starts_;  // where each line begins in buffer_
  std::uint64_t revision_ = 0;
};

}  // namespace koral
