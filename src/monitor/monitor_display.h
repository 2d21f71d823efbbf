// The text of a monitor window: newest line on top, growing without limit
// until cleared. Lines are kept in arrival order in fixed-size pages that are
// never moved or grown, so adding a line costs the same after ten million
// lines as after ten, never stalls to copy what is held, and memory stays
// close to the text itself.
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

  std::size_t LineCount() const { return count_; }
  // Line `fromTop` (0 = newest), with its line end.
  std::string_view Line(std::size_t fromTop) const;
  // The whole display as shown, top to bottom: what Save writes and Print prints.
  std::string Text() const;
  // Changes whenever the text does, so a view can tell when to redraw.
  std::uint64_t Revision() const { return revision_; }
  // The memory the display holds for its lines, spare room included.
  std::size_t HeldBytes() const;

 private:
  // A line longer than a page gets a page of its own size.
  static constexpr std::size_t kPageBytes = 64 * 1024;
  static constexpr std::size_t kStartsPerBlock = 8 * 1024;

  struct LineStart {
    std::uint32_t page;
    std::uint32_t offset;
  };

  const LineStart& StartOf(std::size_t arrival) const {
    return starts_[arrival / kStartsPerBlock][arrival % kStartsPerBlock];
  }

  std::vector<std::vector<char>> pages_;        // the text in arrival order; each filled up to its first capacity
  std::vector<std::vector<LineStart>> starts_;  // where each line begins, kStartsPerBlock lines a block
  std::size_t count_ = 0;
  std::size_t textBytes_ = 0;
  std::size_t pageBytes_ = 0;  // capacity of all pages
  std::uint64_t revision_ = 0;
};

}  // namespace koral
