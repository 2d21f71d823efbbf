// The far end of a serial line for window tests: a pseudo-terminal found as
// COMn that records each byte with its arrival time and writes back replies.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace koral::testing_support {

struct ArrivedByte {
  std::uint8_t value;
  std::chrono::steady_clock::time_point at;
};

class PtyPeer {
 public:
  PtyPeer() = default;
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  // Opens the terminal and makes it COM`comNumber` (KORAL_COMn) for port
  // lists built from now on; false when it could not, Problem() says why.
  bool Open(int comNumber);
  const std::string& Problem() const { return problem_; }
  const std::string& DevicePath() const { return devicePath_; }

  // What the program wrote so far, in order.
  std::vector<ArrivedByte> Arrived() const;
  std::vector<std::uint8_t> Bytes() const;
  // Lets the event loop run until `count` bytes have arrived or `timeoutMs` passed.
  bool WaitForBytes(std::size_t count, int timeoutMs) const;
  // Sends bytes to the program.
  bool Reply(std::span<const std::uint8_t> bytes);
  // The line speed the program set, when the system tells it.
  std::optional<int> BaudRate() const;

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
