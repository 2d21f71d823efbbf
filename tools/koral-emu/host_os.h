// What koral-emu needs of the operating system beyond Qt: a pseudo-terminal
// for the unit's serial line, and signals turned into readable bytes so the
// event loop can react to them. The only implementation is POSIX
// (host_os_posix.cpp).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "unit/bytes.h"

namespace koral::emu {

class PseudoTerminal {
 public:
  // A new terminal pair in raw mode; the reason when the system refuses one.
  static std::variant<std::unique_ptr<PseudoTerminal>, std::string> Open();
  ~PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  // The device the PC opens, e.g. /dev/pts/5.
  const std::string& DevicePath() const { return devicePath_; }
  // A handle that becomes readable when the PC has written (for a notifier).
  int ReadHandle() const { return master_; }
  // What the PC has written since the last read.
  Bytes Read();
  // One write of one frame; false when the line did not take it whole.
  bool Write(std::span<const std::uint8_t> bytes);
  // Bytes written earlier that the PC has not read, thrown away; their count.
  int DropUnread();

 private:
  PseudoTerminal(int master, int heldDevice, std::string devicePath);

  int master_;
  int heldDevice_;  // kept open so the line survives the PC closing and reopening it
  std::string devicePath_;
};

enum class HostSignal { ToggleVideoLoss, Quit };

// SIGUSR1 toggles the video loss; SIGINT and SIGTERM end the program.
class SignalPipe {
 public:
  static std::variant<std::unique_ptr<SignalPipe>, std::string> Install();
  ~SignalPipe();
  SignalPipe(const SignalPipe&) = delete;
  SignalPipe& operator=(const SignalPipe&) = delete;

  int ReadHandle() const { return readEnd_; }
  std::vector<HostSignal> Take();

 private:
  SignalPipe(int readEnd, int writeEnd) : readEnd_(readEnd), writeEnd_(writeEnd) {}
  int readEnd_;
  int writeEnd_;
};

}  // namespace koral::emu
