#include "unit/transfer_session.h"

#include "unit/commands.h"

namespace koral::emu {

TransferSession::TransferSession(RegisterBanks& banks, LogSink log, SendUpload sendUpload)
    : banks_(banks), log_(std::move(log)), sendUpload_(std::move(sendUpload)) {}

std::uint8_t TransferSession::OwnAddress() const {
  return banks_.ReadRegister(reg::kUnitAddress);
}

std::string TransferSession::AddressNote(std::uint8_t address) const {
  const std::uint8_t own = OwnAddress();
  return address == own ? "this unit" : "not this unit (" + HexByte(own) + ")";
}

void TransferSession::Enter(Phase phase, std::int64_t nowMs) {
  phase_ = phase;
  sinceMs_ = nowMs;
  closingMarkers_ = 0;
}

void TransferSession::End(const std::string& why) {
  log_(why);
  phase_ = Phase::Idle;
  download_.End();
  upload_.Stop();
  addresses_.clear();
  closingMarkers_ = 0;
  abandoning_ = false;
  uploadForMe_ = false;
}

TransferSession::Result TransferSession::Offer(std::uint8_t byte, std::int64_t nowMs) {
  if (byte == cmd::kTransferOpen && phase_ != Phase::Idle && phase_ != Phase::Opening) {
    End("transfer cut short by a new opening");
    Enter(Phase::Opening, nowMs);
    openedInTransfer_ = true;
    return Result::Taken;
  }
  Result result = Result::NotTransfer;
  switch (phase_) {
    case Phase::Idle:
      if (byte != cmd::kTransferOpen) return Result::NotTransfer;
      Enter(Phase::Opening, nowMs);
      openedInTransfer_ = false;
      return Result::Taken;
    case Phase::Opening:
      if (byte == cmd::kTransferOpen) {
        log_("<- 98 98 transfer opening");
        Enter(Phase::Opened, nowMs);
        return Result::Taken;
      }
      phase_ = Phase::Idle;
      if (!openedInTransfer_) return Result::LoneAlarm;
      log_("<- 0x98 alone, ignored");
      return Offer(byte, nowMs);
    case Phase::Opened:
      if (byte == cmd::kDay) {
        log_("<- 0xA1 download opening");
        download_.Begin();
        addresses_.clear();
        Enter(Phase::DownloadSelect, nowMs);
        return Result::Taken;
      }
      if (byte == cmd::kUnaddress) {
        Enter(Phase::OpenedUnaddress, nowMs);
        return Result::Taken;
      }
      End("transfer opening followed by " + HexByte(byte) + ", dropped");
      return Offer(byte, nowMs);
    case Phase::OpenedUnaddress:
      if (byte == cmd::kClear) {
        log_("<- A0 A8 upload opening");
        addresses_.clear();
        abandoning_ = false;
        Enter(Phase::UploadSelect, nowMs);
        return Result::Taken;
      }
      End("transfer opening 98 98 A0 followed by " + HexByte(byte) + ", dropped");
      return Offer(byte, nowMs);
    case Phase::DownloadSelect:
    case Phase::Download:
    case Phase::DownloadClosing:
      result = OfferDownload(byte);
      break;
    case Phase::UploadSelect:
    case Phase::Upload:
    case Phase::UploadClosing:
      result = OfferUpload(byte);
      break;
  }
  if (result == Result::Taken && phase_ != Phase::Idle) sinceMs_ = nowMs;
  if (result == Result::NotTransfer && phase_ == Phase::Idle) return Offer(byte, nowMs);
  return result;
}

TransferSession::Result TransferSession::OfferDownload(std::uint8_t byte) {
  if (phase_ == Phase::DownloadClosing) {
    if (byte == cmd::kUnaddress) {
      ++closingMarkers_;
      log_("<- 0xA0 download closing (" + std::to_string(closingMarkers_) + " of " +
           std::to_string(kDownloadClosingMarkers) + ")");
      if (closingMarkers_ == kDownloadClosingMarkers) End("download sequence complete");
      return Result::Taken;
    }
    if (IsTransferByte(byte)) {
      log_("<- " + HexByte(byte) + " download closing");
      return Result::Taken;
    }
    End("download closing cut short by " + HexByte(byte));
    return Result::NotTransfer;
  }
  if (IsAddressByte(byte)) {
    if (phase_ == Phase::DownloadSelect) {
      addresses_.push_back(byte);
      log_("<- address " + HexByte(byte) + ", download selection: " + AddressNote(byte));
    } else {
      log_("<- address " + HexByte(byte) + " between download frames");
    }
    return Result::Taken;
  }
  if (phase_ == Phase::DownloadSelect && byte == cmd::kDay && !addresses_.empty()) {
    log_("<- 0xA1 download selection done");
    phase_ = Phase::Download;
    return Result::Taken;
  }
  if (IsTransferByte(byte)) {
    log_("<- " + HexByte(byte) + " download marker");
    return Result::Taken;
  }
  return Result::NotTransfer;
}

TransferSession::Result TransferSession::OfferUpload(std::uint8_t byte) {
  const std::string progress = std::to_string(upload_.Sent()) + " of " + std::to_string(upload_.Total());
  if (byte == cmd::kEnable && (abandoning_ || phase_ == Phase::UploadClosing)) {
    End("<- 0xA4 upload abandoned after " + progress + " frames");
    return Result::Taken;
  }
  if (byte == cmd::kUnaddress) {
    if (phase_ == Phase::UploadClosing) {
      ++closingMarkers_;
      log_("<- 0xA0 upload closing (" + std::to_string(closingMarkers_) + " of " +
           std::to_string(kUploadClosingMarkers) + ")");
      if (closingMarkers_ == kUploadClosingMarkers) End("upload sequence complete");
    } else {
      abandoning_ = true;
      log_("<- 0xA0 upload end marker after " + progress + " frames");
    }
    return Result::Taken;
  }
  switch (byte) {
    case cmd::kUploadRequest:
      if (phase_ != Phase::UploadSelect) {
        log_("<- 0xBB repeated upload request, ignored");
        return Result::Taken;
      }
      uploadForMe_ = !addresses_.empty() && addresses_.back() == OwnAddress();
      phase_ = Phase::Upload;
      if (!uploadForMe_) {
        log_("<- 0xBB upload request for another unit, no answer");
        return Result::Taken;
      }
      upload_.Start(banks_);
      log_("<- 0xBB upload request: " + std::to_string(upload_.Total()) + " frames to send");
      SendNextUploadFrame();
      return Result::Taken;
    case cmd::kAcknowledge:
      if (phase_ == Phase::Upload && uploadForMe_ && upload_.HasNext()) {
        log_("<- 0xBC acknowledgement (" + progress + ")");
        SendNextUploadFrame();
      } else {
        log_("<- 0xBC acknowledgement, nothing more to send");
      }
      return Result::Taken;
    default:
      break;
  }
  if (phase_ == Phase::UploadSelect && IsAddressByte(byte)) {
    addresses_.push_back(byte);
    log_("<- address " + HexByte(byte) + ", upload selection: " + AddressNote(byte));
    return Result::Taken;
  }
  if (IsTransferByte(byte)) {
    log_("<- " + HexByte(byte) + " upload marker");
    return Result::Taken;
  }
  if (phase_ == Phase::UploadClosing) {
    End("upload closing cut short by " + HexByte(byte));
  }
  return Result::NotTransfer;
}

void TransferSession::SendNextUploadFrame() {
  sendUpload_(upload_.TakeNext());
  if (!upload_.HasNext()) {
    phase_ = Phase::UploadClosing;
    closingMarkers_ = 0;
  }
}

DownloadReceiver::Outcome TransferSession::TakeFrame(const DownloadFrame& frame, std::int64_t nowMs) {
  DownloadReceiver::Outcome outcome = download_.Take(frame, OwnAddress(), banks_);
  sinceMs_ = nowMs;
  phase_ = outcome.completed ? Phase::DownloadClosing : Phase::Download;
  closingMarkers_ = 0;
  if (outcome.completed) {
    outcome.description += "; download complete, " + std::to_string(download_.StoredFrames()) + " of " +
                           std::to_string(kFramesPerDownload) + " frames stored";
  }
  return outcome;
}

std::optional<std::int64_t> TransferSession::DeadlineMs() const {
  switch (phase_) {
    case Phase::Idle:
      return std::nullopt;
    case Phase::Opening:
      return sinceMs_ + kOpeningPauseMs;
    case Phase::DownloadClosing:
    case Phase::UploadClosing:
      return sinceMs_ + kClosingTimeoutMs;
    default:
      return sinceMs_ + kIdleTimeoutMs;
  }
}

bool TransferSession::Expire(std::int64_t nowMs) {
  const auto deadline = DeadlineMs();
  if (!deadline || nowMs < *deadline) return false;
  if (phase_ == Phase::Opening) {
    phase_ = Phase::Idle;
    return !openedInTransfer_;
  }
  End("transfer over: nothing heard for " + std::to_string((nowMs - sinceMs_) / 1000) + " s");
  return false;
}

}  // namespace koral::emu
