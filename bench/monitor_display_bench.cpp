// What a monitor line costs, in time and memory, as the display grows: a
// display holding 10 thousand, 1 million or 10 million lines of ALL FLAGS
// frames takes as many lines again, a frame (4 lines) at a time. Growing to
// twice the size passes one doubling of any buffer that grows geometrically,
// so the time per line includes the moves such a buffer makes.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "monitor/monitor_display.h"
#include "monitor/output_decoder.h"
#include "monitor/serial_monitor_model.h"

namespace {

using Clock = std::chrono::steady_clock;

// Zones A, B and C moving, triggered and alarmed; day mode, video OK.
const koral::ByteString kAllFlagsFrame = {0x5A, 0x01, 0x02, 0x04, 0x98};
constexpr std::size_t kLinesPerFrame = 4;
// Frames between two looks at the memory held and the clock: often enough to
// see a buffer just after it grew, rarely enough to cost nothing.
constexpr std::size_t kFramesPerSample = 256;

std::vector<std::string> AllFlagsLines() {
  return koral::DecodeOutputFrame(kAllFlagsFrame, koral::kAllFlags, false).lines;
}

std::size_t TextBytes(const std::vector<std::string>& lines) {
  std::size_t bytes = 0;
  for (const std::string& line : lines)
    bytes += line.size();
  return bytes;
}

std::size_t FramesFor(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0)) / kLinesPerFrame;
}

// What the samples taken while a display grew tell.
struct GrowthSamples {
  double mostHeldPerLine = 0;
  double slowestSampleSeconds = 0;

  void Take(const koral::MonitorDisplay& display, Clock::time_point& since) {
    const Clock::time_point now = Clock::now();
    slowestSampleSeconds = std::max(slowestSampleSeconds, std::chrono::duration<double>(now - since).count());
    since = now;
    mostHeldPerLine =
        std::max(mostHeldPerLine, static_cast<double>(display.HeldBytes()) / static_cast<double>(display.LineCount()));
  }
};

void Report(benchmark::State& state, const koral::MonitorDisplay& display, const GrowthSamples& samples,
            double textPerLine) {
  const std::size_t linesAdded = FramesFor(state) * kLinesPerFrame;
  using benchmark::Counter;
  state.counters["time_per_line"] = Counter(static_cast<double>(linesAdded), Counter::kIsRate | Counter::kInvert);
  state.counters["text_B_per_line"] = textPerLine;
  state.counters["held_B_per_line"] =
      static_cast<double>(display.HeldBytes()) / static_cast<double>(display.LineCount());
  state.counters["most_held_B_per_line"] = samples.mostHeldPerLine;
  state.counters["slowest_1k_lines_us"] = samples.slowestSampleSeconds * 1e6;
}

// The display alone, fed lines already decoded.
class DisplayFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override {
    display = std::make_unique<koral::MonitorDisplay>();
    for (std::size_t frame = 0; frame < FramesFor(state); ++frame)
      display->PrependBlock(lines);
  }
  void TearDown(const benchmark::State&) override { display.reset(); }

  const std::vector<std::string> lines = AllFlagsLines();
  std::unique_ptr<koral::MonitorDisplay> display;
};

BENCHMARK_DEFINE_F(DisplayFixture, PrependFrame)(benchmark::State& state) {
  GrowthSamples samples;
  for (auto _ : state) {
    Clock::time_point since = Clock::now();
    for (std::size_t frame = 1; frame <= FramesFor(state); ++frame) {
      display->PrependBlock(lines);
      if (frame % kFramesPerSample == 0) samples.Take(*display, since);
    }
  }
  Report(state, *display, samples, static_cast<double>(TextBytes(lines)) / kLinesPerFrame);
}

// The serial monitor's view-model: a frame in the mailbox, decoded and put on
// top by one poll.
class SerialMonitorFixture : public benchmark::Fixture {
 public:
  void SetUp(const benchmark::State& state) override {
    model = std::make_unique<koral::SerialMonitorModel>(mailboxes, transfer, videoLost);
    model->SelectType(koral::kAllFlags);
    for (std::size_t frame = 0; frame < FramesFor(state); ++frame)
      Poll();
  }
  void TearDown(const benchmark::State&) override { model.reset(); }

  void Poll() {
    mailboxes.monitor = kAllFlagsFrame;
    model->Poll();
  }

  koral::Mailboxes mailboxes;
  koral::TransferState transfer;
  bool videoLost = false;
  std::unique_ptr<koral::SerialMonitorModel> model;
};

BENCHMARK_DEFINE_F(SerialMonitorFixture, PollFrame)(benchmark::State& state) {
  GrowthSamples samples;
  for (auto _ : state) {
    Clock::time_point since = Clock::now();
    for (std::size_t frame = 1; frame <= FramesFor(state); ++frame) {
      Poll();
      if (frame % kFramesPerSample == 0) samples.Take(model->Display(), since);
    }
  }
  Report(state, model->Display(), samples, static_cast<double>(TextBytes(AllFlagsLines())) / kLinesPerFrame);
}

// Lines held before a run. A run is one iteration: as many lines again, a
// frame at a time, after the fixture filled the display afresh.
void Sizes(benchmark::internal::Benchmark* bench) {
  bench->ArgName("lines")->Arg(10'000)->Arg(1'000'000)->Arg(10'000'000);
  bench->Iterations(1)->Repetitions(3)->DisplayAggregatesOnly()->Unit(benchmark::kMillisecond);
}

BENCHMARK_REGISTER_F(DisplayFixture, PrependFrame)->Apply(Sizes);
BENCHMARK_REGISTER_F(SerialMonitorFixture, PollFrame)->Apply(Sizes);

}  // namespace
