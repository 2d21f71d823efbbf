// koralctl: configure and watch KORAL motion detectors from scripts.
#include <QCoreApplication>
#include <array>
#include <iostream>
#include <string_view>
#include <vector>

#include "commands.h"
#include "exit_codes.h"
#include "progress.h"

namespace {

constexpr std::string_view kUsage =
    "usage: koralctl COMMAND [ARGS...]\n"
    "\n"
    "Commands:\n"
    "  upload -o FILE [--address N] LINK   save the unit's settings to FILE\n"
    "  download FILE LINK                  send the settings of FILE to the unit\n"
    "  monitor --type NAME|INDEX [--frames N] [--seconds S] LINK\n"
    "                                      print the unit's output data as it arrives\n"
    "  keys KEY... LINK                    press keypad keys (SELECT=N on a QT-MX)\n"
    "  set-ip --serial DEVICE ADDRESS      write a network unit's IPv4 address\n"
    "  get-ip --serial DEVICE              read a network unit's IPv4 address\n"
    "  show [FILE]                         print the DAY and NIGHT settings of FILE, or the factory defaults\n"
    "  diff FILE1 FILE2                    print the settings that differ between two files\n"
    "\n"
    "LINK is --serial DEVICE or --udp HOST, with --bridge-port N, --local-port N,\n"
    "--baud N, --model qt-1rx|qt-mx and --video ntsc|pal.\n"
    "Run 'koralctl COMMAND --help' for the options of a command.\n";

using Command = int (*)(std::span<const std::string_view>, koralctl::CommandStreams);

struct CommandEntry {
  std::string_view name;
  Command run;
  bool talksToUnit;  // runs the link engine on a Qt event loop
};

constexpr std::array<CommandEntry, 8> kCommands = {{
    {"upload", koralctl::RunUpload, true},
    {"download", koralctl::RunDownload, true},
    {"monitor", koralctl::RunMonitor, true},
    {"keys", koralctl::RunKeys, true},
    {"set-ip", koralctl::RunSetIp, true},
    {"get-ip", koralctl::RunGetIp, true},
    {"show", koralctl::RunShow, false},
    {"diff", koralctl::RunDiff, false},
}};

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> words(argv + 1, argv + argc);
  koralctl::CommandStreams io{std::cout, std::cerr, koralctl::StandardErrorIsTerminal()};
  if (words.empty()) {
    std::cerr << "koralctl: no command given (see 'koralctl --help')\n";
    return koralctl::kExitUsage;
  }
  const std::string_view command = words[0];
  const std::span<const std::string_view> args(words.data() + 1, words.size() - 1);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return koralctl::kExitSuccess;
  }
  for (const CommandEntry& entry : kCommands) {
    if (entry.name != command) continue;
    if (!entry.talksToUnit) return entry.run(args, io);
    // The event loop the engine runs on. Qt sees no arguments of ours.
    int qtArgc = 1;
    std::array<char*, 2> qtArgv = {argv[0], nullptr};
    QCoreApplication application(qtArgc, qtArgv.data());
    return entry.run(args, io);
  }
  std::cerr << "koralctl: unknown command '" << command << "' (see 'koralctl --help')\n";
  return koralctl::kExitUsage;
}
