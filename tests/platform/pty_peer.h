// The far end of a serial line on a pseudo-terminal, for the Qt adapter tests
// and the window tests: the program opens DevicePath(); every byte it writes is
// recorded with its arrival time, and replies are written back.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace koral::testing_support {

inline constexpr int kWaitMs = 5000;

// Runs the event loop until the condition holds or the time is up; the result
// is the condition's last value. Never a measure of speed: only a bound.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs);
// Runs the event loop for a while, to give anything queued a chance to happen.
void RunEventLoopFor(int ms);

struct ArrivedByte {
  std::uint8_t value;
  std::chrono::steady_clock::time_point at;
};

class PtyPeer {
 public:
  PtyPeer() = default;
  ~PtyPeer() { Hangup(); }
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  // Opens the terminal and, for a `comNumber` above 0, makes it COMn
  // (KORAL_COMn) for port lists built from now on; false when it could not,
  // Problem() says why.
  bool Open(int comNumber = 0);
  const std::string& Problem() const { return problem_; }
  const std::string& DevicePath() const { return devicePath_; }

  // What the program wrote so far, in order.
  std::vector<ArrivedByte> Arrived() const;
  std::vector<std::uint8_t> Bytes() const;
  // Lets the event loop run until `count` bytes have arrived or `timeoutMs` passed.
  bool WaitForBytes(std::size_t count, int timeoutMs = kWaitMs) const;
  // The same without running the event loop: bytes the program has merely
  // queued never show up, only those written to its device.
  bool WaitForBytesWithoutEventLoop(std::size_t count) const;
  // Sends bytes to the program; they wait in its device until read.
  bool Reply(std::span<const std::uint8_t> bytes);
  // The line speed the program set, when the system tells it.
  std::optional<int> BaudRate() const;
  // The device goes away under the program, as an unplugged adapter does.
  void Hangup();

 private:
  void Listen();

  int master_ = -1;
  int heldDevice_ = -1;  // kept open so that the master never sees a hang-up
  std::string devicePath_;
  std::string problem_;
  mutable std::mutex mutex_;
  std::vector<ArrivedByte> arrived_;
  std::atomic<bool> stopping_{false};
  std::thread listener_;
};

}  // namespace koral::testing_support
