// POSIX: the pseudo-terminal and the signal pipe.
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>

#include "host_os.h"

namespace koral::emu {
namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr char kVideoLossByte = 'v';
constexpr char kQuitByte = 'q';

int signalWriteEnd = -1;

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

void OnSignal(int signal) {
  const int saved = errno;
  const char byte = signal == SIGUSR1 ? kVideoLossByte : kQuitByte;
  [[maybe_unused]] const ssize_t written = write(signalWriteEnd, &byte, 1);
  errno = saved;
}

bool SetNonBlocking(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

}  // namespace

std::variant<std::unique_ptr<PseudoTerminal>, std::string> PseudoTerminal::Open() {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0) return SystemError("posix_openpt");
  if (grantpt(master) != 0 || unlockpt(master) != 0) {
    const std::string error = SystemError("grantpt/unlockpt");
    close(master);
    return error;
  }
  const char* name = ptsname(master);
  if (name == nullptr || !SetNonBlocking(master)) {
    const std::string error = SystemError("ptsname");
    close(master);
    return error;
  }
  const std::string path(name);
  const int device = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (device < 0) {
    const std::string error = SystemError(path.c_str());
    close(master);
    return error;
  }
  termios raw{};
  if (tcgetattr(device, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(device, TCSANOW, &raw);
  }
  return std::unique_ptr<PseudoTerminal>(new PseudoTerminal(master, device, path));
}

PseudoTerminal::PseudoTerminal(int master, int heldDevice, std::string devicePath)
    : master_(master), heldDevice_(heldDevice), devicePath_(std::move(devicePath)) {}

PseudoTerminal::~PseudoTerminal() {
  close(heldDevice_);
  close(master_);
}

Bytes PseudoTerminal::Read() {
  Bytes bytes;
  std::array<std::uint8_t, kReadChunk> chunk{};
  while (true) {
    const ssize_t got = read(master_, chunk.data(), chunk.size());
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + got);
  }
  return bytes;
}

bool PseudoTerminal::Write(std::span<const std::uint8_t> bytes) {
  const ssize_t written = write(master_, bytes.data(), bytes.size());
  return written == static_cast<ssize_t>(bytes.size());
}

int PseudoTerminal::DropUnread() {
  int unread = 0;
  if (ioctl(heldDevice_, FIONREAD, &unread) != 0 || unread <= 0) return 0;
  tcflush(heldDevice_, TCIFLUSH);
  return unread;
}

std::variant<std::unique_ptr<SignalPipe>, std::string> SignalPipe::Install() {
  std::array<int, 2> ends{};
  if (pipe(ends.data()) != 0) return SystemError("pipe");
  for (const int end : ends) {
    SetNonBlocking(end);
    fcntl(end, F_SETFD, FD_CLOEXEC);
  }
  signalWriteEnd = ends[1];
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGUSR1, SIGINT, SIGTERM}) {
    if (sigaction(signal, &action, nullptr) != 0) return SystemError("sigaction");
  }
  return std::unique_ptr<SignalPipe>(new SignalPipe(ends[0], ends[1]));
}

SignalPipe::~SignalPipe() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  for (const int signal : {SIGUSR1, SIGINT, SIGTERM})
    sigaction(signal, &action, nullptr);
  signalWriteEnd = -1;
  close(readEnd_);
  close(writeEnd_);
}

std::vector<HostSignal> SignalPipe::Take() {
  std::vector<HostSignal> signals;
  char byte = 0;
  while (read(readEnd_, &byte, 1) == 1) {
    signals.push_back(byte == kVideoLossByte ? HostSignal::ToggleVideoLoss : HostSignal::Quit);
  }
  return signals;
}

}  // namespace koral::emu
