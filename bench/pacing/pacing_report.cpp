// pacing_report: how much longer a real transfer took than the protocol's own
// time for the same bytes, both as the unit saw them.
//
//   pacing_report --link serial|udp --direction download|upload
//                 --stamps FILE [--settings FILE]
//
// FILE of --stamps is what koral-emu --stamp wrote during a koralctl run; the
// settings file is the one that run downloaded. The same run is repeated on
// virtual time, where every wait and tick takes exactly its stated time, and
// the two are compared byte by byte from the transfer's first 0x98 on.
#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <variant>

#include "traffic.h"
#include "virtual_run.h"

namespace {

using namespace koral::bench;

constexpr int kExitUsage = 2;
constexpr int kExitFailed = 1;

int Usage(const char* why) {
  std::fprintf(stderr,
               "pacing_report: %s\nusage: pacing_report --link serial|udp --direction download|upload --stamps FILE "
               "[--settings FILE]\n",
               why);
  return kExitUsage;
}

struct Gaps {
  std::int64_t shortestUs = 0;  // the most a gap fell short of its stated length (negative when one did)
  std::size_t shorter = 0;      // gaps more than the clock's grain below their stated length
  double meanExtraUs = 0;
  std::size_t stalls = 0;  // gaps more than kStallUs over their stated length
  std::int64_t stalledUs = 0;
};

// Far beyond a late wake-up: the program or the unit was held up.
constexpr std::int64_t kStallUs = 2000;

// Wait by wait: the real one minus the protocol's.
Gaps CompareGaps(const std::vector<ReceivedByte>& real, const std::vector<ReceivedByte>& ideal) {
  // The virtual run counts whole milliseconds; the unit stamps microseconds.
  constexpr std::int64_t kGrainUs = 1000;
  Gaps gaps;
  const std::size_t count = std::min(real.size(), ideal.size());
  std::int64_t sum = 0;
  gaps.shortestUs = std::numeric_limits<std::int64_t>::max();
  for (std::size_t i = 1; i < count; ++i) {
    std::int64_t extra = (real[i].us - real[i].previousUs) - (ideal[i].us - ideal[i].previousUs);
    // A byte answering a frame waits from that frame; one that merely follows
    // it is not early because the unit's frame came late.
    if (real[i].frameUs != 0 && ideal[i].frameUs != 0)
      extra = std::max(extra, (real[i].us - real[i].frameUs) - (ideal[i].us - ideal[i].frameUs));
    gaps.shortestUs = std::min(gaps.shortestUs, extra);
    if (extra < -kGrainUs) ++gaps.shorter;
    if (extra > kStallUs) {
      ++gaps.stalls;
      gaps.stalledUs += extra;
    }
    sum += extra;
  }
  if (count > 1) gaps.meanExtraUs = static_cast<double>(sum) / static_cast<double>(count - 1);
  return gaps;
}

}  // namespace

int main(int argc, char** argv) {
  VirtualRunSetup setup;
  std::string stamps;
  bool linkGiven = false;
  bool directionGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    if (i + 1 == argc) return Usage("every option needs a value");
    const std::string_view value = argv[++i];
    if (option == "--link" && (value == "serial" || value == "udp")) {
      setup.link = value == "serial" ? koral::LinkMode::Serial : koral::LinkMode::Udp;
      linkGiven = true;
    } else if (option == "--direction" && (value == "download" || value == "upload")) {
      setup.direction = value == "download" ? Direction::Download : Direction::Upload;
      directionGiven = true;
    } else if (option == "--stamps") {
      stamps = value;
    } else if (option == "--settings") {
      setup.settingsFile = value;
    } else {
      return Usage("unknown option or value");
    }
  }
  if (!linkGiven || !directionGiven || stamps.empty()) return Usage("--link, --direction and --stamps are needed");
  if (setup.direction == Direction::Download && setup.settingsFile.empty()) return Usage("a download needs --settings");

  const auto measured = ReadTraffic(stamps);
  if (const auto* error = std::get_if<std::string>(&measured)) return Usage(error->c_str());
  const auto protocol = RunOnVirtualTime(setup);
  if (const auto* error = std::get_if<std::string>(&protocol)) {
    std::fprintf(stderr, "pacing_report: the virtual run failed: %s\n", error->c_str());
    return kExitFailed;
  }
  auto real = TransferBytes(std::get<Traffic>(measured));
  const auto ideal = TransferBytes(std::get<Traffic>(protocol));
  if (real.size() < 2 || ideal.size() < 2) {
    std::fprintf(stderr, "pacing_report: no transfer in the traffic\n");
    return kExitFailed;
  }
  // The clock frame carries the PC's date and time, so data values may differ;
  // every command byte must be the same.
  const auto isData = [](std::uint8_t byte) { return (byte & 0xF0) == 0xD0; };
  std::size_t same = 0;
  while (same < real.size() && same < ideal.size() &&
         (real[same].byte == ideal[same].byte || (isData(real[same].byte) && isData(ideal[same].byte))))
    ++same;
  if (same == ideal.size()) real.resize(same);  // what koralctl sends after the transfer is not part of it

  const double realS = static_cast<double>(real.back().us - real.front().us) / 1e6;
  const double idealS = static_cast<double>(ideal.back().us - ideal.front().us) / 1e6;
  const Gaps gaps = CompareGaps(real, ideal);
  const char* link = setup.link == koral::LinkMode::Serial ? "serial" : "udp";
  const char* direction = setup.direction == Direction::Download ? "download" : "upload";
  std::printf(
      "%s %s: %zu bytes, %.3f s against the protocol's %.3f s: %+.2f %%; gaps %+.3f ms each on average, "
      "the shortest %+.3f ms against its stated length, %zu shorter by over 1 ms; %zu over by more than 2 ms, "
      "%.1f ms in all\n",
      link, direction, real.size(), realS, idealS, (realS - idealS) / idealS * 100.0, gaps.meanExtraUs / 1000.0,
      static_cast<double>(gaps.shortestUs) / 1000.0, gaps.shorter, gaps.stalls,
      static_cast<double>(gaps.stalledUs) / 1000.0);
  if (same != real.size() || same != ideal.size()) {
    std::printf("  the byte sequences differ from byte %zu on (%zu real, %zu in the protocol's run)\n", same + 1,
                real.size(), ideal.size());
  }
  return 0;
}
