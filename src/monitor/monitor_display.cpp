#include "monitor/monitor_display.h"

namespace koral {

void MonitorDisplay::Prepend(std::string_view line) {
  starts_.push_back(buffer_.size());
  buffer_.append(line);
  ++revision_;
}

void MonitorDisplay::PrependBlock(const std::vector<std::string>& linesTopDown) {
  for (auto it = linesTopDown.rbegin(); it != linesTopDown.rend(); ++it)
    Prepend(*it);
}

void MonitorDisplay::Clear() {
  buffer_.clear();
  buffer_.shrink_to_fit();
  starts_.clear();
  starts_.shrink_to_fit();
  ++revision_;
}

std::string_view MonitorDisplay::Line(std::size_t fromTop) const {
  if (fromTop >= starts_.size()) return {};
  const std::size_t index = starts_.size() - 1 - fromTop;
  const std::size_t begin = starts_[index];
  const std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] : buffer_.size();
  return std::string_view(buffer_).substr(begin, end - begin);
}

std::string MonitorDisplay::Text() const {
  std::string text;
  text.reserve(buffer_.size());
  for (std::size_t i = 0; i < starts_.size(); ++i)
    text.append(Line(i));
  return text;
}

}  // namespace koral
