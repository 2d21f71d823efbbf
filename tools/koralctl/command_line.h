// The words after a command's name: its options (with "--name VALUE" or
// "--name=VALUE"), its plain arguments, and the link options that the commands
// talking to a unit share. Parsing sends nothing and opens nothing: a usage
// error is known before any link is touched.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/unit_profile.h"

namespace koralctl {

// The option a command takes, and whether a value follows it.
struct KnownOption {
  std::string_view name;  // "--baud"
  bool takesValue = true;
};

class CommandLine {
 public:
  // Options may come anywhere, before or after the plain arguments; "--" ends
  // them. "--help" or "-h" anywhere asks for the command's help, whatever else
  // is wrong. A usage error comes back as its reason.
  static std::variant<CommandLine, std::string> Parse(std::span<const std::string_view> args,
                                                      std::span<const KnownOption> options);

  bool HelpWanted() const { return help_; }
  bool Has(std::string_view option) const;
  // The value an option was given (its last, when given twice).
  std::optional<std::string_view> Value(std::string_view option) const;
  const std::vector<std::string_view>& Arguments() const { return arguments_; }

 private:
  bool help_ = false;
  std::vector<std::pair<std::string_view, std::string_view>> values_;
  std::vector<std::string_view> arguments_;
};

// The options that choose the unit's link, as the connection windows take them.
inline constexpr KnownOption kLinkKnownOptions[] = {
    {"--serial"}, {"--udp"}, {"--bridge-port"}, {"--local-port"}, {"--baud"}, {"--model"}, {"--video"},
};

inline constexpr std::uint16_t kDefaultUdpPort = 26482;

struct LinkChoice {
  koral::LinkMode mode = koral::LinkMode::Serial;
  std::string device;  // --serial
  std::string host;    // --udp, a dotted IPv4 address
  std::uint16_t bridgePort = kDefaultUdpPort;
  std::uint16_t localPort = kDefaultUdpPort;
  int speedIndex = koral::kBaud4800Index;  // position in koral::kLinkBaudRates, as --baud said
  bool speedGiven = false;
  koral::UnitModel model = koral::UnitModel::Qt1Rx;
  koral::VideoStandard video = koral::VideoStandard::Ntsc;

  int Baud() const { return koral::kLinkBaudRates[static_cast<std::size_t>(speedIndex)]; }
};

// The link the options name, or why they do not name one.
std::variant<LinkChoice, std::string> ReadLinkChoice(const CommandLine& line);

// A whole decimal number within least..most, and nothing else.
std::optional<long long> WholeNumber(std::string_view text, long long least, long long most);

// The options a command takes: its own and, when it talks to a unit, the link's.
std::vector<KnownOption> WithLinkOptions(std::initializer_list<KnownOption> own);

}  // namespace koralctl
