// Upload frames (unit to PC): 01, block id, data bytes, 03. The unit sends its
// banks as 82 frames, block 0x12 first and 0x20 last, one frame for each
// acknowledgement 0xBC, and never sends a frame twice.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/register_bank.h"
#include "unit/bytes.h"

namespace koral::emu {

struct UploadFrame {
  std::uint8_t block = 0;
  int indexInBlock = 0;  // from 0
  int framesInBlock = 0;
  Bytes bytes;
};

struct UploadBlockLayout {
  std::uint8_t block;
  int frames;
  int dataPerFrame;
};

// In sending order: 0x12..0x1F, 0x23, 0x20.
inline constexpr std::array<UploadBlockLayout, 16> kUploadBlocks = {{
    {0x12, 5, 8},
    {0x13, 6, 12},
    {0x14, 6, 12},
    {0x15, 6, 12},
    {0x16, 6, 12},
    {0x17, 4, 8},
    {0x18, 9, 12},
    {0x19, 1, 8},
    {0x1A, 6, 12},
    {0x1B, 6, 12},
    {0x1C, 6, 12},
    {0x1D, 6, 12},
    {0x1E, 4, 8},
    {0x1F, 9, 12},
    {0x23, 1, 2},
    {0x20, 1, 12},
}};

inline constexpr std::uint8_t kLastUploadBlock = 0x20;

// The data of one block: DAY Registers 0..19 (which NIGHT shares), both zone
// maps, both titles, Registers 20..77 of each bank; Title 16 from DAY in 0x23;
// Date-Time 7 and 8 (shared) and NIGHT Registers 74..77 in 0x20.
Bytes UploadBlockData(const RegisterBanks& banks, std::uint8_t block);

// Every upload frame of the banks, in sending order.
std::vector<UploadFrame> ComposeUploadFrames(const RegisterBanks& banks);

// "upload frame 0x12 (1 of 5)"
std::string DescribeUploadFrame(const UploadFrame& frame);

// One upload: the frames are taken from the banks when it starts, so a bank
// switch meanwhile cannot tear a block.
class UploadSender {
 public:
  void Start(const RegisterBanks& banks);
  void Stop() {
    frames_.clear();
    next_ = 0;
  }
  bool Active() const { return !frames_.empty(); }
  // The next frame to send; false once the last one is out.
  bool HasNext() const { return next_ < frames_.size(); }
  const UploadFrame& TakeNext() { return frames_[next_++]; }
  std::size_t Sent() const { return next_; }
  std::size_t Total() const { return frames_.size(); }

 private:
  std::vector<UploadFrame> frames_;
  std::size_t next_ = 0;
};

}  // namespace koral::emu
