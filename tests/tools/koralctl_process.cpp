#include "koralctl_process.h"

#include <unistd.h>

#include <QElapsedTimer>
#include <algorithm>
#include <fstream>
#include <sstream>

namespace koral::integration {
namespace {

constexpr int kSampleMs = 100;

}  // namespace

std::ostream& operator<<(std::ostream& stream, const Outcome& outcome) {
  return stream << "exit " << outcome.exitCode << (outcome.finished ? "" : " (killed: it did not finish)")
                << "\n--- stdout:\n"
                << outcome.out << "--- stderr:\n"
                << outcome.err;
}

bool IsOneLine(const std::string& text) {
  return !text.empty() && text.back() == '\n' && text.find('\n') == text.size() - 1;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line);
  return lines;
}

std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

ByteString Received(const testing_support::PtyPeer& line, std::size_t count) {
  line.WaitForBytes(count, kCommandMs);
  return line.Bytes();
}

Koralctl::Koralctl(const QStringList& arguments) {
  process_.setProgram(QStringLiteral(KORALCTL_PROGRAM));
  process_.setArguments(arguments);
  process_.start();
  process_.waitForStarted(kStartMs);
}

// From /proc: fields 14 and 15 of its stat line (user and system ticks), and VmRSS.
void Koralctl::Sample() {
  if (!Running()) return;
  const std::string proc = "/proc/" + std::to_string(Pid());
  std::ifstream statFile(proc + "/stat");
  const std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
  const auto nameEnd = stat.rfind(')');
  if (nameEnd == std::string::npos) return;
  std::istringstream fields(stat.substr(nameEnd + 2));
  std::vector<std::string> field;
  for (std::string f; fields >> f;)
    field.push_back(f);
  constexpr std::size_t kUserTime = 11;  // counted after the name
  if (field.size() <= kUserTime + 1) return;
  const double tick = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  last_.cpuMs = (std::stod(field[kUserTime]) + std::stod(field[kUserTime + 1])) * tick;
  std::ifstream status(proc + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) last_.residentKb = std::stol(line.substr(6));
  }
  lastAt_ = Clock::now();
  largestKb_ = std::max(largestKb_, last_.residentKb);
}

void Koralctl::Mark() {
  Sample();
  marked_ = last_;
  markedAt_ = lastAt_;
}

double Koralctl::CpuShareSinceMark() const {
  const double wallMs = std::chrono::duration<double, std::milli>(lastAt_ - markedAt_).count();
  return wallMs <= 0 ? 0 : (last_.cpuMs - marked_.cpuMs) / wallMs;
}

std::size_t Koralctl::PrintedSoFar() {
  out_ += process_.readAllStandardOutput().toStdString();
  return out_.size();
}

Outcome Koralctl::Finish(int limitMs) {
  Outcome outcome;
  QElapsedTimer elapsed;
  elapsed.start();
  while (Running() && elapsed.elapsed() < limitMs) {
    Sample();
    process_.waitForFinished(kSampleMs);
  }
  outcome.finished = !Running();
  if (!outcome.finished) {
    process_.kill();
    process_.waitForFinished(kStartMs);
  }
  outcome.exitCode = process_.exitStatus() == QProcess::NormalExit && outcome.finished ? process_.exitCode() : -1;
  PrintedSoFar();
  outcome.out = out_;
  outcome.err = process_.readAllStandardError().toStdString();
  return outcome;
}

Outcome RunKoralctl(const QStringList& arguments, int limitMs) {
  return Koralctl(arguments).Finish(limitMs);
}

}  // namespace koral::integration
