// Download: both register banks from the PC to the unit, in framed blocks, one
// step per main-timer tick. The unit acknowledges nothing; the heartbeat is what
// notices a silent unit.
#pragma once

#include <cstdint>

#include "link/byte_string.h"
#include "link/clock.h"
#include "link/transfer_host.h"
#include "link/transfer_state.h"
#include "link/transport.h"
#include "model/register_bank.h"

namespace koral {

// The blocks of a download, valued as their block number on the link.
enum class DownloadBlock : std::uint8_t {
  DateTime = 0,   // Date-Time bytes 0..17
  RegisterA = 1,  // Register bytes 0..39 (the shared registers 0..19)
  RegisterB = 2,  // Register bytes 40..155
  Title = 3,      // Title bytes 0..33
  Zone1 = 4,      // zone cells 0..143
  Zone2 = 5,      // zone cells 144..287
};

// One frame: C0, address pair, count pair, block pair, D0 D0, the bank's bytes
// as stored, CF. A pair is a value as two data bytes, high nibble first; the
// count is the number of registers (two data bytes each). The Date-Time frame
// is addressed to 0x80 whatever the unit address.
ByteString DownloadFrame(DownloadBlock block, std::uint8_t unitAddress, const RegisterBank& bank);

class Download {
 public:
  // `offline` is the session's flag: while set, the menu opens the connection
  // window instead of transferring.
  Download(Transport& transport, Clock& clock, TransferState& state, const RegisterBanks& banks, TransferHost& host,
           const bool& offline);

  // The Download menu: marks the download requested and asks for the unit's
  // status; the steps run from the next main-timer tick on.
  void StartDownload();

  // One step per tick while a download is requested: 1 confirms and opens the
  // unit and sends the clock, 2..6 the DAY and NIGHT blocks, 7 (and any later)
  // the last block and the closing sequence.
  void RunDownloadStep();

 private:
  void RunOpeningStep();
  void RunClosingStep();
  void EndWithSeparator();
  void End();

  void SendFrame(DownloadBlock block, BankId bank);
  void SendZoneFrames(BankId bank);
  void SendAddress();
  void Send(std::uint8_t byte) { transport_.SendByte(byte); }
  void Wait(int ms) { clock_.Sleep(ms); }
  std::uint8_t Address() const;

  Transport& transport_;
  Clock& clock_;
  TransferState& state_;
  const RegisterBanks& banks_;
  TransferHost& host_;
  const bool& offline_;
};

}  // namespace koral
