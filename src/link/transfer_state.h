// The state of the two bulk transfers, shared by the receive paths, the
// transfers and the heartbeat.
#pragma once

#include <array>
#include <string>

#include "link/byte_string.h"

namespace koral {

inline constexpr int kUploadBlockCount = 16;
inline constexpr int kLastBlockIndex = 14;   // block 0x20: its arrival ends the upload
inline constexpr int kRelayTitleIndex = 15;  // block 0x23: replaced, not appended

struct TransferState {
  bool downloadRequested = false;
  int downloadStep = 0;
  bool uploadActive = false;
  std::array<ByteString, kUploadBlockCount> uploadBlocks;
  // Why the running or last upload cannot be trusted (a frame of the wrong
  // length or a byte no unit sends), empty while every frame looked sound.
  std::string uploadDamage;
  // Consecutive link checks without an answer, counted by the heartbeat and by
  // the connection check alike.
  int pollMissCount = 0;
};

}  // namespace koral
