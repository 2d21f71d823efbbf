// The command line of koral-emu.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "model/unit_profile.h"
#include "unit/outbox.h"

namespace koral::emu {

struct UdpListen {
  std::string address;  // dotted IPv4
  std::uint16_t port = 0;
  friend bool operator==(const UdpListen&, const UdpListen&) = default;
};

struct EmuOptions {
  std::optional<std::string> linkPath;  // a symbolic link to the pseudo-terminal
  std::optional<UdpListen> udp;         // be a bridge on UDP instead
  UnitModel model = UnitModel::Qt1Rx;
  VideoStandard video = VideoStandard::Ntsc;
  std::optional<std::uint8_t> address;
  std::optional<std::string> loadFile;
  std::optional<std::string> dumpFile;
  std::optional<std::string> stampFile;  // the line's traffic with its times
  LineFaults faults;
  std::optional<int> garbageSeconds;  // a burst of random bytes on the pseudo-terminal
  bool videoLoss = false;
  bool still = false;
  bool quiet = false;
  bool help = false;
};

extern const std::string_view kUsage;

// The options, or a one-line reason why they are not usable.
std::variant<EmuOptions, std::string> ParseOptions(std::span<const std::string_view> args);

}  // namespace koral::emu
