// koralctl set-ip and get-ip: the IP address tool, whose port chooser opens
// the --serial device (behind COM1) at 4800 baud and whose address window
// writes and queries the unit's network address.
#include <variant>

#include "command_line.h"
#include "command_report.h"
#include "commands.h"
#include "exit_codes.h"
#include "net/ip_setting_model.h"
#include "progress.h"
#include "unit_link.h"

namespace koralctl {
namespace {

constexpr std::string_view kSetIp = "set-ip";
constexpr std::string_view kGetIp = "get-ip";
constexpr KnownOption kIpOptions[] = {{"--serial"}};
// The port chooser's entry for COM1.
constexpr int kComOneEntry = kSerialPortNumber - 1;
// Past the one run of the read-back timer, whenever it was started.
constexpr int kReadBackBoundMs = 2 * koral::IpAddressModel::kReadBackMs;

constexpr std::string_view kSetIpUsage =
    "usage: koralctl set-ip --serial DEVICE ADDRESS\n"
    "Writes ADDRESS into a network unit over a serial cable at 4800 baud, as the\n"
    "IP address tool's Set_IP does for that text (a field that is not a byte 0..255\n"
    "gives 0, a missing field 0), then asks for the address and prints the reply\n"
    "read one second later in dotted decimals.\n"
    "\n"
    "Exit codes: 0 the unit replied, 1 no reply or the port failed, 2 usage error.\n";

constexpr std::string_view kGetIpUsage =
    "usage: koralctl get-ip --serial DEVICE\n"
    "Asks a network unit for its IPv4 address over a serial cable at 4800 baud and\n"
    "prints the reply read one second later in dotted decimals.\n"
    "\n"
    "Exit codes: 0 the unit replied, 1 no reply or the port failed, 2 usage error.\n";

struct IpRequest {
  std::string device;
  std::optional<std::string> newAddress;  // set-ip
};

std::variant<IpRequest, int> ReadIpRequest(std::span<const std::string_view> args, std::string_view command,
                                           std::string_view usage, bool wantsAddress, CommandStreams io) {
  auto parsed = CommandLine::Parse(args, kIpOptions);
  if (const auto* error = std::get_if<std::string>(&parsed)) return UsageError(io, command, *error);
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.HelpWanted()) {
    io.out << usage;
    return kExitSuccess;
  }
  const auto device = line.Value("--serial");
  if (!device || device->empty()) return UsageError(io, command, "no serial device: give --serial DEVICE");
  IpRequest request{std::string(*device), std::nullopt};
  const std::size_t wanted = wantsAddress ? 1 : 0;
  if (wantsAddress && line.Arguments().empty()) return UsageError(io, command, "no address given");
  if (line.Arguments().size() > wanted) {
    return UsageError(io, command, "unexpected argument '" + std::string(line.Arguments()[wanted]) + "'");
  }
  if (wantsAddress) {
    if (line.Arguments()[0].empty()) return UsageError(io, command, "the address is empty");
    request.newAddress = std::string(line.Arguments()[0]);
  }
  return request;
}

int RunIpTool(const IpRequest& request, std::string_view command, CommandStreams io) {
  Progress progress(io.err, io.errIsTerminal);
  LinkChoice choice;
  choice.device = request.device;
  UnitLink link(choice, io, progress);
  koral::Transport& transport = link.Engine().GetTransport();
  koral::Clock& clock = link.Runner().GetClock();
  koral::IpAddressModel addressWindow(transport, clock);
  koral::IpPortModel portWindow(transport, addressWindow);

  progress.Step("opening " + std::string(koral::IpPortModel::Entries()[kComOneEntry]) + " (" + request.device + ")");
  if (const auto failure = portWindow.Choose(kComOneEntry))
    return Failure(io, command, failure->text, kExitLinkFailure);
  if (request.newAddress) {
    addressWindow.SetAddressText(*request.newAddress);
    progress.Step("writing " + addressWindow.AddressText());
    addressWindow.SetIp();
  } else {
    addressWindow.Activate();
  }
  // The read-back timer runs once, a second after it was started.
  link.Runner().RunUntil(
      [&] { return clock.NowMs() >= addressWindow.TimerStartedAtMs() + addressWindow.TimerPeriodMs(); },
      kReadBackBoundMs);
  addressWindow.TimerTick();
  if (addressWindow.PresentAddress().empty()) {
    return Failure(io, command, "no reply from the unit on " + request.device, kExitLinkFailure);
  }
  io.out << addressWindow.PresentAddress() << '\n' << std::flush;
  return kExitSuccess;
}

}  // namespace

int RunSetIp(std::span<const std::string_view> args, CommandStreams io) {
  auto request = ReadIpRequest(args, kSetIp, kSetIpUsage, true, io);
  if (const int* exitCode = std::get_if<int>(&request)) return *exitCode;
  return RunIpTool(std::get<IpRequest>(request), kSetIp, io);
}

int RunGetIp(std::span<const std::string_view> args, CommandStreams io) {
  auto request = ReadIpRequest(args, kGetIp, kGetIpUsage, false, io);
  if (const int* exitCode = std::get_if<int>(&request)) return *exitCode;
  return RunIpTool(std::get<IpRequest>(request), kGetIp, io);
}

}  // namespace koralctl
