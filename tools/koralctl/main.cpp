// koralctl: configure and watch KORAL motion detectors from scripts.
#include <iostream>
#include <string_view>
#include <vector>

#include "commands.h"
#include "exit_codes.h"

namespace {

constexpr std::string_view kUsage =
    "usage: koralctl COMMAND [ARGS...]\n"
    "\n"
    "Commands:\n"
    "  show [FILE]          print the DAY and NIGHT settings of FILE, or the factory defaults\n"
    "  diff FILE1 FILE2     print the settings that differ between two files\n"
    "\n"
    "Run 'koralctl COMMAND --help' for the options of a command.\n";

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> words(argv + 1, argv + argc);
  koralctl::CommandStreams io{std::cout, std::cerr};
  if (words.empty()) {
    std::cerr << kUsage;
    return koralctl::kExitUsage;
  }
  const std::string_view command = words[0];
  const std::span<const std::string_view> args(words.data() + 1, words.size() - 1);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return koralctl::kExitSuccess;
  }
  if (command == "show") return koralctl::RunShow(args, io);
  if (command == "diff") return koralctl::RunDiff(args, io);
  std::cerr << "koralctl: unknown command '" << command << "'\n" << kUsage;
  return koralctl::kExitUsage;
}
