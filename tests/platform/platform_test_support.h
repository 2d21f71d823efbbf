// Helpers for the Qt adapter tests: bounded event-loop waits, Qt warning
// checks, a socat pseudo-terminal pair and the far end of a line.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/byte_string.h"

namespace koral::testing_support {

inline constexpr int kWaitMs = 5000;

// Runs the event loop until the condition holds or the time is up; the result
// is the condition's last value. Never a measure of speed: only a bound.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);
// Runs the event loop for a while, to give anything queued a chance to happen.
void RunEventLoopFor(int ms);

// Installs the message handler that records Qt's warnings (from main).
void RecordQtWarnings();
// The warnings recorded since the last call.
std::vector<std::string> TakeQtWarnings();

// Fails a test that made Qt warn.
class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { TakeQtWarnings(); }
  void TearDown() override {
    for (const std::string& warning : TakeQtWarnings())
      ADD_FAILURE() << "unexpected Qt warning: " << warning;
  }
};

// Two pseudo-terminals joined by socat: what is written on one end is read on
// the other. socat is killed when the pair goes away.
class PtyPair {
 public:
  PtyPair() = default;
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // Starts socat and waits (bounded) for both ends to appear; on failure the
  // reason is in Log().
  bool Start();
  std::string EndA() const { return Path("a"); }
  std::string EndB() const { return Path("b"); }
  // A path in the pair's folder where no device is.
  std::string MissingDevice() const { return Path("missing"); }
  // Bytes socat has passed on so far, both ways; counted once written to the
  // far end's device.
  std::size_t BytesTransferred();
  bool WaitForBytesTransferred(std::size_t count);
  // The device behind both ends disappears.
  void Kill();
  std::string Log();

 private:
  std::string Path(const char* name) const;

  QTemporaryDir dir_;
  QProcess socat_;
  QByteArray log_;
};

// The far end of a serial line, opened directly with QSerialPort.
class LineEnd {
 public:
  bool Open(const std::string& device);
  std::string ErrorText() const { return port_.errorString().toStdString(); }
  void Write(const ByteString& bytes);
  // Everything received so far.
  ByteString Received();
  // Waits (bounded) until `count` bytes have arrived in all.
  ByteString WaitForReceived(std::size_t count);
  // The same without running the event loop: only this end's own device is
  // watched, so bytes that the other end has merely queued never show up.
  ByteString WaitForReceivedWithoutEventLoop(std::size_t count);

 private:
  QSerialPort port_;
  ByteString received_;
};

// Sets environment variables and puts the old values back.
class EnvironmentGuard {
 public:
  ~EnvironmentGuard();
  void Set(const std::string& name, const std::string& value);

 private:
  void Remember(const std::string& name);
  std::vector<std::pair<std::string, std::optional<QByteArray>>> saved_;
};

ByteString Bytes(std::initializer_list<int> values);
// 0, 1, 2, ... count - 1.
ByteString Sequence(std::size_t count);

}  // namespace koral::testing_support
