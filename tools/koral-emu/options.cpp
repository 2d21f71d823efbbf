#include "options.h"

#include <charconv>
#include <functional>
#include <map>

#include "unit/bridge.h"

namespace koral::emu {

const std::string_view kUsage =
    "usage: koral-emu [OPTIONS]\n"
    "An emulated KORAL detector (QT-1RX or QT-MX) on a pseudo-terminal, or behind\n"
    "a serial-to-network bridge on UDP.\n"
    "\n"
    "Reaching it:\n"
    "  --link PATH          also make PATH a symbolic link to the pseudo-terminal\n"
    "  --udp ADDR[:PORT]    be the bridge on UDP (port 26482 unless given, 0 for any\n"
    "                       free port) instead of a pseudo-terminal\n"
    "The first line on standard output names the pseudo-terminal (\"pty /dev/pts/N\")\n"
    "or the UDP address (\"udp ADDR:PORT\").\n"
    "\n"
    "The unit:\n"
    "  --model qt-1rx|qt-mx model (default qt-1rx); a QT-MX answers only when selected\n"
    "  --video ntsc|pal     video standard of the factory settings (default ntsc)\n"
    "  --address N          unit address 0..127 (default: factory 0, or the file's)\n"
    "  --load FILE          start with the settings of a settings file\n"
    "  --dump FILE          write the settings to FILE after every download and on exit\n"
    "  --video-loss         start with the video lost (SIGUSR1 toggles it)\n"
    "  --still              nothing moves in the simulated picture\n"
    "  --stamp FILE         write to FILE on exit every byte received and every\n"
    "                       frame sent, each with its microsecond (for timing runs)\n"
    "\n"
    "Faults:\n"
    "  --silent             never answer\n"
    "  --drop-after N       fall silent after N upload frames\n"
    "  --garble RATE        corrupt this share (0..1) of the bytes sent\n"
    "  --seed N             seed of the corruption (default 1)\n"
    "  --slow MS            send every frame MS milliseconds late\n"
    "  --pieces N           write every frame in N pieces, as a USB serial adapter\n"
    "                       hands over what it has while the rest is on the line\n"
    "                       (pseudo-terminal only)\n"
    "  --piece-gap MS       milliseconds between the pieces (default 30); the PC\n"
    "                       reads 100 ms after the first byte, so a frame whose\n"
    "                       (N-1) x MS stays below that is still read whole\n"
    "  --garbage SECONDS    3 s after the first status reply, fill the line with\n"
    "                       random bytes as fast as it takes them for SECONDS\n"
    "                       (1..3600), then go on as before (pseudo-terminal only)\n"
    "\n"
    "  -q, --quiet          no log on standard error\n"
    "  -h, --help           this text\n";

namespace {

using Result = std::variant<EmuOptions, std::string>;

template <typename T>
std::optional<T> Number(std::string_view text, T least, T most) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < least || value > most) return std::nullopt;
  return value;
}

std::optional<std::string> DottedQuad(std::string_view text) {
  int parts = 0;
  std::size_t start = 0;
  while (true) {
    const std::size_t dot = text.find('.', start);
    const std::string_view part = text.substr(start, dot == std::string_view::npos ? dot : dot - start);
    if (part.empty() || part.size() > 3 || !Number<int>(part, 0, 255)) return std::nullopt;
    ++parts;
    if (dot == std::string_view::npos) break;
    start = dot + 1;
  }
  if (parts != 4) return std::nullopt;
  return std::string(text);
}

std::optional<UdpListen> ParseUdp(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  const std::string_view host = text.substr(0, colon);
  UdpListen listen{"", kBridgePort};
  if (colon != std::string_view::npos) {
    const auto port = Number<int>(text.substr(colon + 1), 0, 65535);
    if (!port) return std::nullopt;
    listen.port = static_cast<std::uint16_t>(*port);
  }
  if (host == "localhost") {
    listen.address = "127.0.0.1";
  } else if (const auto quad = DottedQuad(host)) {
    listen.address = *quad;
  } else {
    return std::nullopt;
  }
  return listen;
}

// An option that takes a value: stores it, or says what is wrong with it.
using ValueOption = std::function<std::optional<std::string>(EmuOptions&, std::string_view)>;

// A whole number least..most for one of the line faults; `what` says what it must be.
ValueOption FaultNumber(int LineFaults::*fault, int least, int most, std::string what) {
  return [=](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
    const auto value = Number<int>(v, least, most);
    if (!value) return what + ", not '" + std::string(v) + "'";
    o.faults.*fault = *value;
    return std::nullopt;
  };
}

const std::map<std::string_view, ValueOption>& ValueOptions() {
  static const std::map<std::string_view, ValueOption> options = {
      {"--link",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         if (v.empty()) return "--link needs a path";
         o.linkPath = std::string(v);
         return std::nullopt;
       }},
      {"--udp",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         o.udp = ParseUdp(v);
         if (!o.udp) return "--udp wants ADDR[:PORT] with a dotted IPv4 address, not '" + std::string(v) + "'";
         return std::nullopt;
       }},
      {"--model",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         if (v == "qt-1rx" || v == "QT-1RX") {
           o.model = UnitModel::Qt1Rx;
         } else if (v == "qt-mx" || v == "QT-MX") {
           o.model = UnitModel::QtMx;
         } else {
           return "--model is qt-1rx or qt-mx, not '" + std::string(v) + "'";
         }
         return std::nullopt;
       }},
      {"--video",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         if (v == "ntsc" || v == "NTSC") {
           o.video = VideoStandard::Ntsc;
         } else if (v == "pal" || v == "PAL") {
           o.video = VideoStandard::Pal;
         } else {
           return "--video is ntsc or pal, not '" + std::string(v) + "'";
         }
         return std::nullopt;
       }},
      {"--address",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         const auto address = Number<int>(v, 0, 127);
         if (!address) return "--address is a number 0..127, not '" + std::string(v) + "'";
         o.address = static_cast<std::uint8_t>(*address);
         return std::nullopt;
       }},
      {"--load",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         if (v.empty()) return "--load needs a file";
         o.loadFile = std::string(v);
         return std::nullopt;
       }},
      {"--dump",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         if (v.empty()) return "--dump needs a file";
         o.dumpFile = std::string(v);
         return std::nullopt;
       }},
      {"--stamp",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         if (v.empty()) return "--stamp needs a file";
         o.stampFile = std::string(v);
         return std::nullopt;
       }},
      {"--drop-after",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         o.faults.dropAfterUpload = Number<int>(v, 0, 1'000'000);
         if (!o.faults.dropAfterUpload) return "--drop-after is a count of frames, not '" + std::string(v) + "'";
         return std::nullopt;
       }},
      {"--garble",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         const auto rate = Number<double>(v, 0.0, 1.0);
         if (!rate) return "--garble is a share 0..1 such as 0.05, not '" + std::string(v) + "'";
         o.faults.garbleRate = *rate;
         return std::nullopt;
       }},
      {"--seed",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         const auto seed = Number<std::uint32_t>(v, 0, 0xFFFFFFFFu);
         if (!seed) return "--seed is a number, not '" + std::string(v) + "'";
         o.faults.garbleSeed = *seed;
         return std::nullopt;
       }},
      {"--garbage",
       [](EmuOptions& o, std::string_view v) -> std::optional<std::string> {
         o.garbageSeconds = Number<int>(v, 1, 3600);
         if (!o.garbageSeconds) return "--garbage is seconds 1..3600, not '" + std::string(v) + "'";
         return std::nullopt;
       }},
      {"--slow", FaultNumber(&LineFaults::slowMs, 0, 60'000, "--slow is milliseconds 0..60000")},
      {"--pieces", FaultNumber(&LineFaults::pieces, 1, 100, "--pieces is a count 1..100")},
      {"--piece-gap", FaultNumber(&LineFaults::pieceGapMs, 0, 1000, "--piece-gap is milliseconds 0..1000")},
  };
  return options;
}

}  // namespace

std::variant<EmuOptions, std::string> ParseOptions(std::span<const std::string_view> args) {
  EmuOptions options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    std::optional<std::string_view> inlineValue;
    if (const std::size_t equals = arg.find('='); arg.starts_with("--") && equals != std::string_view::npos) {
      inlineValue = arg.substr(equals + 1);
      arg = arg.substr(0, equals);
    }
    const auto& valueOptions = ValueOptions();
    if (const auto option = valueOptions.find(arg); option != valueOptions.end()) {
      if (!inlineValue && i + 1 == args.size()) return std::string(arg) + " needs a value";
      const std::string_view value = inlineValue ? *inlineValue : args[++i];
      if (auto error = option->second(options, value)) return *error;
      continue;
    }
    if (inlineValue) return std::string(arg) + " takes no value";
    if (arg == "--silent") {
      options.faults.silent = true;
    } else if (arg == "--video-loss") {
      options.videoLoss = true;
    } else if (arg == "--still") {
      options.still = true;
    } else if (arg == "-q" || arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else {
      return "unknown option '" + std::string(arg) + "'";
    }
  }
  if (options.linkPath && options.udp) return "--link is for the pseudo-terminal; it does not go with --udp";
  // The program relies on the bridge sending each frame as one datagram.
  if (options.faults.pieces > 1 && options.udp) return "--pieces is for the pseudo-terminal; it does not go with --udp";
  if (options.garbageSeconds && options.udp) {
    return "--garbage is for the pseudo-terminal; it does not go with --udp";
  }
  return options;
}

}  // namespace koral::emu
