// koralctl upload and download: the settings window's Communication menu, run
// to completion, with File > Open before a download and File > Save after an
// upload.
#include <QCoreApplication>
#include <QFileInfo>
#include <filesystem>
#include <variant>

#include "command_line.h"
#include "command_report.h"
#include "commands.h"
#include "exit_codes.h"
#include "model/register_map.h"
#include "model/settings_file.h"
#include "progress.h"
#include "unit_link.h"

namespace koralctl {
namespace {

constexpr std::string_view kUpload = "upload";
constexpr std::string_view kDownload = "download";
constexpr std::string_view kUnitAddressControl = "udAddr";
constexpr long long kHighestUnitAddress = 127;

std::string UploadUsage() {
  return std::string(
             "usage: koralctl upload -o FILE [--address N] LINK\n"
             "Fetches the unit's DAY and NIGHT settings and saves them to FILE, as the\n"
             "window's Communication > Upload and File > Save do. --address N (0..127)\n"
             "sets the unit address the upload asks for (default 0). A QT-1RX must\n"
             "answer the status request within 2 s. A failed upload, or one that\n"
             "brought a damaged frame, writes no FILE and leaves an existing one as it\n"
             "was. A QT-MX has no upload.\n"
             "\n") +
         std::string(kLinkOptionsHelp) + "\n" + std::string(kExitCodesHelp);
}

std::string DownloadUsage() {
  return std::string(
             "usage: koralctl download FILE LINK\n"
             "Sends the DAY and NIGHT settings of FILE to the unit, as the window's\n"
             "File > Open and Communication > Download do. FILE is read and checked\n"
             "before anything is sent; the unit address is the one FILE holds\n"
             "(Register 40 of its DAY bank). When FILE sets another unit speed than\n"
             "the link's, a warning says so: on the serial link to a QT-1RX the link\n"
             "follows the file's speed when it is opened.\n"
             "\n") +
         std::string(kLinkOptionsHelp) + "\n" + std::string(kExitCodesHelp);
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// Why FILE cannot be saved, found before the upload starts so that a long
// upload does not end in a file error that was there from the start.
std::optional<std::string> SaveProblem(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  // A missing file is what a first save sees; anything else (a loop of links) stops it.
  if (ec && ec != std::errc::no_such_file_or_directory) return file.string() + ": cannot be saved: " + ec.message();
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    return file.string() + ": cannot be saved: not a regular file";
  }
  const std::filesystem::path folder = file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
  if (!std::filesystem::is_directory(folder, ec)) return file.string() + ": cannot be saved: the folder does not exist";
  if (!QFileInfo(QString::fromStdString(folder.string())).isWritable()) {
    return file.string() + ": cannot be saved: the folder cannot be written";
  }
  return std::nullopt;
}

std::string TransferFailure(koral::TransferOutcome outcome, std::string_view what, UnitLink& link) {
  switch (outcome) {
    case koral::TransferOutcome::Completed:
      break;
    case koral::TransferOutcome::LinkFailure:
      return "the unit stopped answering during the " + std::string(what) + " on " + link.Where();
    case koral::TransferOutcome::TimedOut:
      return "the " + std::string(what) + " did not finish within " + std::to_string(kTransferLimitMs / 60000) +
             " minutes";
    case koral::TransferOutcome::NotStarted:
      return "the " + std::string(what) + " did not start: the program works offline";
    case koral::TransferOutcome::Cancelled:
      return "the " + std::string(what) + " was cancelled";
    case koral::TransferOutcome::Damaged:
      return "the " + std::string(what) + " arrived damaged: " + link.Runner().GetSession().transfer.uploadDamage;
  }
  return {};
}

// The unit speed a settings image sets (Register 39, shared by both banks).
int UnitSpeedOf(const koral::SettingsImage& image) {
  koral::RegisterBanks banks;
  koral::DistributeSettingsImage(image, banks);
  banks.SetActiveBank(koral::BankId::Day);
  return banks.ReadRegister(koral::reg::kUnitBaudRate);
}

std::optional<std::string> SpeedWarning(const std::string& file, int fileSpeed, const LinkChoice& link) {
  const int linkSpeed = LinkSpeedIndex(link);
  if (fileSpeed == linkSpeed) return std::nullopt;
  const std::string linkBaud = std::to_string(koral::kLinkBaudRates[static_cast<std::size_t>(linkSpeed)]);
  if (fileSpeed < 0 || fileSpeed >= static_cast<int>(koral::kLinkBaudRates.size())) {
    return file + " holds the unit speed value " + std::to_string(fileSpeed) +
           ", which names no speed; the link stays at " + linkBaud + " baud";
  }
  const std::string fileBaud = std::to_string(koral::kLinkBaudRates[static_cast<std::size_t>(fileSpeed)]);
  std::string text = file + " sets the unit speed to " + fileBaud + " baud, not the " + linkBaud + " of the link";
  if (link.mode == koral::LinkMode::Serial && link.model == koral::UnitModel::Qt1Rx) {
    text += "; the unit will run at " + fileBaud + " baud after the download";
  } else if (link.model == koral::UnitModel::QtMx) {
    text += "; a QT-MX link stays at 4800 baud";
  } else {
    text += "; the bridge stays at " + linkBaud + " baud";
  }
  return text;
}

}  // namespace

int RunUpload(std::span<const std::string_view> args, CommandStreams io) {
  const auto known = WithLinkOptions({{"-o"}, {"--address"}});
  auto parsed = CommandLine::Parse(args, known);
  if (const auto* error = std::get_if<std::string>(&parsed)) return UsageError(io, kUpload, *error);
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.HelpWanted()) {
    io.out << UploadUsage();
    return kExitSuccess;
  }
  if (!line.Arguments().empty()) return UsageError(io, kUpload, "unexpected argument " + Quoted(line.Arguments()[0]));
  const auto output = line.Value("-o");
  if (!output || output->empty()) return UsageError(io, kUpload, "no output file: give -o FILE");
  std::optional<long long> address;
  if (const auto text = line.Value("--address")) {
    address = WholeNumber(*text, 0, kHighestUnitAddress);
    if (!address) return UsageError(io, kUpload, "--address is a unit address 0..127, not " + Quoted(*text));
  }
  auto choice = ReadLinkChoice(line);
  if (const auto* error = std::get_if<std::string>(&choice)) return UsageError(io, kUpload, *error);
  const LinkChoice& linkChoice = std::get<LinkChoice>(choice);
  if (linkChoice.model == koral::UnitModel::QtMx) return UsageError(io, kUpload, "a QT-MX has no upload");
  const std::filesystem::path file{std::string(*output)};
  if (const auto problem = SaveProblem(file)) return Failure(io, kUpload, *problem, kExitFileError);

  Progress progress(io.err, io.errIsTerminal);
  UnitLink link(linkChoice, io, progress);
  if (const auto problem = link.Connect()) return Failure(io, kUpload, *problem, kExitLinkFailure);
  if (address) {
    link.Settings().SetNumber(koral::SettingsWindowModel::NumberIndex(kUnitAddressControl), static_cast<int>(*address));
  }
  link.ShowTransferProgress("upload");
  const koral::TransferOutcome outcome = link.Runner().Upload(kTransferLimitMs);
  if (outcome != koral::TransferOutcome::Completed) {
    return Failure(io, kUpload, TransferFailure(outcome, kUpload, link), kExitLinkFailure);
  }
  if (const auto problem = link.Settings().SaveSettingsFile(file)) {
    return Failure(io, kUpload, *problem, kExitFileError);
  }
  progress.Step("saved the unit's settings to " + file.string());
  return kExitSuccess;
}

int RunDownload(std::span<const std::string_view> args, CommandStreams io) {
  const auto known = WithLinkOptions({});
  auto parsed = CommandLine::Parse(args, known);
  if (const auto* error = std::get_if<std::string>(&parsed)) return UsageError(io, kDownload, *error);
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.HelpWanted()) {
    io.out << DownloadUsage();
    return kExitSuccess;
  }
  if (line.Arguments().empty()) return UsageError(io, kDownload, "no settings file given");
  if (line.Arguments().size() > 1) {
    return UsageError(io, kDownload, "unexpected argument " + Quoted(line.Arguments()[1]));
  }
  auto choice = ReadLinkChoice(line);
  if (const auto* error = std::get_if<std::string>(&choice)) return UsageError(io, kDownload, *error);
  const LinkChoice& linkChoice = std::get<LinkChoice>(choice);

  // The file is read and checked before anything is sent.
  const std::string file(line.Arguments()[0]);
  const auto image = koral::ReadSettingsFile(file);
  if (const auto* error = std::get_if<koral::SettingsFileError>(&image)) {
    return Failure(io, kDownload, error->message, kExitFileError);
  }
  if (const auto warning = SpeedWarning(file, UnitSpeedOf(std::get<koral::SettingsImage>(image)), linkChoice)) {
    Warning(io, kDownload, *warning);
  }

  Progress progress(io.err, io.errIsTerminal);
  UnitLink link(linkChoice, io, progress);
  if (const auto problem = link.Connect()) return Failure(io, kDownload, *problem, kExitLinkFailure);

  // File > Open. A new unit speed moves the serial link, which checks the unit
  // again once the open has returned, as the window would.
  const std::size_t stepsBefore = link.Runner().WindowSteps().size();
  if (const auto problem = link.Settings().OpenSettingsFile(std::filesystem::path(file))) {
    return Failure(io, kDownload, *problem, kExitFileError);
  }
  QCoreApplication::processEvents();
  const auto& steps = link.Runner().WindowSteps();
  if (steps.size() > stepsBefore) {
    if (link.Engine().GetTransport().PortError()) {
      return Failure(io, kDownload, link.Engine().GetTransport().PortErrorText(), kExitLinkFailure);
    }
    if (steps.back().next == koral::NextWindow::ShowConnectionDialog) {
      return Failure(io, kDownload, "the unit did not answer at the speed " + file + " sets", kExitLinkFailure);
    }
  }
  const int address = link.Settings().Number(koral::SettingsWindowModel::NumberIndex(kUnitAddressControl)).value;
  progress.Step("sending " + file + " to unit address " + std::to_string(address));
  link.ShowTransferProgress("download");
  const koral::TransferOutcome outcome = link.Runner().Download(kTransferLimitMs);
  if (outcome != koral::TransferOutcome::Completed) {
    return Failure(io, kDownload, TransferFailure(outcome, kDownload, link), kExitLinkFailure);
  }
  return kExitSuccess;
}

}  // namespace koralctl
