#include "emulator_process.h"

#include <signal.h>

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QUdpSocket>
#include <fstream>
#include <sstream>
#include <utility>

namespace koral::integration {
namespace {

constexpr std::string_view kTerminalPrefix = "pty ";
constexpr std::string_view kUdpPrefix = "udp ";
constexpr int kKillMs = 2000;

}  // namespace

std::uint16_t UnusedUdpPort() {
  QUdpSocket probe;
  probe.bind(QHostAddress::AnyIPv4, 0);
  return probe.localPort();
}

EmulatorProcess::EmulatorProcess(QStringList arguments, std::string logFile)
    : arguments_(std::move(arguments)), logFile_(std::move(logFile)) {
  process_.setProgram(QStringLiteral(KORAL_EMU_PROGRAM));
  process_.setArguments(arguments_);
  process_.setStandardErrorFile(QString::fromStdString(logFile_));
}

EmulatorProcess::~EmulatorProcess() {
  Stop();
}

bool EmulatorProcess::Start() {
  process_.start(QIODevice::ReadOnly);
  if (!process_.waitForStarted(kStartMs)) {
    problem_ = "koral-emu did not start: " + process_.errorString().toStdString();
    return false;
  }
  const QDeadlineTimer deadline(kStartMs);
  while (!process_.canReadLine()) {
    if (deadline.hasExpired() || !process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
      problem_ = "koral-emu said nothing; its log:\n" + Log();
      return false;
    }
  }
  const std::string line = process_.readLine().trimmed().toStdString();
  if (line.starts_with(kTerminalPrefix)) {
    terminal_ = line.substr(kTerminalPrefix.size());
    return true;
  }
  const auto colon = line.rfind(':');
  if (line.starts_with(kUdpPrefix) && colon != std::string::npos) {
    udpPort_ = static_cast<std::uint16_t>(std::stoul(line.substr(colon + 1)));
    return true;
  }
  problem_ = "koral-emu's first line is \"" + line + "\"";
  return false;
}

std::string EmulatorProcess::Log() const {
  std::ifstream file(logFile_);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

int EmulatorProcess::Stop() {
  if (process_.state() != QProcess::NotRunning) {
    process_.terminate();
    if (!process_.waitForFinished(kStopMs)) {
      process_.kill();
      process_.waitForFinished(kKillMs);
    }
  }
  return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

void EmulatorProcess::Signal(int signal) const {
  kill(static_cast<pid_t>(process_.processId()), signal);
}

}  // namespace koral::integration
