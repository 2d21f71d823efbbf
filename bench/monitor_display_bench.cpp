// How much a monitor line costs as the display grows: a day of ALL FLAGS
// frames at 10 per second (3.5 million lines), timed in slices so the cost per
// line at the end can be compared with the cost at the start.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "monitor/monitor_display.h"
#include "monitor/output_decoder.h"

int main() {
  using Clock = std::chrono::steady_clock;
  constexpr int kFramesPerDay = 10 * 60 * 60 * 24;
  constexpr int kSlice = 86'400;  // frames per slice: one fortieth of the day

  koral::MonitorDisplay display;
  const koral::ByteString frame = {0x5A, 0x01, 0x02, 0x04, 0x98};
  std::vector<double> nsPerLine;
  for (int done = 0; done < kFramesPerDay; done += kSlice) {
    const auto start = Clock::now();
    for (int i = 0; i < kSlice; ++i) {
      display.PrependBlock(koral::DecodeOutputFrame(frame, koral::kAllFlags, false).lines);
    }
    const auto ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    nsPerLine.push_back(ns / (kSlice * 4.0));
  }
  std::printf("lines: %zu, text: %.1f MiB\n", display.LineCount(),
              static_cast<double>(display.Line(0).size() * display.LineCount()) / (1024.0 * 1024.0));
  std::printf("ns per line, first slice: %.1f, last slice: %.1f\n", nsPerLine.front(), nsPerLine.back());
  return 0;
}
