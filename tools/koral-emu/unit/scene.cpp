#include "unit/scene.h"

#include <algorithm>

#include "model/register_map.h"

namespace koral::emu {
namespace {

constexpr int kTrackUnitMs = 100;

std::uint8_t Bit(int zone) {
  return static_cast<std::uint8_t>(1u << zone);
}

std::uint16_t MotionThreshold(const SceneZone& zone) {
  return std::max<std::uint16_t>(static_cast<std::uint16_t>(zone.triggerLevel / 2), Scene::kLeastThreshold);
}

std::uint16_t TriggerThreshold(const SceneZone& zone) {
  return std::max(zone.triggerLevel, Scene::kLeastThreshold);
}

std::uint16_t Peak(const SceneZone& zone) {
  const int doubled = 2 * zone.triggerLevel;
  return static_cast<std::uint16_t>(std::clamp(doubled, static_cast<int>(Scene::kLeastPeak), 0xFFFF));
}

}  // namespace

SceneSettings SceneSettingsOf(const RegisterBank& bank) {
  SceneSettings settings{};
  for (const std::uint8_t cell : bank.zones) {
    const unsigned zone = cell & 0x0Fu;
    if (zone < settings.size()) settings[zone].painted = true;
  }
  for (int zone = 0; zone < kZoneCount; ++zone) {
    SceneZone& z = settings[static_cast<std::size_t>(zone)];
    z.triggerLevel = static_cast<std::uint16_t>(ReadRegister(bank, reg::TriggerLevelHigh(zone)) << 8 |
                                                ReadRegister(bank, reg::TriggerLevelLow(zone)));
    z.trackTimeMs = ReadRegister(bank, reg::TrackTime(zone)) * kTrackUnitMs;
  }
  return settings;
}

Scene::Changes Scene::RunTo(std::int64_t nowMs, const SceneSettings& settings, const SceneConditions& conditions) {
  Changes changes;
  while (steppedTo_ + kStepMs <= nowMs) {
    steppedTo_ += kStepMs;
    Step(steppedTo_, settings, conditions, changes);
  }
  return changes;
}

void Scene::ClearAlarms() {
  seen_.alarm = 0;
  alarmSince_.fill(kNever);
  clearedWhileTriggered_ = seen_.trigger;
}

std::uint16_t Scene::DeltaOf(int zone, std::int64_t atMs, const SceneSettings& settings) const {
  const SceneZone& z = settings[static_cast<std::size_t>(zone)];
  if (!z.painted) return 0;
  const std::int64_t elapsed = atMs - startMs_;
  const auto noise = static_cast<std::uint16_t>((elapsed / kStepMs + 3 * zone) % kNoiseLevels);

  int painted = 0;
  int ordinal = 0;
  for (int other = 0; other < kZoneCount; ++other) {
    if (!settings[static_cast<std::size_t>(other)].painted) continue;
    if (other < zone) ++ordinal;
    ++painted;
  }
  const std::int64_t cycle = elapsed / kCycleMs;
  const std::int64_t phase = elapsed % kCycleMs;
  if (cycle % painted != ordinal || phase < kMotionStartMs || phase >= kMotionEndMs) return noise;

  const std::int64_t fromPeak = phase < kMotionPeakMs ? kMotionPeakMs - phase : phase - kMotionPeakMs;
  const std::int64_t span = kMotionPeakMs - kMotionStartMs;
  const std::int64_t rise = Peak(z) * (span - fromPeak) / span;
  return static_cast<std::uint16_t>(std::max<std::int64_t>(rise, noise));
}

void Scene::Step(std::int64_t atMs, const SceneSettings& settings, const SceneConditions& conditions,
                 Changes& changes) {
  const std::uint8_t alarmsBefore = seen_.alarm;
  for (int zone = 0; zone < kZoneCount; ++zone) {
    const auto z = static_cast<std::size_t>(zone);
    const std::uint8_t bit = Bit(zone);
    if (alarmSince_[z] != kNever && atMs - alarmSince_[z] >= kAlarmHoldMs) {
      seen_.alarm = static_cast<std::uint8_t>(seen_.alarm & ~bit);
      alarmSince_[z] = kNever;
    }

    const bool blind = conditions.videoLost || conditions.still;
    const std::uint16_t delta = blind ? 0 : DeltaOf(zone, atMs, settings);
    seen_.delta[z] = delta;
    const bool moving = delta >= MotionThreshold(settings[z]);
    const bool triggered = delta >= TriggerThreshold(settings[z]);
    seen_.motion = static_cast<std::uint8_t>(moving ? seen_.motion | bit : seen_.motion & ~bit);
    seen_.trigger = static_cast<std::uint8_t>(triggered ? seen_.trigger | bit : seen_.trigger & ~bit);

    if (!triggered) {
      triggeredSince_[z] = kNever;
      clearedWhileTriggered_ = static_cast<std::uint8_t>(clearedWhileTriggered_ & ~bit);
      continue;
    }
    if (triggeredSince_[z] == kNever) triggeredSince_[z] = atMs;
    const bool held = atMs - triggeredSince_[z] >= settings[z].trackTimeMs;
    const bool armed = (clearedWhileTriggered_ & bit) == 0;
    if (held && armed && conditions.alarmEnabled && (seen_.alarm & bit) == 0) {
      seen_.alarm = static_cast<std::uint8_t>(seen_.alarm | bit);
      alarmSince_[z] = atMs;
      changes.newAlarms = static_cast<std::uint8_t>(changes.newAlarms | bit);
    }
  }
  if (alarmsBefore != 0 && seen_.alarm == 0) changes.alarmsCleared = true;
}

}  // namespace koral::emu
