// koralctl diff: the settings in which two files differ, as the window names
// and shows them.
#include "app/settings_report.h"
#include "command_report.h"
#include "commands.h"
#include "exit_codes.h"
#include "model/settings_file.h"
#include "settings_loading.h"

namespace koralctl {
namespace {

constexpr std::string_view kDiffUsage =
    "usage: koralctl diff FILE1 FILE2\n"
    "Prints every setting whose DAY or NIGHT value differs between two settings\n"
    "files, one per line: \"Relay Output: ALARM \xE2\x86\x92 TIMER1 (DAY)\".\n";

}  // namespace

int RunDiff(std::span<const std::string_view> args, CommandStreams io) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    io.out << kDiffUsage;
    return kExitSuccess;
  }
  if (args.size() != 2) {
    return UsageError(io, "diff", "give two files");
  }
  koral::Session first;
  koral::Session second;
  first.linkBaudIndex = second.linkBaudIndex = koral::kBaud4800Index;
  if (!LoadSettingsFile(std::string(args[0]), first, io.err) ||
      !LoadSettingsFile(std::string(args[1]), second, io.err)) {
    return kExitFileError;
  }

  const auto before = koral::DescribeSettings(first.banks);
  const auto after = koral::DescribeSettings(second.banks);
  bool anyShown = false;
  for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
    const auto line = [&](const std::string& from, const std::string& to, const char* bank) {
      if (from == to) return;
      io.out << before[i].name << ": " << from << " \xE2\x86\x92 " << to << " (" << bank << ")\n";
      anyShown = true;
    };
    line(before[i].day, after[i].day, "DAY");
    line(before[i].night, after[i].night, "NIGHT");
  }
  if (!anyShown && koral::ComposeSettingsImage(first.banks) != koral::ComposeSettingsImage(second.banks)) {
    io.out << "No setting differs as shown; the stored motion parameter sets or raw bytes do.\n";
  }
  return kExitSuccess;
}

}  // namespace koralctl
