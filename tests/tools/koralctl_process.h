// koralctl as a child process, watched while it runs: its exit, what it
// printed, and how much processor time and memory it took on the way.
#pragma once

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "link/byte_string.h"
#include "pty_peer.h"

namespace koral::integration {

constexpr int kStartMs = 10000;
constexpr int kCommandMs = 20000;   // a connection, a few keys, a short monitor
constexpr int kTransferMs = 90000;  // a whole upload or download with the protocol's real waits

struct Outcome {
  bool finished = false;
  int exitCode = -1;  // -1 when it was killed
  std::string out;
  std::string err;
};

std::ostream& operator<<(std::ostream& stream, const Outcome& outcome);

// One reason on one line, as scripts expect of a failure.
bool IsOneLine(const std::string& text);
std::vector<std::string> Lines(const std::string& text);
std::string FileText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// get-ip's query, the first bytes a command that was refused before it would
// otherwise have been ahead of on the line.
inline const ByteString kIpQuery = {0x01, 0x0F, 0xD3, 0xE6, 0xFF, 0x03};
// What reached the far end of a line once `count` bytes have, or by kCommandMs.
ByteString Received(const testing_support::PtyPeer& line, std::size_t count);

class Koralctl {
 public:
  explicit Koralctl(const QStringList& arguments);
  ~Koralctl() { Finish(0); }
  Koralctl(const Koralctl&) = delete;
  Koralctl& operator=(const Koralctl&) = delete;

  bool Running() const { return process_.state() != QProcess::NotRunning; }
  qint64 Pid() const { return process_.processId(); }
  // Takes a look at its processor time and size; the last look stays.
  void Sample();
  // Marks now as the start of a measure.
  void Mark();
  // Processor time used since the mark, as a share of the wall time between
  // the mark and the last look.
  double CpuShareSinceMark() const;
  long GrowthSinceMarkKb() const { return largestKb_ - marked_.residentKb; }
  long LastKb() const { return last_.residentKb; }
  // How much it has printed on stdout so far.
  std::size_t PrintedSoFar();
  // Waits up to `limitMs` for it to end, looking at it as it runs, and kills
  // it when it does not.
  Outcome Finish(int limitMs);

 private:
  using Clock = std::chrono::steady_clock;
  struct Usage {
    double cpuMs = 0;  // user and system
    long residentKb = 0;
  };
  QProcess process_;
  std::string out_;
  Usage last_;
  Usage marked_;
  Clock::time_point lastAt_ = Clock::now();
  Clock::time_point markedAt_ = lastAt_;
  long largestKb_ = 0;
};

Outcome RunKoralctl(const QStringList& arguments, int limitMs = kCommandMs);

}  // namespace koral::integration
