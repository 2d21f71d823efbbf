#include "pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace koral::testing_support {
namespace {

constexpr int kEventLoopSliceMs = 5;
constexpr int kPollMs = 2;  // how soon the listener notices it should stop
constexpr std::size_t kReadChunk = 256;

struct SpeedName {
  speed_t speed;
  int baud;
};
constexpr SpeedName kSpeeds[] = {{B1200, 1200},   {B2400, 2400},   {B4800, 4800},   {B9600, 9600},
                                 {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!condition()) {
    if (deadline.hasExpired()) return condition();
    RunEventLoopFor(kEventLoopSliceMs);
  }
  return true;
}

void RunEventLoopFor(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void PtyPeer::Hangup() {
  stopping_ = true;
  if (listener_.joinable()) listener_.join();
  if (heldDevice_ >= 0) close(std::exchange(heldDevice_, -1));
  if (master_ >= 0) close(std::exchange(master_, -1));
}

bool PtyPeer::Open(int comNumber) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY);
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
    problem_ = SystemError("posix_openpt");
    return false;
  }
  const char* name = ptsname(master_);
  if (name == nullptr) {
    problem_ = SystemError("ptsname");
    return false;
  }
  devicePath_ = name;
  heldDevice_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (heldDevice_ < 0) {
    problem_ = SystemError(devicePath_);
    return false;
  }
  // Raw until the program sets the line up, so that nothing is echoed or cooked.
  termios raw{};
  if (tcgetattr(heldDevice_, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(heldDevice_, TCSANOW, &raw);
  }
  if (comNumber > 0) setenv(("KORAL_COM" + std::to_string(comNumber)).c_str(), devicePath_.c_str(), 1);
  listener_ = std::thread([this] { Listen(); });
  return true;
}

void PtyPeer::Listen() {
  std::array<std::uint8_t, kReadChunk> chunk{};
  while (!stopping_) {
    pollfd watch{master_, POLLIN, 0};
    if (poll(&watch, 1, kPollMs) <= 0 || (watch.revents & POLLIN) == 0) continue;
    const ssize_t got = read(master_, chunk.data(), chunk.size());
    if (got <= 0) continue;
    const auto now = std::chrono::steady_clock::now();
    const std::lock_guard lock(mutex_);
    for (ssize_t i = 0; i < got; ++i)
      arrived_.push_back({chunk[static_cast<std::size_t>(i)], now});
  }
}

std::vector<ArrivedByte> PtyPeer::Arrived() const {
  const std::lock_guard lock(mutex_);
  return arrived_;
}

std::vector<std::uint8_t> PtyPeer::Bytes() const {
  std::vector<std::uint8_t> bytes;
  for (const ArrivedByte& byte : Arrived())
    bytes.push_back(byte.value);
  return bytes;
}

bool PtyPeer::WaitForBytes(std::size_t count, int timeoutMs) const {
  return WaitUntil([&] { return Arrived().size() >= count; }, timeoutMs);
}

bool PtyPeer::WaitForBytesWithoutEventLoop(std::size_t count) const {
  const QDeadlineTimer deadline(kWaitMs);
  while (Arrived().size() < count && !deadline.hasExpired())
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  return Arrived().size() >= count;
}

bool PtyPeer::Reply(std::span<const std::uint8_t> bytes) {
  const auto queued = [this] {
    int count = 0;
    return ioctl(heldDevice_, FIONREAD, &count) == 0 ? static_cast<std::size_t>(count) : 0;
  };
  const std::size_t before = queued();
  if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return false;
  // The terminal passes bytes on later, in the kernel's own time; they are
  // there once the device could hand them out.
  const QDeadlineTimer deadline(kWaitMs);
  while (queued() < before + bytes.size() && !deadline.hasExpired())
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return queued() >= before + bytes.size();
}

std::optional<int> PtyPeer::BaudRate() const {
  termios line{};
  if (heldDevice_ < 0 || tcgetattr(heldDevice_, &line) != 0) return std::nullopt;
  const speed_t speed = cfgetospeed(&line);
  for (const SpeedName& known : kSpeeds)
    if (known.speed == speed) return known.baud;
  return std::nullopt;
}

}  // namespace koral::testing_support
