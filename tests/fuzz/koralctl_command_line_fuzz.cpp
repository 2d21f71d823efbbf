// libFuzzer target: koralctl's command line read in-process, the way each
// command reads its words before it touches a link or a file: options, link,
// numbers, keys, output types and durations. Input: the words after
// "koralctl", separated by NUL bytes; the first picks the command. Every word
// is also made printable as the monitor prints the unit's bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "command_line.h"
#include "command_words.h"
#include "link/ipv4_address.h"
#include "monitor/output_decoder.h"
#include "printable_text.h"

namespace {

using koralctl::CommandLine;
using koralctl::KnownOption;

struct CommandOptions {
  std::string_view name;
  std::vector<KnownOption> options;
  bool readsLink;  // takes the link options
};

const std::vector<CommandOptions>& Commands() {
  static const std::vector<CommandOptions> commands = {
      {"upload", koralctl::WithLinkOptions({{"-o"}, {"--address"}}), true},
      {"download", koralctl::WithLinkOptions({}), true},
      {"monitor", koralctl::WithLinkOptions({{"--type"}, {"--frames"}, {"--seconds"}}), true},
      {"keys", koralctl::WithLinkOptions({}), true},
      {"set-ip", {{"--serial"}}, false},
      {"get-ip", {{"--serial"}}, false},
  };
  return commands;
}

// The inverse of PrintableText: printable text reads back to the bytes.
std::string Unprinted(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      bytes += text[i];
      continue;
    }
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      bytes += '\\';
      ++i;
      continue;
    }
    if (i + 3 >= text.size() || text[i + 1] != 'x') std::abort();
    bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
    i += 3;
  }
  return bytes;
}

void CheckPrintable(std::string_view word) {
  const std::string text = koralctl::PrintableText(word);
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) std::abort();
  }
  if (Unprinted(text) != word) std::abort();
}

void CheckNumber(std::string_view word, long long least, long long most) {
  const auto value = koralctl::WholeNumber(word, least, most);
  if (!value) return;
  if (*value < least || *value > most || std::to_string(*value) != word) {
    // A plus sign is not accepted by from_chars, and leading zeros are the only
    // other way two texts name one number.
    if (word.empty() || word.find_first_not_of("-0123456789") != std::string_view::npos) std::abort();
    if (koralctl::WholeNumber(std::to_string(*value), least, most) != value) std::abort();
  }
}

void CheckLink(const CommandLine& line, const koralctl::LinkChoice& link) {
  if (link.speedIndex < 0 || link.speedIndex >= static_cast<int>(koral::kLinkBaudRates.size())) std::abort();
  if (link.speedGiven != line.Has("--baud")) std::abort();
  if (link.mode == koral::LinkMode::Serial) {
    if (link.device.empty() || line.Value("--serial") != link.device || line.Has("--udp")) std::abort();
  } else {
    if (!koral::ParseIpv4(link.host) || line.Value("--udp") != link.host || line.Has("--serial")) std::abort();
  }
  if (link.bridgePort == 0 || link.localPort == 0) std::abort();
}

// What the command makes of its own words once the link is known.
void CheckCommandWords(std::string_view command, const CommandLine& line, koral::UnitModel model) {
  if (command == "keys") {
    for (const std::string_view word : line.Arguments()) {
      const auto press = koralctl::ReadPress(word, model);
      if (const auto* error = std::get_if<std::string>(&press)) {
        if (error->empty()) std::abort();
        continue;
      }
      const koralctl::Press& p = std::get<koralctl::Press>(press);
      if (p.caption.size() != word.size()) std::abort();
      if (!p.key && (model != koral::UnitModel::QtMx || p.selectAddress < 0 || p.selectAddress > 127)) std::abort();
    }
  } else if (command == "monitor") {
    if (const auto text = line.Value("--type")) {
      const auto type = koralctl::OutputTypeOf(*text);
      if (type && (*type < 0 || *type >= koral::kOutputTypeCount)) std::abort();
    }
    if (const auto text = line.Value("--seconds")) {
      const auto seconds = koralctl::PositiveSeconds(*text);
      if (seconds && !(*seconds > 0 && *seconds <= 365.0 * 24 * 3600)) std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> words;
  for (std::size_t begin = 0; begin <= input.size();) {
    const std::size_t end = std::min(input.find('\0', begin), input.size());
    words.push_back(input.substr(begin, end - begin));
    begin = end + 1;
  }
  if (words.size() > 64) return 0;  // a command line, not a file

  for (const std::string_view word : words) {
    CheckPrintable(word);
    CheckNumber(word, 0, 127);
    CheckNumber(word, 1, 65535);
  }

  const std::span<const std::string_view> args(words.data() + 1, words.size() - 1);
  const auto& commands = Commands();
  const auto command =
      std::find_if(commands.begin(), commands.end(), [&](const CommandOptions& c) { return c.name == words[0]; });
  // An unknown command word reads its words with the upload's options, so
  // the fuzzer need not guess a name before it reaches the parser.
  const CommandOptions& chosen = command == commands.end() ? commands.front() : *command;
  const auto parsed = CommandLine::Parse(args, chosen.options);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    if (error->empty()) std::abort();
    return 0;
  }
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.HelpWanted()) return 0;
  for (const KnownOption& option : chosen.options) {
    if (line.Value(option.name).has_value() != line.Has(option.name)) std::abort();
  }
  if (line.Arguments().size() > args.size()) std::abort();
  if (!chosen.readsLink) return 0;

  const auto link = koralctl::ReadLinkChoice(line);
  if (const auto* error = std::get_if<std::string>(&link)) {
    if (error->empty()) std::abort();
    return 0;
  }
  const koralctl::LinkChoice& choice = std::get<koralctl::LinkChoice>(link);
  CheckLink(line, choice);
  CheckCommandWords(chosen.name, line, choice.model);
  return 0;
}
