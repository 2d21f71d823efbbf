// koralctl keys: the keypad window's keys pressed in order, and on a QT-MX
// line SELECT with the group and address spinners moved first.
#include <variant>
#include <vector>

#include "app/keypad_model.h"
#include "command_line.h"
#include "command_report.h"
#include "command_words.h"
#include "commands.h"
#include "exit_codes.h"
#include "progress.h"
#include "unit_link.h"

namespace koralctl {
namespace {

constexpr std::string_view kKeys = "keys";

std::string KeysUsage() {
  return std::string(
             "usage: koralctl keys KEY... LINK\n"
             "Presses the keypad window's keys in the order given. KEY is a key's\n"
             "caption: MENU, ALARM, RIGHT, LEFT (QT-1RX); DAY, NIGHT, ENABLE, DISABLE,\n"
             "CLEAR (both models); UNADDRESS, UP, DOWN, RIGHT, LEFT, EXIT, LOG (QT-MX);\n"
             "or SELECT=N (QT-MX, N = 0..127): the group and address spinners move to\n"
             "N / 16 and N mod 16, sending what the keypad sends when they move, then\n"
             "SELECT. A key the model's keypad disables is a usage error.\n"
             "\n") +
         std::string(kLinkOptionsHelp) + "\n" + std::string(kExitCodesHelp);
}

}  // namespace

int RunKeys(std::span<const std::string_view> args, CommandStreams io) {
  const auto known = WithLinkOptions({});
  auto parsed = CommandLine::Parse(args, known);
  if (const auto* error = std::get_if<std::string>(&parsed)) return UsageError(io, kKeys, *error);
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.HelpWanted()) {
    io.out << KeysUsage();
    return kExitSuccess;
  }
  auto choice = ReadLinkChoice(line);
  if (const auto* error = std::get_if<std::string>(&choice)) return UsageError(io, kKeys, *error);
  const LinkChoice& linkChoice = std::get<LinkChoice>(choice);
  if (line.Arguments().empty()) return UsageError(io, kKeys, "no key given");
  std::vector<Press> presses;
  for (const std::string_view word : line.Arguments()) {
    auto press = ReadPress(word, linkChoice.model);
    if (const auto* error = std::get_if<std::string>(&press)) return UsageError(io, kKeys, *error);
    presses.push_back(std::get<Press>(press));
  }

  Progress progress(io.err, io.errIsTerminal);
  UnitLink link(linkChoice, io, progress);
  if (const auto problem = link.Connect()) return Failure(io, kKeys, *problem, kExitLinkFailure);
  // The keypad window opens once the connection window has fixed the model.
  koral::KeypadModel& keypad = link.Runner().Keypad();
  keypad.Load();
  for (const Press& press : presses) {
    progress.Step("pressing " + press.caption);
    if (press.key) {
      if (!keypad.KeyEnabled(*press.key)) {
        return UsageError(io, kKeys, "the keypad disables " + press.caption);
      }
      keypad.Press(*press.key);
      continue;
    }
    keypad.SetGroup(press.selectAddress / koral::kAddressesPerGroup);
    keypad.SetAddress(press.selectAddress % koral::kAddressesPerGroup);
    keypad.Select();
  }
  return kExitSuccess;
}

}  // namespace koralctl
