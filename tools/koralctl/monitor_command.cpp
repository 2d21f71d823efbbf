// koralctl monitor: the serial monitor window with one output type chosen, or
// on the network link the UDP monitor window, printing each frame's new lines
// as they appear.
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <limits>
#include <variant>

#include "command_line.h"
#include "command_report.h"
#include "command_words.h"
#include "commands.h"
#include "exit_codes.h"
#include "monitor/output_decoder.h"
#include "monitor/serial_monitor_model.h"
#include "printable_text.h"
#include "progress.h"
#include "unit_link.h"

namespace koralctl {
namespace {

constexpr std::string_view kMonitor = "monitor";
// A network event shows as a time stamp and its MOVE, TRIGGER, ALARM and STATUS lines.
constexpr std::size_t kLinesPerNetworkEvent = 5;
// How often the UDP monitor's display is looked at; it fills as datagrams arrive.
constexpr int kNetworkDisplayLookMs = 20;
// Without --seconds the monitor runs until stopped; the event loop is entered
// for this long at a time.
constexpr qint64 kRunSliceMs = qint64{60} * 1000;

std::string MonitorUsage() {
  std::string text =
      "usage: koralctl monitor --type NAME|INDEX [--frames N] [--seconds S] LINK\n"
      "Prints the unit's output data as the serial monitor window shows it for\n"
      "the output type chosen, one line per display line (LF), each frame's lines\n"
      "in the order they read top-down, frames in arrival order, flushed at once.\n"
      "Bytes that are not printable show as \\xHH, a backslash as \\\\.\n"
      "On --udp the UDP monitor's lines are printed instead: each event datagram\n"
      "as a time stamp, MOVE, TRIGGER, ALARM and STATUS, whatever --type says.\n"
      "The unit streams what its own output settings (rate and data) select.\n"
      "  --type NAME|INDEX      output type by name or index:\n";
  for (int type = 0; type < koral::kOutputTypeCount; ++type) {
    text += "                           " + std::to_string(type) + (type < 10 ? "  " : " ") +
            std::string(koral::OutputTypeName(type)) + "\n";
  }
  text +=
      "  --frames N             stop after N frames that printed lines\n"
      "  --seconds S            stop after S seconds\n"
      "Without either it runs until it is stopped. A QT-MX has no monitor.\n"
      "\n";
  return text + std::string(kLinkOptionsHelp) + "\n" + std::string(kExitCodesHelp);
}

std::string Quoted(std::string_view text) {
  return "'" + std::string(text) + "'";
}

// A display line as printed: its text made visible, without the CR LF every
// decoded line ends in (a CR or LF before that is text and shows as such).
std::string Printed(std::string_view line) {
  if (line.ends_with("\r\n")) line.remove_suffix(2);
  return PrintableText(line);
}

// Prints what a monitor window's display gained since it was last cleared and
// clears it: frames of `linesPerFrame` lines (0: the whole display is one
// frame), the oldest first, each top-down; at most `frameLimit` frames.
// Returns how many frames were printed.
template <typename MonitorWindow>
long long PrintNewFrames(MonitorWindow& window, std::size_t linesPerFrame, long long frameLimit, std::ostream& out) {
  const koral::MonitorDisplay& display = window.Display();
  const std::size_t lines = display.LineCount();
  if (lines == 0) return 0;
  const std::size_t perFrame = linesPerFrame == 0 || lines % linesPerFrame != 0 ? lines : linesPerFrame;
  long long printed = 0;
  // The newest frame is on top: the oldest starts `perFrame` lines above the bottom.
  for (std::size_t end = lines; end > 0 && printed < frameLimit; end -= perFrame, ++printed) {
    for (std::size_t fromTop = end - perFrame; fromTop < end; ++fromTop)
      out << Printed(display.Line(fromTop)) << '\n';
  }
  out.flush();
  window.Clear();
  return printed;
}

}  // namespace

int RunMonitor(std::span<const std::string_view> args, CommandStreams io) {
  const auto known = WithLinkOptions({{"--type"}, {"--frames"}, {"--seconds"}});
  auto parsed = CommandLine::Parse(args, known);
  if (const auto* error = std::get_if<std::string>(&parsed)) return UsageError(io, kMonitor, *error);
  const CommandLine& line = std::get<CommandLine>(parsed);
  if (line.HelpWanted()) {
    io.out << MonitorUsage();
    return kExitSuccess;
  }
  if (!line.Arguments().empty()) {
    return UsageError(io, kMonitor, "unexpected argument " + Quoted(line.Arguments()[0]));
  }
  const auto typeText = line.Value("--type");
  if (!typeText) return UsageError(io, kMonitor, "no output type: give --type NAME or --type 0..14");
  const auto type = OutputTypeOf(*typeText);
  if (!type) return UsageError(io, kMonitor, "--type is an output type name or 0..14, not " + Quoted(*typeText));
  long long frameLimit = std::numeric_limits<long long>::max();
  if (const auto text = line.Value("--frames")) {
    const auto frames = WholeNumber(*text, 1, std::numeric_limits<long long>::max());
    if (!frames) return UsageError(io, kMonitor, "--frames is a count of 1 or more, not " + Quoted(*text));
    frameLimit = *frames;
  }
  std::optional<double> seconds;
  if (const auto text = line.Value("--seconds")) {
    seconds = PositiveSeconds(*text);
    if (!seconds) return UsageError(io, kMonitor, "--seconds is a number of seconds above 0, not " + Quoted(*text));
  }
  auto choice = ReadLinkChoice(line);
  if (const auto* error = std::get_if<std::string>(&choice)) return UsageError(io, kMonitor, *error);
  const LinkChoice& linkChoice = std::get<LinkChoice>(choice);
  if (linkChoice.model == koral::UnitModel::QtMx) return UsageError(io, kMonitor, "a QT-MX has no monitor");

  Progress progress(io.err, io.errIsTerminal);
  UnitLink link(linkChoice, io, progress);
  if (const auto problem = link.Connect()) return Failure(io, kMonitor, *problem, kExitLinkFailure);

  koral::LinkEngine& engine = link.Engine();
  const bool network = linkChoice.mode == koral::LinkMode::Udp;
  long long frames = 0;
  QTimer look;
  if (network) {
    // "Serial Window" opens the UDP monitor on the network link.
    engine.UdpMonitor().Show();
    progress.Step("showing the unit's event datagrams");
    QObject::connect(&look, &QTimer::timeout, [&] {
      frames += PrintNewFrames(engine.UdpMonitor(), kLinesPerNetworkEvent, frameLimit - frames, io.out);
    });
    look.start(kNetworkDisplayLookMs);
  } else {
    engine.SerialMonitor().SelectType(*type);
    progress.Step("showing the unit's " + std::string(koral::OutputTypeName(*type)) + " output");
    // The serial monitor window's poll; each poll shows at most one frame.
    QObject::connect(&look, &QTimer::timeout, [&] {
      if (frames >= frameLimit || !link.Runner().SerialMonitorPolling()) return;
      engine.MonitorPollTick();
      frames += PrintNewFrames(engine.SerialMonitor(), 0, frameLimit - frames, io.out);
    });
    look.start(koral::SerialMonitorModel::kPollMs);
  }

  const auto finished = [&] { return link.Lost() || frames >= frameLimit; };
  QElapsedTimer elapsed;
  elapsed.start();
  const auto limitMs = seconds ? std::optional<qint64>(std::llround(*seconds * 1000.0)) : std::nullopt;
  while (!finished()) {
    qint64 sliceMs = kRunSliceMs;
    if (limitMs) {
      const qint64 left = *limitMs - elapsed.elapsed();
      if (left <= 0) break;
      sliceMs = std::min(sliceMs, left);
    }
    link.Runner().RunUntil(finished, static_cast<int>(sliceMs));
  }
  look.stop();
  if (link.Lost() && frames < frameLimit) {
    return Failure(io, kMonitor, "the unit stopped answering on " + link.Where(), kExitLinkFailure);
  }
  return kExitSuccess;
}

}  // namespace koralctl
