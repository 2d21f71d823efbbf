// The zone alarm window (AlarmWin): eight lamps A..H that blink red while the
// unit reports an alarm on their zone, a wave sound that repeats while any lamp
// blinks, a sound toggle and "Clear Alarm". Driven by a 100 ms timer the window
// owns; the frames come from the alarm mailbox of either receive path.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "link/byte_string.h"
#include "link/mailboxes.h"
#include "link/transport.h"

namespace koral {

// What the platform offers for sound.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  // How many wave-output devices exist; 0 or less: none.
  virtual int WaveOutputDeviceCount() const = 0;
  // Starts playing a wave file and returns at once; a newer call cuts off the
  // sound still playing. A missing file or device fails silently.
  virtual void Play(std::string_view file) = 0;
};

struct LampColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  // The colour as one number, red in the low byte.
  constexpr std::uint32_t Value() const {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
  }
  friend constexpr bool operator==(const LampColour&, const LampColour&) = default;
};

inline constexpr LampColour kLampDarkGreen{0, 64, 0};  // 16384: no alarm, or the dark phase of a blink
inline constexpr LampColour kLampRed{255, 0, 0};       // 255: alarm
static_assert(kLampDarkGreen.Value() == 16384 && kLampRed.Value() == 255);

enum class MessageIcon { Information };

// A message box the window shows once, OK only.
struct AlarmWindowMessage {
  std::string_view title;
  std::string_view text;
  MessageIcon icon = MessageIcon::Information;
  friend bool operator==(const AlarmWindowMessage&, const AlarmWindowMessage&) = default;
};

class AlarmWindowModel {
 public:
  static constexpr std::size_t kZoneCount = 8;
  static constexpr std::string_view kCaption = "Alarm Window";
  static constexpr std::string_view kHeading = "Zone Alarm";
  static constexpr std::array<std::string_view, kZoneCount> kZoneLetters = {"A", "B", "C", "D", "E", "F", "G", "H"};
  static constexpr std::string_view kDisableSound = "Disable Sound";
  static constexpr std::string_view kEnableSound = "Enable Sound";
  static constexpr std::string_view kClearAlarm = "Clear Alarm";
  static constexpr std::string_view kSoundFile = "AntiAir.wav";
  static constexpr AlarmWindowMessage kNoSoundMessage = {"Sound Card", "Your system can not play sound Files.",
                                                         MessageIcon::Information};
  static constexpr int kTickMs = 100;
  static constexpr std::uint8_t kClearAlarmCommand = 0xA8;
  // Serial link: the ALL FLAGS frame 5A motion trigger alarm status.
  static constexpr std::uint8_t kAllFlagsLead = 0x5A;
  static constexpr std::size_t kSerialAlarmIndex = 3;
  // Network link: the event datagram 01 21 motion trigger alarm ... 03, which
  // carries the value 3 as 0xFF.
  static constexpr std::size_t kEventAlarmIndex = 4;
  static constexpr std::uint8_t kEscapedThree = 0xFF;

  // The link mode is the transport's. Nothing happens before Open().
  AlarmWindowModel(Transport& transport, Mailboxes& mailboxes, SoundOutput& sound);

  // Loading the window: the 100 ms timer, the message when the PC has no sound
  // output, the registration with the bridge (network link only), sound on.
  void Open();
  // Unloading: the timer stops and the state is gone; the next Open starts afresh.
  void Close();
  bool IsOpen() const { return timerPeriodMs_ != 0; }
  // The window's timer period; 0: stopped.
  int TimerPeriodMs() const { return timerPeriodMs_; }

  // One timer tick: a due sound, then the alarm mailbox or one blink step.
  // A closed window does nothing.
  void Tick();
  // Command1: sound off or on again; the blinking goes on either way.
  void ToggleSound();
  // Command3: tells the unit (0xA8) and puts every lamp out.
  void ClearAlarm();

  // The message to show, once; the window takes it after Open.
  std::optional<AlarmWindowMessage> TakeMessage();
  const std::optional<AlarmWindowMessage>& PendingMessage() const { return pendingMessage_; }

  const std::array<LampColour, kZoneCount>& Lamps() const { return lamps_; }  // Shape1(0..7)
  const std::array<bool, kZoneCount>& AlarmBits() const { return alarmBits_; }
  const std::array<bool, kZoneCount>& LampPhases() const { return phases_; }
  bool SoundOn() const { return soundOn_; }
  bool SoundDue() const { return soundDue_; }
  std::string_view SoundToggleCaption() const { return soundOn_ ? kDisableSound : kEnableSound; }
  static constexpr std::string_view ClearCaption() { return kClearAlarm; }  // set again by every clear
  // Play requests since Open, and whether the last tick made one.
  std::uint64_t PlayRequestCount() const { return playRequests_; }
  bool PlayRequestedLastTick() const { return playedLastTick_; }

 private:
  // The alarm byte of a frame the link accepts, or nothing.
  std::optional<std::uint8_t> AlarmByte(const ByteString& frame) const;
  void Apply(std::uint8_t alarmByte);
  void BlinkStep();
  void Reset();

  Transport& transport_;
  Mailboxes& mailboxes_;
  SoundOutput& sound_;

  int timerPeriodMs_ = 0;
  std::array<LampColour, kZoneCount> lamps_{};
  std::array<bool, kZoneCount> alarmBits_{};
  std::array<bool, kZoneCount> phases_{};
  bool soundOn_ = true;
  bool soundDue_ = false;
  std::optional<AlarmWindowMessage> pendingMessage_;
  std::uint64_t playRequests_ = 0;
  bool playedLastTick_ = false;
};

}  // namespace koral
