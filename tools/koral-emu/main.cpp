// koral-emu: an emulated KORAL detector for demonstrations, for trying the
// program without hardware, and as the peer of the link tests.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string_view>
#include <vector>

#include "emulator.h"
#include "host_os.h"
#include "model/settings_file.h"
#include "options.h"
#include "pty_line.h"
#include "traffic_stamps.h"
#include "udp_line.h"

namespace {

using namespace koral;
using namespace koral::emu;

constexpr int kExitSuccess = 0;
constexpr int kExitLinkFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitFileError = 3;

CivilTime HostLocalTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) return {};
  return {local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec};
}

LogSink StderrLog(const UnitClock& clock, bool quiet) {
  if (quiet) return [](const std::string&) {};
  return [&clock](const std::string& line) {
    const std::int64_t ms = clock.NowMs();
    std::fprintf(stderr, "%6lld.%03lld %s\n", static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000),
                 line.c_str());
  };
}

// A symbolic link at `link` to the terminal; an existing link there is
// replaced, anything else is left alone.
std::optional<std::string> MakeLink(const std::string& link, const std::string& target) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(link, error);
  if (std::filesystem::exists(status)) {
    if (!std::filesystem::is_symlink(status)) return link + " exists and is not a symbolic link";
    std::filesystem::remove(link, error);
  }
  std::filesystem::create_symlink(target, link, error);
  if (error) return link + ": " + error.message();
  return std::nullopt;
}

void RemoveLink(const std::string& link, const std::string& target) {
  std::error_code error;
  if (std::filesystem::is_symlink(link, error) && std::filesystem::read_symlink(link, error) == target) {
    std::filesystem::remove(link, error);
  }
}

std::variant<RegisterBanks, std::string> StartingBanks(const EmuOptions& options) {
  const LinkMode link = options.udp ? LinkMode::Udp : LinkMode::Serial;
  RegisterBanks banks = FactoryBanks(options.video, link, options.address.value_or(0));
  if (options.loadFile) {
    auto image = ReadSettingsFile(*options.loadFile);
    if (const auto* error = std::get_if<SettingsFileError>(&image)) return error->message;
    DistributeSettingsImage(std::get<SettingsImage>(image), banks);
    if (options.address) banks.WriteRegister(reg::kUnitAddress, *options.address);
  }
  banks.SetActiveBank(BankId::Day);
  return banks;
}

std::string Describe(const EmuOptions& options, const RegisterBanks& banks) {
  std::string text = std::string(UnitModelName(options.model)) + ", address " +
                     HexByte(banks.ReadRegister(reg::kUnitAddress)) + ", " +
                     (options.loadFile ? "settings of " + *options.loadFile
                                       : std::string(VideoStandardName(options.video)) + " factory settings");
  if (options.model == UnitModel::QtMx) text += ", waiting to be selected";
  if (options.faults.silent) text += ", silent";
  if (options.faults.dropAfterUpload)
    text += ", silent after " + std::to_string(*options.faults.dropAfterUpload) + " upload frames";
  if (options.faults.garbleRate > 0)
    text += ", garbling " + std::to_string(options.faults.garbleRate) + " of the bytes";
  if (options.faults.slowMs > 0) text += ", " + std::to_string(options.faults.slowMs) + " ms late";
  if (options.faults.pieces > 1) {
    text += ", frames in " + std::to_string(options.faults.pieces) + " pieces " +
            std::to_string(options.faults.pieceGapMs) + " ms apart";
  }
  if (options.garbageSeconds) text += ", " + std::to_string(*options.garbageSeconds) + " s of garbage";
  if (options.videoLoss) text += ", video lost";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto parsed = ParseOptions(args);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    std::cerr << "koral-emu: " << *error << "\nRun 'koral-emu --help' for the options.\n";
    return kExitUsage;
  }
  const EmuOptions& options = std::get<EmuOptions>(parsed);
  if (options.help) {
    std::cout << kUsage;
    return kExitSuccess;
  }
  auto banks = StartingBanks(options);
  if (const auto* error = std::get_if<std::string>(&banks)) {
    std::cerr << "koral-emu: " << *error << "\n";
    return kExitFileError;
  }

  QCoreApplication app(argc, argv);
  SteadyClock clock;
  const LogSink log = StderrLog(clock, options.quiet);

  UnitConfig config;
  config.model = options.model;
  config.link = options.udp ? LinkMode::Udp : LinkMode::Serial;
  config.faults = options.faults;
  config.videoLost = options.videoLoss;
  config.still = options.still;
  config.startTime = HostLocalTime();
  Unit unit(config, std::get<RegisterBanks>(banks), clock, log);

  std::function<void(const Bytes&)> writeFrame;
  std::optional<TrafficStamps> stamps;
  if (options.stampFile) stamps.emplace();
  Emulator emulator(
      unit, clock,
      [&writeFrame, &stamps](const Bytes& frame) {
        if (stamps) stamps->Sent(frame);
        writeFrame(frame);
      },
      options.dumpFile, log);

  std::unique_ptr<PseudoTerminal> terminal;
  std::unique_ptr<PtyLine> ptyLine;
  std::unique_ptr<UdpLine> udpLine;
  if (options.udp) {
    const auto unitBaud = [&unit]() -> std::optional<int> {
      const std::size_t position = unit.Banks().ReadRegister(reg::kUnitBaudRate);
      if (position >= kLinkBaudRates.size()) return std::nullopt;
      return kLinkBaudRates[position];
    };
    auto bound = UdpLine::Bind(
        *options.udp, log,
        [&emulator, &stamps](std::uint8_t byte) {
          if (stamps) stamps->Received(std::span(&byte, 1));
          emulator.Receive(byte);
        },
        unitBaud);
    if (const auto* error = std::get_if<std::string>(&bound)) {
      std::cerr << "koral-emu: " << *error << "\n";
      return kExitLinkFailure;
    }
    udpLine = std::move(std::get<std::unique_ptr<UdpLine>>(bound));
    writeFrame = [&udpLine](const Bytes& frame) { udpLine->Write(frame); };
    std::cout << "udp " << options.udp->address << ":" << udpLine->Port() << std::endl;
    log(Describe(options, unit.Banks()) + ", bridge on UDP " + options.udp->address + ":" +
        std::to_string(udpLine->Port()));
  } else {
    auto opened = PseudoTerminal::Open();
    if (const auto* error = std::get_if<std::string>(&opened)) {
      std::cerr << "koral-emu: no pseudo-terminal: " << *error << "\n";
      return kExitLinkFailure;
    }
    terminal = std::move(std::get<std::unique_ptr<PseudoTerminal>>(opened));
    if (options.linkPath) {
      if (const auto error = MakeLink(*options.linkPath, terminal->DevicePath())) {
        std::cerr << "koral-emu: " << *error << "\n";
        return kExitLinkFailure;
      }
    }
    ptyLine =
        std::make_unique<PtyLine>(*terminal, clock, log, [&emulator, &stamps](std::span<const std::uint8_t> bytes) {
          if (stamps) stamps->Received(bytes);
          emulator.Receive(bytes);
        });
    if (options.garbageSeconds)
      ptyLine->SendGarbageAfterFirstStatusReply(*options.garbageSeconds, options.faults.garbleSeed);
    writeFrame = [&ptyLine](const Bytes& frame) { ptyLine->Write(frame); };
    std::cout << "pty " << terminal->DevicePath() << std::endl;
    log(Describe(options, unit.Banks()) + ", serial line " + terminal->DevicePath() +
        (options.linkPath ? " (" + *options.linkPath + ")" : std::string()));
  }

  auto installed = SignalPipe::Install();
  std::unique_ptr<SignalPipe> signalPipe;
  std::unique_ptr<QSocketNotifier> signalNotifier;
  if (auto* pipe = std::get_if<std::unique_ptr<SignalPipe>>(&installed)) {
    signalPipe = std::move(*pipe);
    signalNotifier = std::make_unique<QSocketNotifier>(signalPipe->ReadHandle(), QSocketNotifier::Read);
    QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, [&] {
      for (const HostSignal received : signalPipe->Take()) {
        if (received == HostSignal::ToggleVideoLoss) {
          emulator.ToggleVideoLoss();
        } else {
          log("asked to stop");
          QCoreApplication::quit();
        }
      }
    });
  } else {
    log("no signals: " + std::get<std::string>(installed));
  }

  emulator.Pump();
  const int result = QCoreApplication::exec();
  emulator.Dump();
  if (stamps) {
    if (const auto error = stamps->Write(*options.stampFile)) log(*error);
  }
  if (options.linkPath && terminal) RemoveLink(*options.linkPath, terminal->DevicePath());
  return result;
}
