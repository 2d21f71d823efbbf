// The zone alarm window: frames per link, blinking, sound requests, the sound
// toggle, "Clear Alarm", opening and reopening. Ticks are 100 ms of virtual time.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "../link/link_fakes.h"
#include "monitor/alarm_window_model.h"

namespace koral::testing_support {
namespace {

class RecordingSound : public SoundOutput {
 public:
  explicit RecordingSound(const Clock& clock) : clock_(clock) {}
  int WaveOutputDeviceCount() const override { return devices; }
  void Play(std::string_view file) override {
    playedAt.push_back(clock_.NowMs());
    files.emplace_back(file);
  }
  int devices = 1;
  std::vector<std::int64_t> playedAt;
  std::vector<std::string> files;

 private:
  const Clock& clock_;
};

// The 17-byte event datagram with the given alarm byte and end byte.
ByteString EventDatagram(std::uint8_t alarm, std::uint8_t last = 0x03) {
  return {0x01, 0x21, 0x01, 0x02, alarm, 0x08, 'T', 'E', 'S', 'T', 0x12, 0x25, 0x07, 0x09, 0x30, 0x45, last};
}

struct AlarmRig {
  explicit AlarmRig(LinkMode mode) : transport(mode, clock, &ports, &socket, &macs) {
    transport.OpenSerialPort(1, 4800);
    alarm.Open();
  }
  void Tick(int count = 1) {
    for (int i = 0; i < count; ++i) {
      clock.Advance(AlarmWindowModel::kTickMs);
      alarm.Tick();
    }
  }
  // The lamps A..H as 'R' (red) and 'G' (dark green).
  std::string Lamps() const {
    std::string row;
    for (const LampColour& lamp : alarm.Lamps())
      row += lamp == kLampRed ? 'R' : lamp == kLampDarkGreen ? 'G' : '?';
    return row;
  }
  // Lamps after each of `count` ticks, joined by blanks.
  std::string LampsOverTicks(int count) {
    std::string rows;
    for (int i = 0; i < count; ++i) {
      Tick();
      rows += (i ? " " : "") + Lamps();
    }
    return rows;
  }

  FakeClock clock;
  FakeSerialPorts ports{clock};
  FakeUdpSocket socket{clock};
  FakeHardwareAddresses macs;
  Mailboxes mailboxes;
  RecordingSound sound{clock};
  Transport transport;
  AlarmWindowModel alarm{transport, mailboxes, sound};
};

TEST(AlarmWindowTest, serialAllFlagsFrame_lightsAandCThenBlinksWithASoundEveryRedPhase) {
  AlarmRig rig(LinkMode::Serial);
  rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0x05, 0x08};
  // Applied at 100 ms, red again at 200, then dark green and red in turn.
  EXPECT_EQ(rig.LampsOverTicks(7), "RGRGGGGG RGRGGGGG GGGGGGGG RGRGGGGG GGGGGGGG RGRGGGGG GGGGGGGG");
  EXPECT_TRUE(rig.mailboxes.alarm.empty());
  EXPECT_EQ(rig.sound.playedAt, (std::vector<std::int64_t>{300, 500, 700}));
  EXPECT_EQ(rig.sound.files, std::vector<std::string>(3, "AntiAir.wav"));
  EXPECT_EQ(rig.alarm.PlayRequestCount(), 3U);
  EXPECT_TRUE(rig.alarm.PlayRequestedLastTick());
}

struct FrameCase {
  const char* name;
  LinkMode mode;
  ByteString frame;
  std::optional<std::string> lamps;  // none: the frame is not accepted
};

TEST(AlarmWindowTest, framesPerLink_acceptedOnesLightTheirZonesOthersStayUntouched) {
  const FrameCase cases[] = {
      {"all flags", LinkMode::Serial, {0x5A, 0x00, 0x00, 0x05, 0x08}, "RGRGGGGG"},
      {"four bytes hold the alarm byte", LinkMode::Serial, {0x5A, 0x00, 0x00, 0x80}, "GGGGGGGR"},
      {"no 0xFF mapping on serial", LinkMode::Serial, {0x5A, 0x00, 0x00, 0xFF, 0x00}, "RRRRRRRR"},
      {"delta frame", LinkMode::Serial, {0x5A, 0x01, 0x02}, std::nullopt},
      {"event datagram on serial", LinkMode::Serial, EventDatagram(0x05), std::nullopt},
      {"event, alarm 0xFF is 3", LinkMode::Udp, EventDatagram(0xFF), "RRGGGGGG"},
      {"event, alarm 0x84", LinkMode::Udp, EventDatagram(0x84), "GGRGGGGR"},
      {"short framed datagram", LinkMode::Udp, {0x01, 0x21, 0x00, 0x00, 0x04, 0x03}, "GGRGGGGG"},
      {"not ending in 0x03", LinkMode::Udp, EventDatagram(0x05, 0x00), std::nullopt},
      {"all flags frame on UDP", LinkMode::Udp, {0x5A, 0x00, 0x00, 0x05, 0x08}, std::nullopt},
      {"alarm position is the end mark", LinkMode::Udp, {0x01, 0x21, 0x00, 0x00, 0x03}, std::nullopt},
  };
  for (const FrameCase& c : cases) {
    AlarmRig rig(c.mode);
    rig.mailboxes.alarm = c.frame;
    rig.Tick();
    if (c.lamps) {
      EXPECT_EQ(rig.Lamps(), *c.lamps) << c.name;
      EXPECT_TRUE(rig.mailboxes.alarm.empty()) << c.name;
    } else {
      rig.Tick(2);
      EXPECT_EQ(rig.mailboxes.alarm, c.frame) << c.name;
      EXPECT_EQ(rig.Lamps(), "GGGGGGGG") << c.name;
      EXPECT_EQ(rig.alarm.AlarmBits(), (std::array<bool, 8>{})) << c.name;
    }
  }
}

TEST(AlarmWindowTest, deltaFrameWhileBlinking_holdsTheLampsUntilANewerFrameReplacesIt) {
  AlarmRig rig(LinkMode::Serial);
  rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0x01, 0x00};
  rig.Tick(2);  // A red, sound due
  rig.mailboxes.alarm = {0x5A, 0x01, 0x02};
  EXPECT_EQ(rig.LampsOverTicks(4), "RGGGGGGG RGGGGGGG RGGGGGGG RGGGGGGG");
  EXPECT_EQ(rig.sound.playedAt, (std::vector<std::int64_t>{300}));  // only the one already due
  EXPECT_EQ(rig.mailboxes.alarm, (ByteString{0x5A, 0x01, 0x02}));
  rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0x02, 0x00};
  EXPECT_EQ(rig.LampsOverTicks(3), "GRGGGGGG GRGGGGGG GGGGGGGG");
}

TEST(AlarmWindowTest, alarmByteZero_stopsBlinkingAndSound) {
  AlarmRig rig(LinkMode::Udp);
  rig.mailboxes.alarm = EventDatagram(0x01);
  rig.Tick(2);
  rig.mailboxes.alarm = EventDatagram(0x00);
  EXPECT_EQ(rig.LampsOverTicks(5), "GGGGGGGG GGGGGGGG GGGGGGGG GGGGGGGG GGGGGGGG");
  EXPECT_EQ(rig.sound.playedAt, (std::vector<std::int64_t>{300}));
}

TEST(AlarmWindowTest, disableSoundWhileBlinking_blinksInSilenceUntilEnabledAgain) {
  AlarmRig rig(LinkMode::Serial);
  EXPECT_EQ(rig.alarm.SoundToggleCaption(), "Disable Sound");
  rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0x01, 0x00};
  rig.Tick(2);
  rig.alarm.ToggleSound();
  EXPECT_EQ(rig.alarm.SoundToggleCaption(), "Enable Sound");
  EXPECT_EQ(rig.LampsOverTicks(6), "GGGGGGGG RGGGGGGG GGGGGGGG RGGGGGGG GGGGGGGG RGGGGGGG");
  EXPECT_TRUE(rig.sound.playedAt.empty());
  rig.alarm.ToggleSound();
  EXPECT_EQ(rig.alarm.SoundToggleCaption(), "Disable Sound");
  rig.Tick(3);
  EXPECT_EQ(rig.sound.playedAt, (std::vector<std::int64_t>{900, 1100}));
}

TEST(AlarmWindowTest, clearAlarmOnSerial_sendsA8AndPutsEveryLampOut) {
  // Cleared after a dark phase nothing more sounds; after a red phase the sound
  // already due still plays once.
  const struct {
    int ticksBefore;
    std::vector<std::int64_t> playsAfterClear;
  } cases[] = {{3, {}}, {4, {510}}};
  for (const auto& c : cases) {
    AlarmRig rig(LinkMode::Serial);
    rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0x05, 0x00};
    rig.Tick(c.ticksBefore);
    const std::int64_t t = rig.clock.now;
    const std::size_t playsBefore = rig.sound.playedAt.size();
    rig.alarm.ClearAlarm();
    EXPECT_EQ(rig.ports.Fake(1).written, (std::vector<SentBytes>{{t, {0xA8}}})) << c.ticksBefore;
    EXPECT_EQ(rig.Lamps(), "GGGGGGGG");
    EXPECT_EQ(rig.LampsOverTicks(4), "GGGGGGGG GGGGGGGG GGGGGGGG GGGGGGGG");
    EXPECT_EQ(std::vector<std::int64_t>(rig.sound.playedAt.begin() + static_cast<std::ptrdiff_t>(playsBefore),
                                        rig.sound.playedAt.end()),
              c.playsAfterClear)
        << c.ticksBefore;
    EXPECT_EQ(rig.alarm.ClearCaption(), "Clear Alarm");
  }
}

TEST(AlarmWindowTest, clearAlarmOnUdp_rearmsThenSendsA8AsDatagrams) {
  AlarmRig rig(LinkMode::Udp);
  rig.mailboxes.alarm = EventDatagram(0x04);
  rig.Tick(2);
  rig.socket.events.clear();
  rig.socket.sent.clear();
  const std::int64_t t = rig.clock.now;
  rig.alarm.ClearAlarm();
  EXPECT_EQ(rig.socket.events, "Rddd");
  EXPECT_EQ(rig.socket.sent, (std::vector<SentBytes>{{t, {0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00}},
                                                     {t, {0x01, 0xFE, 0x19, 0xFF, 0xA8, 0x00, 0x00, 0x00}},
                                                     {t + 10, {0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00}}}));
  EXPECT_EQ(rig.LampsOverTicks(3), "GGGGGGGG GGGGGGGG GGGGGGGG");
}

TEST(AlarmWindowTest, reopenAfterClose_startsDarkWithSoundOn) {
  AlarmRig rig(LinkMode::Serial);
  rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0xFF, 0x00};
  rig.Tick(2);
  rig.alarm.ToggleSound();
  rig.alarm.Close();
  EXPECT_EQ(rig.alarm.TimerPeriodMs(), 0);
  rig.mailboxes.alarm = {0x5A, 0x00, 0x00, 0x01, 0x00};
  rig.Tick(2);  // a closed window takes no frame
  EXPECT_EQ(rig.mailboxes.alarm.size(), 5U);
  rig.mailboxes.alarm.clear();
  rig.alarm.Open();
  EXPECT_EQ(rig.alarm.TimerPeriodMs(), 100);
  EXPECT_EQ(rig.Lamps(), "GGGGGGGG");
  EXPECT_EQ(rig.alarm.SoundToggleCaption(), "Disable Sound");
  EXPECT_EQ(rig.LampsOverTicks(3), "GGGGGGGG GGGGGGGG GGGGGGGG");
  EXPECT_TRUE(rig.sound.playedAt.empty());
}

TEST(AlarmWindowTest, openWithoutWaveDevice_asksToTellTheUserOnce) {
  const struct {
    int devices;
    bool message;
  } cases[] = {{-1, true}, {0, true}, {1, false}, {2, false}};
  for (const auto& c : cases) {
    AlarmRig rig(LinkMode::Serial);
    rig.sound.devices = c.devices;
    rig.alarm.Open();
    const auto message = rig.alarm.TakeMessage();
    ASSERT_EQ(message.has_value(), c.message) << c.devices;
    EXPECT_FALSE(rig.alarm.TakeMessage().has_value());
    if (!message) continue;
    EXPECT_EQ(message->title, "Sound Card");
    EXPECT_EQ(message->text, "Your system can not play sound Files.");
    EXPECT_EQ(message->icon, MessageIcon::Information);
  }
}

TEST(AlarmWindowTest, open_registersWithTheBridgeOnUdpOnly) {
  const ByteString registration = {0x0E, 0xF1, 0xD0, 0x02, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E,
                                   192,  168,  0,    10,   0x72, 0x67, 0x00, 0x00, 0x00};
  AlarmRig serial(LinkMode::Serial);
  EXPECT_TRUE(serial.socket.sent.empty());
  AlarmRig udp(LinkMode::Udp);
  EXPECT_EQ(udp.socket.sent, (std::vector<SentBytes>{{0, registration}}));
}

}  // namespace
}  // namespace koral::testing_support
