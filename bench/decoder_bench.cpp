// Frames per second through the decoders the monitor windows run on every frame:
// one benchmark per output type, by its name, and one for network events. The
// "Reused" ones decode into one result kept across frames, as the monitor
// windows do; the others build a fresh result per frame.
#include <benchmark/benchmark.h>

#include <array>
#include <string>

#include "monitor/output_decoder.h"
#include "net/event_decoder.h"

namespace {

struct OutputCase {
  koral::ByteString frame;
  std::size_t lines;  // what a sound decode of the frame shows
};

// A frame of each output type as the unit sends it, position = type.
const std::array<OutputCase, koral::kOutputTypeCount> kOutputCases = {{
    {{0x05}, 1},
    {{0x80}, 1},
    {{0x02}, 1},
    {{0x98}, 1},
    {{0x5A, 0x01, 0x02, 0x04, 0x98}, 4},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0xFB, 0x2E}, 1},
    {{0x5A, 0x12, 0x34}, 1},
    {{'1', '2', '/', '3', '1', ' ', '2', '3', ':', '5', '9', ' ',
      'Z', 'O', 'N', 'E', ' ', 'A', ' ', 'A', 'L', 'M', '!', '\r'},
     1},
}};

// 01 21, motion A, trigger B, alarm C, day mode, "CAM1", DEC 25 07, 9:30:45, 03.
const koral::ByteString kEvent = {0x01, 0x21, 0x01, 0x02, 0x04, 0x08, 'C',  'A', 'M',
                                  '1',  0x12, 0x25, 0x07, 0x09, 0x30, 0x45, 0x03};
constexpr std::size_t kEventLines = 5;

// A decoder that shows nothing cannot look fast: the frame must decode first.
bool Shows(benchmark::State& state, std::size_t lines, std::size_t expected) {
  if (lines == expected) return true;
  state.SkipWithError("the frame did not decode to its lines");
  return false;
}

void OutputFrame(benchmark::State& state, int type) {
  const OutputCase& c = kOutputCases[static_cast<std::size_t>(type)];
  if (!Shows(state, koral::DecodeOutputFrame(c.frame, type, false).lines.size(), c.lines)) return;
  for (auto _ : state) {
    koral::DecodedOutput decoded = koral::DecodeOutputFrame(c.frame, type, false);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
}

void OutputFrameReused(benchmark::State& state, int type) {
  const OutputCase& c = kOutputCases[static_cast<std::size_t>(type)];
  koral::DecodedOutput decoded;
  koral::DecodeOutputFrame(c.frame, type, false, decoded);
  if (!Shows(state, decoded.lines.size(), c.lines)) return;
  for (auto _ : state) {
    koral::DecodeOutputFrame(c.frame, type, false, decoded);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
}

void EventFrame(benchmark::State& state) {
  if (!Shows(state, koral::DecodeEventFrame(kEvent).lines.size(), kEventLines)) return;
  for (auto _ : state) {
    koral::DecodedEvent decoded = koral::DecodeEventFrame(kEvent);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
}

void EventFrameReused(benchmark::State& state) {
  koral::DecodedEvent decoded;
  koral::DecodeEventFrame(kEvent, decoded);
  if (!Shows(state, decoded.lines.size(), kEventLines)) return;
  for (auto _ : state) {
    koral::DecodeEventFrame(kEvent, decoded);
    benchmark::DoNotOptimize(decoded);
  }
  state.SetItemsProcessed(state.iterations());
}

// "MOVE FLAGS" reads better in a report than an index; blanks would need quoting in a filter.
std::string BenchmarkName(const char* family, int type) {
  std::string name = std::string(family) + "/" + std::string(koral::OutputTypeName(type));
  for (char& c : name)
    if (c == ' ') c = '_';
  return name;
}

const bool kRegistered = [] {
  for (int type = 0; type < koral::kOutputTypeCount; ++type)
    benchmark::RegisterBenchmark(BenchmarkName("OutputFrame", type).c_str(), OutputFrame, type);
  for (int type = 0; type < koral::kOutputTypeCount; ++type)
    benchmark::RegisterBenchmark(BenchmarkName("OutputFrameReused", type).c_str(), OutputFrameReused, type);
  benchmark::RegisterBenchmark("EventFrame", EventFrame);
  benchmark::RegisterBenchmark("EventFrameReused", EventFrameReused);
  return true;
}();

}  // namespace
