// The Motion tab: the mode list and the per-zone trigger level, sensitivity and
// track time, each kept in the parameter set of the active bank's mode class.
#include "app/settings_window_model.h"
#include "zones/motion_modes.h"
#include "zones/track_time.h"

namespace koral {

void SettingsWindowModel::SelectMotionMode(int position) {
  ChangeScope scope(*this);
  if (position < 0 || position >= static_cast<int>(motionMode_.items.size())) return;
  SetMotionModePosition(position);
}

void SettingsWindowModel::SetMotionModePosition(std::optional<int> position) {
  if (Change(motionMode_.position, position, SettingsPart::MotionMode) && position) ApplyMotionMode(*position);
}

void SettingsWindowModel::ApplyMotionMode(int mode) {
  const MotionModeInfo& info = kMotionModes[static_cast<std::size_t>(mode)];
  ShowMotionRows(info.shownZones);
  Write(reg::kMotionMode, mode);
  EnableZoneButtons(info.paintZones);
  session_.banks.LoadMotionParameterSet();
  RefreshWindow();
}

void SettingsWindowModel::ShowMotionRows(int zones) {
  for (int zone = 0; zone < kZoneCount; ++zone) {
    MotionRowState& row = rows_[static_cast<std::size_t>(zone)];
    const bool shown = zone < zones;
    for (UpDownState* upDown : {&row.trigger, &row.sensitivity, &row.track}) {
      Change(upDown->visible, shown, SettingsPart::MotionRows);
      Change(upDown->enabled, shown, SettingsPart::MotionRows);
    }
    for (LabelState* label : {&row.triggerLabel, &row.sensitivityLabel, &row.trackLabel})
      Change(label->visible, shown, SettingsPart::MotionRows);
  }
}

void SettingsWindowModel::SetTriggerLevel(int zone, int value) {
  ChangeScope scope(*this);
  if (rows_[static_cast<std::size_t>(zone)].trigger.enabled) SetRowValue(zone, &MotionRowState::trigger, value);
}

void SettingsWindowModel::SetSensitivity(int zone, int value) {
  ChangeScope scope(*this);
  if (rows_[static_cast<std::size_t>(zone)].sensitivity.enabled) SetRowValue(zone, &MotionRowState::sensitivity, value);
}

void SettingsWindowModel::SetTrackTime(int zone, int value) {
  ChangeScope scope(*this);
  if (rows_[static_cast<std::size_t>(zone)].track.enabled) SetRowValue(zone, &MotionRowState::track, value);
}

void SettingsWindowModel::SetRowValue(int zone, UpDownState MotionRowState::*control, int value) {
  UpDownState& upDown = rows_[static_cast<std::size_t>(zone)].*control;
  if (!upDown.Accepts(value) || !Change(upDown.value, value, SettingsPart::MotionRows)) return;
  if (control == &MotionRowState::trigger) TriggerLevelChanged(zone);
  if (control == &MotionRowState::sensitivity) SensitivityChanged(zone);
  if (control == &MotionRowState::track) TrackTimeChanged(zone);
}

void SettingsWindowModel::SensitivityChanged(int zone) {
  MotionRowState& row = rows_[static_cast<std::size_t>(zone)];
  Change(row.sensitivityLabel.caption, TwoDigitLabel(row.sensitivity.value), SettingsPart::MotionRows);
  MotionParameterSet& set = session_.banks.ActiveParameterSet();
  const auto z = static_cast<std::size_t>(zone);
  set[z] = static_cast<std::uint8_t>(row.sensitivity.value);
  Write(reg::Sensitivity(zone), set[z]);
}

void SettingsWindowModel::TriggerLevelChanged(int zone) {
  MotionRowState& row = rows_[static_cast<std::size_t>(zone)];
  Change(row.triggerLabel.caption, TwoDigitLabel(row.trigger.value), SettingsPart::MotionRows);
  MotionParameterSet& set = session_.banks.ActiveParameterSet();
  const auto z = static_cast<std::size_t>(zone);
  set[8 + 2 * z] = static_cast<std::uint8_t>(row.trigger.value % 256);
  Write(reg::TriggerLevelLow(zone), set[8 + 2 * z]);
  set[9 + 2 * z] = static_cast<std::uint8_t>(row.trigger.value / 256);
  Write(reg::TriggerLevelHigh(zone), set[9 + 2 * z]);
}

void SettingsWindowModel::TrackTimeChanged(int zone) {
  MotionRowState& row = rows_[static_cast<std::size_t>(zone)];
  Change(row.trackLabel.caption, TrackTimeLabel(row.track.value), SettingsPart::MotionRows);
  MotionParameterSet& set = session_.banks.ActiveParameterSet();
  const auto z = static_cast<std::size_t>(zone);
  set[24 + z] = static_cast<std::uint8_t>(row.track.value);
  Write(reg::TrackTime(zone), set[24 + z]);
}

}  // namespace koral
