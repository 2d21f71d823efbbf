// The real koral-emu program on a pseudo-terminal and on UDP loopback.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "unit/bytes.h"

extern char** environ;

namespace koral::emu {
namespace {

constexpr int kWaitMs = 5000;  // the longest any step may take
const Bytes kStatusOk = {0x01, 0x11, 0xBA, 0x18, 0x03};
const Bytes kStatusVideoLost = {0x01, 0x11, 0xBA, 0x98, 0x03};

std::int64_t MsLeft(std::chrono::steady_clock::time_point deadline) {
  return std::max<std::int64_t>(
      0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count());
}

std::chrono::steady_clock::time_point Deadline(int ms = kWaitMs) {
  return std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
}

bool WaitReadable(int fd, std::chrono::steady_clock::time_point deadline) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, static_cast<int>(MsLeft(deadline))) == 1 && (p.revents & POLLIN) != 0;
}

// koral-emu as a child process: its first line of output, its log in a file.
class EmulatorProcess {
 public:
  explicit EmulatorProcess(std::vector<std::string> args) : logPath_(Scratch("koral-emu.log")) {
    int out[2];
    EXPECT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, logPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    args.insert(args.begin(), KORAL_EMU_PROGRAM);
    std::vector<char*> argv;
    for (std::string& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&pid_, KORAL_EMU_PROGRAM, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    out_ = out[0];
  }

  ~EmulatorProcess() {
    if (pid_ > 0) Stop();
    close(out_);
    if (testing::Test::HasFailure()) {
      std::ifstream log(logPath_);
      std::stringstream text;
      text << log.rdbuf();
      std::cerr << "koral-emu log:\n" << text.str();
    }
  }

  static std::string Scratch(const std::string& name) {
    const auto* test = testing::UnitTest::GetInstance()->current_test_info();
    const auto dir = std::filesystem::path(testing::TempDir()) / "koral_emu_e2e" / test->name();
    std::filesystem::create_directories(dir);
    return (dir / name).string();
  }

  std::string FirstLine() {
    std::string line;
    const auto deadline = Deadline();
    char c = 0;
    while (WaitReadable(out_, deadline) && read(out_, &c, 1) == 1 && c != '\n')
      line += c;
    return line;
  }

  void Signal(int signal) { kill(pid_, signal); }

  // SIGTERM, then at most kWaitMs for the exit; the exit status, or -1.
  int Stop() {
    kill(pid_, SIGTERM);
    const auto deadline = Deadline();
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (MsLeft(deadline) == 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        pid_ = -1;
        return -1;
      }
      poll(nullptr, 0, 10);
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  std::string logPath_;
};

Bytes ReadExactly(int fd, std::size_t count) {
  Bytes bytes;
  const auto deadline = Deadline();
  std::uint8_t chunk[64];
  while (bytes.size() < count && WaitReadable(fd, deadline)) {
    const ssize_t got = read(fd, chunk, std::min(sizeof chunk, count - bytes.size()));
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return bytes;
}

int OpenRawTerminal(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  termios raw{};
  if (fd >= 0 && tcgetattr(fd, &raw) == 0) {
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
  }
  return fd;
}

TEST(EndToEnd, pseudoTerminal_answersTheStatusRequest) {
  const std::string link = EmulatorProcess::Scratch("com1");
  const std::string dump = EmulatorProcess::Scratch("dump.txt");
  EmulatorProcess emu({"--still", "--link", link, "--dump", dump});
  const std::string line = emu.FirstLine();
  ASSERT_TRUE(line.starts_with("pty /dev/")) << line;
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), line.substr(4));

  const int fd = OpenRawTerminal(link);
  ASSERT_GE(fd, 0);
  const std::uint8_t request = 0xBA;
  ASSERT_EQ(write(fd, &request, 1), 1);
  EXPECT_EQ(ReadExactly(fd, 5), kStatusOk);

  emu.Signal(SIGUSR1);  // video lost
  Bytes reply;
  const auto deadline = Deadline();
  while (reply != kStatusVideoLost && MsLeft(deadline) > 0) {
    ASSERT_EQ(write(fd, &request, 1), 1);
    reply = ReadExactly(fd, 5);
  }
  EXPECT_EQ(reply, kStatusVideoLost);
  close(fd);

  EXPECT_EQ(emu.Stop(), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  std::ifstream saved(dump);
  int lines = 0;
  for (std::string text; std::getline(saved, text);)
    ++lines;
  EXPECT_EQ(lines, 1092);
}

class UdpSocket {
 public:
  UdpSocket() : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  ~UdpSocket() { close(fd_); }
  std::uint16_t Port() const {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
  }
  void SendTo(std::uint16_t port, const Bytes& datagram) const {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    sendto(fd_, datagram.data(), datagram.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  // As the PC sends one byte to the unit through the bridge.
  void SendByte(std::uint16_t port, std::uint8_t byte) const {
    SendTo(port, {0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00});
    SendTo(port, {0x01, 0xFE, 0x19, 0xFF, byte, 0x00, 0x00, 0x00});
    SendTo(port, {0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00});
  }
  Bytes Receive() const {
    if (!WaitReadable(fd_, Deadline())) return {};
    Bytes datagram(512);
    const ssize_t got = recv(fd_, datagram.data(), datagram.size(), 0);
    datagram.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return datagram;
  }

 private:
  int fd_;
};

std::uint16_t BridgePort(const std::string& line) {
  return static_cast<std::uint16_t>(std::stoi(line.substr(line.rfind(':') + 1)));
}

TEST(EndToEnd, udpBridge_answersTheStatusRequestWhereThePcSendsFrom) {
  EmulatorProcess emu({"--still", "--udp", "127.0.0.1:0"});
  const std::string line = emu.FirstLine();
  ASSERT_TRUE(line.starts_with("udp 127.0.0.1:")) << line;
  const std::uint16_t bridge = BridgePort(line);

  const UdpSocket pc;
  ASSERT_NE(pc.Port(), bridge);
  pc.SendByte(bridge, 0xBA);
  EXPECT_EQ(pc.Receive(), kStatusOk);
  EXPECT_EQ(emu.Stop(), 0);
}

TEST(EndToEnd, udpBridge_afterRegistrationAnswersTheRegisteredPort) {
  EmulatorProcess emu({"--still", "--udp", "127.0.0.1:0"});
  const std::uint16_t bridge = BridgePort(emu.FirstLine());
  const UdpSocket pc;
  const UdpSocket listener;
  const std::uint16_t port = listener.Port();
  pc.SendTo(bridge, {0x0E, 0xF1, 0xD0, 0x02, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 127, 0, 0, 1,
                     static_cast<std::uint8_t>(port & 0xFF), static_cast<std::uint8_t>(port >> 8), 0, 0, 0});
  pc.SendByte(bridge, 0xBA);
  EXPECT_EQ(listener.Receive(), kStatusOk);
  EXPECT_EQ(emu.Stop(), 0);
}

}  // namespace
}  // namespace koral::emu
