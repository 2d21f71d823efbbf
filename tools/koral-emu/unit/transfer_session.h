// The transfer sequences as the unit follows them. Download: 98 98 A1 A0,
// the address three times, A1, then the frames with address bytes between
// them, closed by A0 A1 A1 A0 A0 .. A0 (BA in between). Upload: 98 98 A0 A8,
// the address three times, BB, then one frame per BC; closed by A0 .. A0 or
// abandoned by A0 A4. Inside a sequence the bytes 98, A0, A1, A4 and A8 are
// part of it; outside they are keys, and a 98 followed by anything but a
// second 98 (or by nothing for a while) was the ALARM key.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "model/register_bank.h"
#include "unit/download_receiver.h"
#include "unit/unit_clock.h"
#include "unit/upload_sender.h"

namespace koral::emu {

class TransferSession {
 public:
  static constexpr int kOpeningPauseMs = 1500;      // longest wait between the two 0x98
  static constexpr int kIdleTimeoutMs = 30000;      // a transfer that hears nothing for this long is over
  static constexpr int kClosingTimeoutMs = 120000;  // the PC may show a message before its last bytes
  static constexpr int kDownloadClosingMarkers = 4;
  static constexpr int kUploadClosingMarkers = 2;

  enum class Phase {
    Idle,
    Opening,          // one 0x98
    Opened,           // 98 98
    OpenedUnaddress,  // 98 98 A0: an upload follows with A8
    DownloadSelect,
    Download,
    DownloadClosing,
    UploadSelect,
    Upload,
    UploadClosing,
  };

  enum class Result {
    NotTransfer,  // the unit handles the byte itself
    Taken,
    LoneAlarm,  // the 0x98 before was the ALARM key; offer the byte again
  };

  using SendUpload = std::function<void(const UploadFrame&)>;

  TransferSession(RegisterBanks& banks, LogSink log, SendUpload sendUpload);

  Result Offer(std::uint8_t byte, std::int64_t nowMs);
  // Ends what has waited too long; true when a lone 0x98 turned out to be ALARM.
  bool Expire(std::int64_t nowMs);
  std::optional<std::int64_t> DeadlineMs() const;

  Phase CurrentPhase() const { return phase_; }
  bool InTransfer() const { return phase_ != Phase::Idle && phase_ != Phase::Opening; }
  bool AcceptsFrames() const { return phase_ == Phase::DownloadSelect || phase_ == Phase::Download; }
  // A download frame that parsed, while AcceptsFrames().
  DownloadReceiver::Outcome TakeFrame(const DownloadFrame& frame, std::int64_t nowMs);

 private:
  std::uint8_t OwnAddress() const;
  void Enter(Phase phase, std::int64_t nowMs);
  void End(const std::string& why);
  Result OfferDownload(std::uint8_t byte);
  Result OfferUpload(std::uint8_t byte);
  void SendNextUploadFrame();
  std::string AddressNote(std::uint8_t address) const;

  RegisterBanks& banks_;
  LogSink log_;
  SendUpload sendUpload_;
  Phase phase_ = Phase::Idle;
  std::int64_t sinceMs_ = 0;  // last byte of the sequence
  bool openedInTransfer_ = false;
  std::vector<std::uint8_t> addresses_;
  int closingMarkers_ = 0;
  bool abandoning_ = false;
  bool uploadForMe_ = false;
  DownloadReceiver download_;
  UploadSender upload_;
};

}  // namespace koral::emu
