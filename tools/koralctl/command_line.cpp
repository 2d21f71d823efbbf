#include "command_line.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "link/ipv4_address.h"

namespace koralctl {
namespace {

constexpr std::string_view kEndOfOptions = "--";

bool IsHelp(std::string_view word) {
  return word == "--help" || word == "-h";
}

bool SameLetters(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

std::optional<std::uint16_t> UdpPort(std::string_view text) {
  const auto port = WholeNumber(text, 1, 65535);
  if (!port) return std::nullopt;
  return static_cast<std::uint16_t>(*port);
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

}  // namespace

std::optional<long long> WholeNumber(std::string_view text, long long least, long long most) {
  long long value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < least || value > most) return std::nullopt;
  return value;
}

std::vector<KnownOption> WithLinkOptions(std::initializer_list<KnownOption> own) {
  std::vector<KnownOption> options(own);
  options.insert(options.end(), std::begin(kLinkKnownOptions), std::end(kLinkKnownOptions));
  return options;
}

std::variant<CommandLine, std::string> CommandLine::Parse(std::span<const std::string_view> args,
                                                          std::span<const KnownOption> options) {
  CommandLine line;
  const auto end = std::find(args.begin(), args.end(), kEndOfOptions);
  if (std::any_of(args.begin(), end, IsHelp)) {
    line.help_ = true;
    return line;
  }
  for (auto word = args.begin(); word != args.end(); ++word) {
    if (word == end) {
      line.arguments_.insert(line.arguments_.end(), word + 1, args.end());
      break;
    }
    if (!word->starts_with("-") || *word == "-") {
      line.arguments_.push_back(*word);
      continue;
    }
    std::string_view name = *word;
    std::optional<std::string_view> value;
    if (const std::size_t equals = name.find('='); name.starts_with("--") && equals != std::string_view::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const auto option =
        std::find_if(options.begin(), options.end(), [name](const KnownOption& o) { return o.name == name; });
    if (option == options.end()) return "unknown option " + Quoted(name);
    if (!option->takesValue) {
      if (value) return std::string(name) + " takes no value";
      line.values_.emplace_back(name, std::string_view{});
      continue;
    }
    if (!value) {
      if (word + 1 == args.end() || word + 1 == end) return std::string(name) + " needs a value";
      value = *++word;
    }
    line.values_.emplace_back(name, *value);
  }
  return line;
}

bool CommandLine::Has(std::string_view option) const {
  return std::any_of(values_.begin(), values_.end(), [option](const auto& given) { return given.first == option; });
}

std::optional<std::string_view> CommandLine::Value(std::string_view option) const {
  const auto given = std::find_if(values_.rbegin(), values_.rend(),
                                  [option](const auto& candidate) { return candidate.first == option; });
  if (given == values_.rend()) return std::nullopt;
  return given->second;
}

std::variant<LinkChoice, std::string> ReadLinkChoice(const CommandLine& line) {
  LinkChoice link;
  const auto serial = line.Value("--serial");
  const auto udp = line.Value("--udp");
  if (serial && udp) return "--serial and --udp name two links; give one";
  if (!serial && !udp) return "no link: give --serial DEVICE or --udp HOST";
  if (serial) {
    if (serial->empty()) return "--serial needs a device path";
    link.mode = koral::LinkMode::Serial;
    link.device = std::string(*serial);
    for (const std::string_view option : {"--bridge-port", "--local-port"}) {
      if (line.Has(option)) return std::string(option) + " goes with --udp, not --serial";
    }
  } else {
    if (!koral::ParseIpv4(*udp))
      return "--udp wants the bridge's IPv4 address such as 192.168.0.100, not " + Quoted(*udp);
    link.mode = koral::LinkMode::Udp;
    link.host = std::string(*udp);
  }
  if (const auto port = line.Value("--bridge-port")) {
    const auto number = UdpPort(*port);
    if (!number) return "--bridge-port is a UDP port 1..65535, not " + Quoted(*port);
    link.bridgePort = *number;
  }
  if (const auto port = line.Value("--local-port")) {
    const auto number = UdpPort(*port);
    if (!number) return "--local-port is a UDP port 1..65535, not " + Quoted(*port);
    link.localPort = *number;
  }
  if (const auto baud = line.Value("--baud")) {
    const auto number = WholeNumber(*baud, 0, 1'000'000);
    const auto rate = std::find(koral::kLinkBaudRates.begin(), koral::kLinkBaudRates.end(), number.value_or(-1));
    if (rate == koral::kLinkBaudRates.end()) {
      return "--baud is one of 1200, 2400, 4800, 9600, 19200, 28800, not " + Quoted(*baud);
    }
    link.speedIndex = static_cast<int>(rate - koral::kLinkBaudRates.begin());
    link.speedGiven = true;
  }
  if (const auto model = line.Value("--model")) {
    if (SameLetters(*model, "qt-1rx")) {
      link.model = koral::UnitModel::Qt1Rx;
    } else if (SameLetters(*model, "qt-mx")) {
      link.model = koral::UnitModel::QtMx;
    } else {
      return "--model is qt-1rx or qt-mx, not " + Quoted(*model);
    }
  }
  if (const auto video = line.Value("--video")) {
    if (SameLetters(*video, "ntsc")) {
      link.video = koral::VideoStandard::Ntsc;
    } else if (SameLetters(*video, "pal")) {
      link.video = koral::VideoStandard::Pal;
    } else {
      return "--video is ntsc or pal, not " + Quoted(*video);
    }
  }
  return link;
}

}  // namespace koralctl
