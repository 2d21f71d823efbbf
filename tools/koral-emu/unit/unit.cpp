#include "unit/unit.h"

#include <algorithm>
#include <utility>
#include <variant>

#include "model/defaults.h"
#include "unit/commands.h"

namespace koral::emu {
namespace {

std::string ZoneName(int zone) {
  return std::string("zone ") + static_cast<char>('A' + zone);
}

std::string EventName(OutputEvent event, int zone) {
  switch (event) {
    case OutputEvent::Alarm:
      return "alarm " + ZoneName(zone);
    case OutputEvent::AlarmsCleared:
      return "alarms cleared";
    case OutputEvent::VideoLost:
      return "video lost";
    case OutputEvent::VideoRestored:
      return "video back";
    case OutputEvent::ModeChanged:
      return "DAY/NIGHT switch";
    case OutputEvent::AlarmEnabled:
      return "alarm enable switch";
    case OutputEvent::Periodic:
      break;
  }
  return "continuous";
}

}  // namespace

RegisterBanks FactoryBanks(VideoStandard video, LinkMode link, std::uint8_t address) {
  RegisterBanks banks;
  LoadFactorySettings(banks, DefaultsContext{video, link, kBaud4800Index});
  banks.WriteRegister(reg::kUnitAddress, address);
  banks.SetSettingsModified(false);
  return banks;
}

Unit::Unit(const UnitConfig& config, const RegisterBanks& banks, const UnitClock& clock, LogSink log)
    : config_(config),
      banks_(banks),
      clock_(clock),
      log_(std::move(log)),
      outbox_(config.link == LinkMode::Serial ? kSerialFrameGapMs : kNetworkFrameGapMs, config.faults, log_),
      session_(banks_, log_, [this](const UploadFrame& frame) { SendUploadFrame(frame); }),
      selection_(config.model == UnitModel::QtMx),
      scene_(clock.NowMs()),
      dateClock_(config.startTime, clock.NowMs()),
      ipAddress_(config.ipAddress),
      videoLost_(config.videoLost),
      nextPeriodicMs_(clock.NowMs() + kContinuousOutputMs) {
  banks_.SetActiveBank(BankId::Day);
}

std::uint8_t Unit::OwnAddress() const {
  return banks_.ReadRegister(reg::kUnitAddress);
}

std::uint8_t Unit::Status() const {
  return StatusByte({banks_.ActiveBank() == BankId::Day, alarmEnabled_, videoLost_});
}

bool Unit::TakeDownloadCompleted() {
  return std::exchange(downloadCompleted_, false);
}

void Unit::Receive(std::span<const std::uint8_t> bytes) {
  for (const std::uint8_t byte : bytes)
    Receive(byte);
}

void Unit::Receive(std::uint8_t byte) {
  const std::int64_t now = clock_.NowMs();
  Advance(now);
  Handle(byte, now);
  lastByteMs_ = now;
}

std::vector<Bytes> Unit::Poll() {
  const std::int64_t now = clock_.NowMs();
  Advance(now);
  return outbox_.TakeDue(now);
}

std::optional<std::int64_t> Unit::NextWakeMs() const {
  std::optional<std::int64_t> wake = outbox_.NextDueMs();
  const auto consider = [&wake](std::optional<std::int64_t> at) {
    if (at && (!wake || *at < *wake)) wake = at;
  };
  consider(session_.DeadlineMs());
  if (pendingOneSinceMs_) consider(*pendingOneSinceMs_ + kAddressLookaheadMs);
  if (Unfinished()) consider(lastByteMs_ + kUnfinishedMessageMs);
  if (Rate() == OutputRate::PerAlarm) consider(scene_.NextStepMs());
  if (Rate() == OutputRate::Continuous) consider(nextPeriodicMs_);
  return wake;
}

void Unit::Advance(std::int64_t nowMs) {
  if (Unfinished() && nowMs >= lastByteMs_ + kUnfinishedMessageMs) {
    if (downloadFrame_) {
      log_("<- download frame stopped after " + std::to_string(downloadFrame_->size() + 1) + " bytes, dropped");
      downloadFrame_.reset();
    } else {
      log_("<- IP message stopped half-way, dropped");
      ipReader_.Abandon();
    }
  }
  if (session_.Expire(nowMs)) HandleKey(*FindKey(cmd::kTransferOpen));
  if (pendingOneSinceMs_ && nowMs >= *pendingOneSinceMs_ + kAddressLookaheadMs) {
    pendingOneSinceMs_.reset();
    HandleAddress(kIpMessageStart);
  }
  RunScene(nowMs);
}

void Unit::Handle(std::uint8_t byte, std::int64_t nowMs) {
  if (downloadFrame_) {
    if (byte == cmd::kFrameEnd) {
      FinishDownloadFrame(nowMs);
      return;
    }
    if (byte == cmd::kFrameStart) {
      log_("<- download frame cut short after " + std::to_string(downloadFrame_->size()) + " bytes by a new 0xC0");
      downloadFrame_->clear();
      return;
    }
    downloadFrame_->push_back(byte);
    if (downloadFrame_->size() > kLongestDownloadFrame) {
      log_("<- download frame without 0xCF after " + std::to_string(downloadFrame_->size()) + " bytes, dropped");
      downloadFrame_.reset();
    }
    return;
  }
  if (ipReader_.Active()) {
    if (const auto message = ipReader_.Feed(byte)) HandleIpMessage(*message);
    return;
  }
  if (pendingOneSinceMs_) {
    pendingOneSinceMs_.reset();
    if (ipReader_.Start(byte)) return;
    HandleAddress(kIpMessageStart);
  }
  if (byte == cmd::kStatusRequest) {
    HandleStatusRequest();
    return;
  }

  TransferSession::Result offered = session_.Offer(byte, nowMs);
  if (offered == TransferSession::Result::LoneAlarm) {
    HandleKey(*FindKey(cmd::kTransferOpen));
    offered = session_.Offer(byte, nowMs);
  }
  if (offered != TransferSession::Result::NotTransfer) return;

  if (byte == cmd::kFrameStart) {
    downloadFrame_.emplace();
    return;
  }
  if (byte == kIpMessageStart && !session_.InTransfer()) {
    pendingOneSinceMs_ = nowMs;
    return;
  }
  if (IsAddressByte(byte)) {
    HandleAddress(byte);
    return;
  }
  if (const auto key = FindKey(byte)) {
    HandleKey(*key);
    return;
  }
  if (byte == cmd::kUploadRequest || byte == cmd::kAcknowledge) {
    log_("<- " + HexByte(byte) + (byte == cmd::kUploadRequest ? " upload request" : " acknowledgement") +
         " outside an upload, ignored");
    return;
  }
  if (byte == cmd::kFrameEnd || IsDataByte(byte)) {
    log_("<- " + HexByte(byte) + " outside a download frame, ignored");
    return;
  }
  log_("<- " + HexByte(byte) + " unknown command, ignored");
}

void Unit::HandleStatusRequest() {
  if (!selection_.Selected()) {
    log_("<- 0xBA status request: unit not selected, no answer");
    return;
  }
  const std::uint8_t status = Status();
  log_("<- 0xBA status request");
  outbox_.Push({FrameKind::StatusReply, StatusReply(status), "status reply (" + DescribeStatus(status) + ")"},
               clock_.NowMs());
}

void Unit::HandleAddress(std::uint8_t address) {
  if (!selection_.SharedLine()) {
    log_("<- address " + HexByte(address) + " (no effect on a QT-1RX)");
    return;
  }
  selection_.Address(address);
  log_("<- address " + HexByte(address));
}

void Unit::HandleKey(const Key& key) {
  const std::string heard = "<- " + HexByte(key.byte) + " key " + std::string(key.name);
  if (key.action == KeyAction::EndOfSelection) {
    if (!selection_.SharedLine()) {
      log_(heard + " (no effect on a QT-1RX)");
      return;
    }
    const auto pending = selection_.Pending();
    const bool selected = selection_.EndOfSelection(OwnAddress());
    const std::string which = pending ? HexByte(*pending) : std::string("no address");
    log_(heard + ": " + which +
         (selected ? ", this unit selected" : ", not this unit (" + HexByte(OwnAddress()) + ")"));
    return;
  }
  if (!selection_.Selected()) {
    log_(heard + ": unit not selected, ignored");
    return;
  }
  switch (key.action) {
    case KeyAction::Logged:
    case KeyAction::Alarm:
      log_(heard);
      return;
    case KeyAction::Unaddress:
      if (!selection_.SharedLine()) {
        log_(heard + " (no effect on a QT-1RX)");
        return;
      }
      selection_.Unaddress();
      log_(heard + ": unit let go");
      return;
    case KeyAction::Day:
    case KeyAction::Night: {
      const BankId bank = key.action == KeyAction::Day ? BankId::Day : BankId::Night;
      banks_.SetActiveBank(bank);
      log_(heard + ": running the " + BankName(bank) + " bank");
      EmitOutput(OutputEvent::ModeChanged);
      return;
    }
    case KeyAction::EnableAlarm:
    case KeyAction::DisableAlarm:
      alarmEnabled_ = key.action == KeyAction::EnableAlarm;
      log_(heard + (alarmEnabled_ ? ": alarm enabled" : ": alarm disabled"));
      EmitOutput(OutputEvent::AlarmEnabled);
      return;
    case KeyAction::ClearAlarms:
      scene_.ClearAlarms();
      log_(heard + ": alarms cleared");
      EmitOutput(OutputEvent::AlarmsCleared);
      return;
    case KeyAction::EndOfSelection:
      break;
  }
}

void Unit::HandleIpMessage(const IpMessageReader::Message& message) {
  const std::string bytes = Hex(message.body);
  if (message.kind == IpMessageReader::Kind::Write) {
    if (!message.valid) {
      log_("<- IP address write " + bytes + " is not four octets, ignored");
      return;
    }
    ipAddress_ = *message.address;
    log_("<- IP address write " + IpText(ipAddress_));
    return;
  }
  if (!message.valid) {
    log_("<- IP address query with body " + bytes + ", ignored");
    return;
  }
  log_("<- IP address query");
  outbox_.Push({FrameKind::IpReply, Bytes(ipAddress_.begin(), ipAddress_.end()), "IP address " + IpText(ipAddress_)},
               clock_.NowMs());
}

void Unit::FinishDownloadFrame(std::int64_t nowMs) {
  const Bytes body = std::move(*downloadFrame_);
  downloadFrame_.reset();
  const auto parsed = ParseDownloadFrame(body);
  if (const auto* error = std::get_if<std::string>(&parsed)) {
    log_("<- download frame of " + std::to_string(body.size() + 2) + " bytes: " + *error + ", ignored");
    return;
  }
  const auto& frame = std::get<DownloadFrame>(parsed);
  const std::string heard = "<- " + DescribeDownloadFrame(frame);
  if (!session_.AcceptsFrames()) {
    log_(heard + ": no download in progress, ignored");
    return;
  }
  const DownloadReceiver::Outcome outcome = session_.TakeFrame(frame, nowMs);
  log_(heard + ": " + outcome.description);
  if (outcome.stored && frame.block == kDownloadBlocks[0].block) {
    if (const auto time = CivilTimeFromDateTime(banks_.Bank(BankId::Day).dateTime)) {
      dateClock_.Set(*time, nowMs);
    }
  }
  if (outcome.completed) {
    banks_.AdoptMotionRegisters();
    downloadCompleted_ = true;
  }
}

void Unit::SendUploadFrame(const UploadFrame& frame) {
  outbox_.Push({FrameKind::Upload, frame.bytes, DescribeUploadFrame(frame)}, clock_.NowMs());
}

void Unit::SetVideoLost(bool lost) {
  if (lost == videoLost_) return;
  RunScene(clock_.NowMs());
  videoLost_ = lost;
  log_(lost ? "video lost" : "video back");
  EmitOutput(lost ? OutputEvent::VideoLost : OutputEvent::VideoRestored);
}

int Unit::OutputType() const {
  return banks_.ReadRegister(reg::kOutputData);
}

OutputRate Unit::Rate() const {
  const std::uint8_t rate = banks_.ReadRegister(reg::kOutputRate);
  return rate <= static_cast<std::uint8_t>(OutputRate::Continuous) ? static_cast<OutputRate>(rate) : OutputRate::Off;
}

bool Unit::Streaming() const {
  return Rate() != OutputRate::Off && OutputType() <= output::kEventDatagram && !session_.InTransfer() &&
         selection_.Selected();
}

void Unit::RunScene(std::int64_t nowMs) {
  const SceneConditions conditions{alarmEnabled_, videoLost_, config_.still};
  const Scene::Changes changes = scene_.RunTo(nowMs, SceneSettingsOf(banks_.Active()), conditions);
  if (Rate() == OutputRate::Continuous) {
    if (nowMs >= nextPeriodicMs_) {
      EmitOutput(OutputEvent::Periodic);
      while (nextPeriodicMs_ <= nowMs)
        nextPeriodicMs_ += kContinuousOutputMs;
    }
    return;
  }
  for (int zone = 0; zone < kZoneCount; ++zone) {
    if ((changes.newAlarms >> zone & 1) != 0) EmitOutput(OutputEvent::Alarm, zone);
  }
  if (changes.alarmsCleared) EmitOutput(OutputEvent::AlarmsCleared);
}

void Unit::EmitOutput(OutputEvent event, int zone) {
  if (!Streaming()) return;
  if (Rate() == OutputRate::Continuous && event != OutputEvent::Periodic) return;
  const std::int64_t now = clock_.NowMs();
  const int type = OutputType();
  const OutputMoment moment{scene_.Seen(), Status(), dateClock_.Now(now), event, zone};
  const std::string what = "output " + std::string(OutputTypeName(type)) + " (" + EventName(event, zone) + ")";
  outbox_.Push({FrameKind::OutputData, EncodeOutput(type, moment), what}, now);
}

}  // namespace koral::emu
