// Upload: the unit sends both banks to the PC as frames 01 id data 03. The
// collector files each frame into its block; Upload opens the transfer, notices
// its end on the main timer, unpacks the blocks into the banks and, when the
// link fails, gives the user back the banks they had before.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "link/byte_string.h"
#include "link/clock.h"
#include "link/mailboxes.h"
#include "link/transfer_host.h"
#include "link/transfer_state.h"
#include "link/transport.h"
#include "model/register_bank.h"

namespace koral {

inline constexpr std::uint8_t kLastUploadBlockId = 0x20;  // ends the upload; not acknowledged on the network
inline constexpr std::uint8_t kUploadAck = 0xBC;          // every other frame received while uploading

using UploadBlocks = std::array<ByteString, kUploadBlockCount>;

// Files complete frames into TransferState::uploadBlocks by block id and moves
// the progress bar. Frames of other ids are not stored.
class UploadCollector {
 public:
  UploadCollector(Transport& transport, TransferState& state, Mailboxes& mailboxes, TransferHost& host);

  // Serial link: stores the frame, then, while an upload runs, acknowledges it
  // (whatever its id) and keeps it from the monitor and alarm windows.
  void CollectUploadFrame(const ByteString& frame);
  // Network link: stores the frame only; the UDP receiver orders the rest.
  void CollectNetworkUploadFrame(const ByteString& frame);

 private:
  void Store(const ByteString& frame);

  Transport& transport_;
  TransferState& state_;
  Mailboxes& mailboxes_;
  TransferHost& host_;
};

// Copies the data bytes of the collected blocks into both banks. A block that is
// missing or too short leaves the bytes it would fill as they are.
void DecodeUploadBlocks(const UploadBlocks& blocks, RegisterBanks& banks);

class Upload {
 public:
  Upload(Transport& transport, Clock& clock, TransferState& state, Mailboxes& mailboxes, RegisterBanks& banks,
         TransferHost& host, const bool& offline);

  // The Upload menu: asks, opens the transfer and sends the request.
  void StartUpload();
  // Every main-timer tick: refreshes while blocks arrive, completes once the
  // last block has begun.
  void CheckComplete();
  // The unpack timer's tick.
  void Unpack() { DecodeUploadBlocks(state_.uploadBlocks, banks_); }
  // The link check gave up (it has already told the unit): the banks go back to
  // what they were before the upload. Sends nothing. A frame that arrived
  // damaged ends the upload the same way once it completes.
  void Abandon();

 private:
  struct Snapshot {
    RegisterBank day;
    RegisterBank night;
    BankId active;
    bool modified;
  };

  void CompleteSerial();
  void CompleteNetwork();
  void TellOutcome();
  // The unit's banks are adopted, or after damage the ones from before come back.
  void KeepOrRestore();
  void RestoreBanks();

  Transport& transport_;
  Clock& clock_;
  TransferState& state_;
  Mailboxes& mailboxes_;
  RegisterBanks& banks_;
  TransferHost& host_;
  const bool& offline_;
  std::optional<Snapshot> before_;
};

}  // namespace koral
