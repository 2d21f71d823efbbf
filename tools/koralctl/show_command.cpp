#include "app/session.h"
#include "app/settings_report.h"
#include "command_report.h"
#include "commands.h"
#include "exit_codes.h"
#include "settings_loading.h"

namespace koralctl {

namespace {

constexpr std::string_view kShowUsage =
    "usage: koralctl show [FILE]\n"
    "Prints the DAY and NIGHT settings of a settings file, or the factory\n"
    "defaults (serial link, NTSC, 4800 baud) when no FILE is given.\n";

}  // namespace

int RunShow(std::span<const std::string_view> args, CommandStreams io) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    io.out << kShowUsage;
    return kExitSuccess;
  }
  if (!args.empty() && args[0].starts_with("-")) {
    return UsageError(io, "show", "unknown option '" + std::string(args[0]) + "'");
  }
  if (args.size() > 1) {
    return UsageError(io, "show", "one FILE at most");
  }

  koral::Session session;
  session.linkBaudIndex = koral::kBaud4800Index;
  koral::LoadFactorySettings(session);
  if (!args.empty() && !LoadSettingsFile(std::string(args[0]), session, io.err)) return kExitFileError;
  io.out << koral::FormatSettingsReport(koral::DescribeSettings(session.banks));
  return kExitSuccess;
}

}  // namespace koralctl
