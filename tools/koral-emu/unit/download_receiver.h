// Download frames (PC to unit): C0, address pair, count pair, block pair,
// D0 D0, the bank bytes as the PC holds them, CF. The receiver checks each
// frame and stores it in the bank its place in the download names.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "model/register_bank.h"
#include "unit/bytes.h"

namespace koral::emu {

inline constexpr std::uint8_t kBroadcastAddress = 0x80;  // the Date-Time frame goes to every unit

struct DownloadBlockLayout {
  int block;
  int count;  // registers carried, two bytes each (a zone cell counts half)
  std::string_view name;
};

inline constexpr std::array<DownloadBlockLayout, 6> kDownloadBlocks = {{
    {0, 9, "Date-Time"},
    {1, 20, "Register A"},
    {2, 58, "Register B"},
    {3, 17, "Title"},
    {4, 72, "Zone 1"},
    {5, 72, "Zone 2"},
}};

// Frames a complete download carries: Date-Time and Register A once, the
// others once per bank.
inline constexpr int kFramesPerDownload = 10;

struct DownloadFrame {
  std::uint8_t address = 0;
  int count = 0;
  int block = 0;
  Bytes data;
};

// The bytes between C0 and CF. The error names what is wrong with them.
std::variant<DownloadFrame, std::string> ParseDownloadFrame(std::span<const std::uint8_t> body);

// One download's frames into the banks. A frame's bank follows from its place:
// the first frame of a block is DAY, the second NIGHT. Shared values come with
// DAY and are mirrored: Registers 0..19 (the whole Register A frame),
// Date-Time 7 and 8, and Title 16 from DAY to NIGHT.
class DownloadReceiver {
 public:
  struct Outcome {
    std::string description;  // for the log, after the frame's header
    bool stored = false;
    bool completed = false;  // the download's last frame has arrived
  };

  void Begin();
  bool Active() const { return active_; }
  void End() { active_ = false; }

  // A frame that parsed; `ownAddress` is the unit's Register 40.
  Outcome Take(const DownloadFrame& frame, std::uint8_t ownAddress, RegisterBanks& banks);

  int StoredFrames() const { return stored_; }

 private:
  bool active_ = false;
  std::array<int, kDownloadBlocks.size()> seen_{};
  int stored_ = 0;
};

// "download frame block 2, 58 registers, address 0x25"
std::string DescribeDownloadFrame(const DownloadFrame& frame);

}  // namespace koral::emu
