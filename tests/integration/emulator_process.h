// koral-emu as a child process: started with its options, reached where its
// first line says, its log in a file, stopped when the test ends.
#pragma once

#include <QProcess>
#include <QStringList>
#include <cstdint>
#include <string>

namespace koral::integration {

// A UDP port nothing listens on now, for the PC's end.
std::uint16_t UnusedUdpPort();

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
  // file is written on the way out. Its exit code, or -1 when killed.
  int Stop();
  void Signal(int signal) const;

 private:
  QProcess process_;
  QStringList arguments_;
  std::string logFile_;
  std::string terminal_;
  std::uint16_t udpPort_ = 0;
  std::string problem_;
};

}  // namespace koral::integration
