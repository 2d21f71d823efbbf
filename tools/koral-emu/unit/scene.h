// A small simulated picture: every cycle one zone of the active bank's zone
// map sees something move. Its delta rises and falls, motion and trigger
// follow the zone's trigger level, and a trigger held for the zone's track
// time raises an alarm that holds for a while or until CLEAR. Everything
// follows from the unit's millisecond clock, so a run can be replayed.
#pragma once

#include <array>
#include <cstdint>

#include "model/register_bank.h"
#include "unit/output_data.h"

namespace koral::emu {

struct SceneZone {
  bool painted = false;  // at least one cell of the zone map belongs to it
  std::uint16_t triggerLevel = 0;
  int trackTimeMs = 0;
};

using SceneSettings = std::array<SceneZone, 8>;

// The zones, trigger levels (Registers 54..69) and track times (Registers
// 70..77, tenths of a second) of a bank.
SceneSettings SceneSettingsOf(const RegisterBank& bank);

struct SceneConditions {
  bool alarmEnabled = true;
  bool videoLost = false;
  bool still = false;  // nothing moves
};

class Scene {
 public:
  static constexpr int kStepMs = 100;
  static constexpr int kCycleMs = 15000;
  static constexpr int kMotionStartMs = 3000;  // within a cycle
  static constexpr int kMotionPeakMs = 6000;
  static constexpr int kMotionEndMs = 9000;
  static constexpr int kAlarmHoldMs = 5000;
  static constexpr std::uint16_t kLeastPeak = 400;
  static constexpr std::uint16_t kLeastThreshold = 16;
  static constexpr int kNoiseLevels = 8;  // quiet zones show a delta of 0..7

  explicit Scene(std::int64_t startMs) : startMs_(startMs), steppedTo_(startMs) {
    triggeredSince_.fill(kNever);
    alarmSince_.fill(kNever);
  }

  struct Changes {
    std::uint8_t newAlarms = 0;  // zones that went into alarm
    bool alarmsCleared = false;  // the last alarm went off
  };

  // Runs the picture on to `nowMs`, one step per 100 ms.
  Changes RunTo(std::int64_t nowMs, const SceneSettings& settings, const SceneConditions& conditions);
  const Observation& Seen() const { return seen_; }
  // CLEAR: every alarm off at once; a zone still triggered alarms again only
  // after its trigger has dropped.
  void ClearAlarms();
  std::int64_t NextStepMs() const { return steppedTo_ + kStepMs; }

 private:
  static constexpr std::int64_t kNever = -1;

  void Step(std::int64_t atMs, const SceneSettings& settings, const SceneConditions& conditions, Changes& changes);
  std::uint16_t DeltaOf(int zone, std::int64_t atMs, const SceneSettings& settings) const;

  std::int64_t startMs_;
  std::int64_t steppedTo_;
  Observation seen_;
  std::array<std::int64_t, 8> triggeredSince_{};  // kNever while the zone is not triggered
  std::array<std::int64_t, 8> alarmSince_{};      // kNever while the zone is not in alarm
  std::uint8_t clearedWhileTriggered_ = 0;
};

}  // namespace koral::emu
