#include "monitor/monitor_display.h"

#include <algorithm>

namespace koral {

void MonitorDisplay::Prepend(std::string_view line) {
  // A line never straddles two pages, so it reads back as one view.
  if (pages_.empty() || pages_.back().capacity() - pages_.back().size() < line.size()) {
    const std::size_t capacity = std::max(kPageBytes, line.size());
    pages_.emplace_back().reserve(capacity);
    pageBytes_ += pages_.back().capacity();
  }
  if (count_ % kStartsPerBlock == 0) starts_.emplace_back().reserve(kStartsPerBlock);
  std::vector<char>& page = pages_.back();
  starts_.back().push_back({static_cast<std::uint32_t>(pages_.size() - 1), static_cast<std::uint32_t>(page.size())});
  page.insert(page.end(), line.begin(), line.end());
  ++count_;
  textBytes_ += line.size();
  ++revision_;
}

void MonitorDisplay::PrependBlock(const std::vector<std::string>& linesTopDown) {
  for (auto it = linesTopDown.rbegin(); it != linesTopDown.rend(); ++it)
    Prepend(*it);
}

void MonitorDisplay::Clear() {
  pages_.clear();
  pages_.shrink_to_fit();
  starts_.clear();
  starts_.shrink_to_fit();
  count_ = 0;
  textBytes_ = 0;
  pageBytes_ = 0;
  ++revision_;
}

std::string_view MonitorDisplay::Line(std::size_t fromTop) const {
  if (fromTop >= count_) return {};
  const std::size_t arrival = count_ - 1 - fromTop;
  const LineStart begin = StartOf(arrival);
  const std::vector<char>& page = pages_[begin.page];
  std::size_t end = page.size();
  if (arrival + 1 < count_) {
    const LineStart next = StartOf(arrival + 1);
    if (next.page == begin.page) end = next.offset;
  }
  return {page.data() + begin.offset, end - begin.offset};
}

std::string MonitorDisplay::Text() const {
  std::string text;
  text.reserve(textBytes_);
  for (std::size_t i = 0; i < count_; ++i)
    text.append(Line(i));
  return text;
}

std::size_t MonitorDisplay::HeldBytes() const {
  return pageBytes_ + starts_.size() * kStartsPerBlock * sizeof(LineStart) +
         pages_.capacity() * sizeof(pages_.front()) + starts_.capacity() * sizeof(starts_.front());
}

}  // namespace koral
