// The display keeps its text in fixed pages and its line starts in blocks;
// lines must read back whole and in order across every boundary.
#include "monitor/monitor_display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace koral {
namespace {

std::string LineOf(std::size_t number, std::size_t length) {
  std::string line = std::to_string(number) + ":";
  line.resize(length, static_cast<char>('a' + number % 26));
  return line + "\r\n";
}

TEST(MonitorDisplay, linesReadBackWholeAcrossPagesAndBlocks) {
  struct Case {
    const char* name;
    std::size_t count;
    std::size_t length;
  };
  const Case cases[] = {
      {"empty lines past a block of starts", 9000, 0},
      {"lines that do not divide a page", 5000, 97},
      {"lines longer than a page", 3, 70 * 1024},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MonitorDisplay display;
    std::string expected;
    for (std::size_t i = 0; i < c.count; ++i) {
      const std::string line = c.length == 0 ? std::string("\r\n") : LineOf(i, c.length);
      display.Prepend(line);
      expected.insert(0, line);
    }
    ASSERT_EQ(display.LineCount(), c.count);
    EXPECT_EQ(display.Text(), expected);
    if (c.length > 0) {
      EXPECT_EQ(display.Line(0), LineOf(c.count - 1, c.length));
    }
    display.Clear();
    EXPECT_EQ(display.LineCount(), 0u);
    display.Prepend("after\r\n");
    EXPECT_EQ(display.Text(), "after\r\n");
  }
}

}  // namespace
}  // namespace koral
