#include "monitor/alarm_window_model.h"

namespace koral {

AlarmWindowModel::AlarmWindowModel(Transport& transport, Mailboxes& mailboxes, SoundOutput& sound)
    : transport_(transport), mailboxes_(mailboxes), sound_(sound) {
  Reset();
}

void AlarmWindowModel::Reset() {
  lamps_.fill(kLampDarkGreen);
  alarmBits_.fill(false);
  phases_.fill(false);
  soundOn_ = true;
  soundDue_ = false;
  pendingMessage_.reset();
  playRequests_ = 0;
  playedLastTick_ = false;
}

void AlarmWindowModel::Open() {
  Reset();
  timerPeriodMs_ = kTickMs;
  if (sound_.WaveOutputDeviceCount() <= 0) pendingMessage_ = kNoSoundMessage;
  // The registration tells the bridge where to send the unit's frames. On the
  // serial link there is no bridge to tell: it would only reach the default
  // bridge address with this PC's addresses.
  if (transport_.Mode() == LinkMode::Udp) transport_.RegisterWithBridge();
  soundOn_ = true;
  soundDue_ = false;
}

void AlarmWindowModel::Close() {
  timerPeriodMs_ = 0;
  Reset();
}

std::optional<AlarmWindowMessage> AlarmWindowModel::TakeMessage() {
  std::optional<AlarmWindowMessage> message;
  message.swap(pendingMessage_);
  return message;
}

void AlarmWindowModel::Tick() {
  if (!IsOpen()) return;
  playedLastTick_ = false;
  if (soundOn_ && soundDue_) {
    sound_.Play(kSoundFile);
    ++playRequests_;
    playedLastTick_ = true;
    soundDue_ = false;
  }
  if (mailboxes_.alarm.empty()) {
    BlinkStep();
    return;
  }
  // A frame the link does not accept stays, and holds the blinking, until a
  // newer frame replaces it.
  if (const auto alarmByte = AlarmByte(mailboxes_.alarm)) {
    Apply(*alarmByte);
    mailboxes_.alarm.clear();
  }
}

std::optional<std::uint8_t> AlarmWindowModel::AlarmByte(const ByteString& frame) const {
  if (transport_.Mode() == LinkMode::Serial) {
    if (frame.size() <= kSerialAlarmIndex || frame.front() != kAllFlagsLead) return std::nullopt;
    return frame[kSerialAlarmIndex];
  }
  // The alarm byte must lie before the closing 0x03: in a shorter frame that
  // position holds the end mark itself.
  if (frame.size() <= kEventAlarmIndex + 1 || !IsFramed(frame)) return std::nullopt;
  const std::uint8_t alarm = frame[kEventAlarmIndex];
  return alarm == kEscapedThree ? std::uint8_t{3} : alarm;
}

void AlarmWindowModel::Apply(std::uint8_t alarmByte) {
  for (std::size_t zone = 0; zone < kZoneCount; ++zone) {
    const bool alarmed = ((static_cast<unsigned>(alarmByte) >> zone) & 1U) != 0;
    alarmBits_[zone] = alarmed;
    phases_[zone] = alarmed;
    lamps_[zone] = alarmed ? kLampRed : kLampDarkGreen;
  }
}

// An alarmed lamp turns red and green in turn, and each red asks for the sound.
void AlarmWindowModel::BlinkStep() {
  for (std::size_t zone = 0; zone < kZoneCount; ++zone) {
    if (!alarmBits_[zone]) continue;
    if (phases_[zone]) {
      phases_[zone] = false;
      lamps_[zone] = kLampRed;
      soundDue_ = true;
    } else {
      phases_[zone] = true;
      lamps_[zone] = kLampDarkGreen;
    }
  }
}

void AlarmWindowModel::ToggleSound() {
  if (!IsOpen()) return;
  soundOn_ = !soundOn_;
}

void AlarmWindowModel::ClearAlarm() {
  if (!IsOpen()) return;
  transport_.RearmIfNetwork();
  transport_.SendByte(kClearAlarmCommand);
  alarmBits_.fill(false);
  lamps_.fill(kLampDarkGreen);
}

}  // namespace koral
