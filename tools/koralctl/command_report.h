// How a command ends when it cannot do its job: the usage error or failure as
// one line on stderr, and the exit code scripts rely on.
#pragma once

#include <string_view>

#include "commands.h"
#include "exit_codes.h"

namespace koralctl {

// "koralctl upload: unknown option '--x' (see 'koralctl upload --help')"; exit 2.
inline int UsageError(CommandStreams io, std::string_view command, std::string_view reason) {
  io.err << "koralctl " << command << ": " << reason << " (see 'koralctl " << command << " --help')\n";
  return kExitUsage;
}

// "koralctl upload: <reason>"; the code given.
inline int Failure(CommandStreams io, std::string_view command, std::string_view reason, int exitCode) {
  io.err << "koralctl " << command << ": " << reason << '\n';
  return exitCode;
}

// A warning goes to stderr whoever reads it; the command goes on.
inline void Warning(CommandStreams io, std::string_view command, std::string_view text) {
  io.err << "koralctl " << command << ": warning: " << text << '\n';
}

// The link options, as every command's help shows them.
inline constexpr std::string_view kLinkOptionsHelp =
    "Link (give --serial or --udp):\n"
    "  --serial DEVICE        serial device path (a pseudo-terminal path works)\n"
    "  --udp HOST             the bridge's IPv4 address\n"
    "  --bridge-port N        bridge UDP port (default 26482)\n"
    "  --local-port N         local UDP port (default 26482)\n"
    "  --baud N               1200|2400|4800|9600|19200|28800 (default 4800)\n"
    "  --model qt-1rx|qt-mx   (default qt-1rx); a QT-MX always runs at 4800 baud\n"
    "  --video ntsc|pal       (default ntsc)\n";

inline constexpr std::string_view kExitCodesHelp =
    "Exit codes: 0 success, 1 the unit did not answer or the link failed, 2 usage\n"
    "error, 3 file error.\n";

}  // namespace koralctl
