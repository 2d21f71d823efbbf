// koral-emu as a child process of a test: started with its options, its first
// line of output read (where to reach it), its log kept in a file, and stopped
// when the test ends.
#pragma once

#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <string>

namespace koral::integration {

class EmulatorProcess {
 public:
  static constexpr int kStartMs = 10000;
  static constexpr int kStopMs = 5000;

  // Does not start it yet; the log goes to `logFile`.
  EmulatorProcess(QStringList arguments, std::string logFile);
  ~EmulatorProcess();
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  // Starts it and reads its first line, "pty /dev/pts/N" or "udp ADDR:PORT";
  // false when it did not start or said something else (Problem() tells).
  bool Start();
  // The pseudo-terminal's path, or the UDP port the bridge listens on.
  const std::string& TerminalPath() const { return terminal_; }
  std::uint16_t UdpPort() const { return udpPort_; }
  std::string Problem() const { return problem_; }

  // Everything it has logged so far.
  std::string Log() const;
  bool Running() const { return process_.state() != QProcess::NotRunning; }
  // Asks it to stop, and kills it when it does not within kStopMs. Its --dump
  // file is written on the way out.
  void Stop();

 private:
  QProcess process_;
  QStringList arguments_;
  std::string logFile_;
  std::string terminal_;
  std::uint16_t udpPort_ = 0;
  std::string problem_;
};

}  // namespace koral::integration
