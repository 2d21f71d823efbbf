// RefreshWindow: every control from the active bank, in a fixed order. Setting
// a control runs its handler when the shown value changes (see the header).
#include "app/settings_window_model.h"
#include "model/bcd.h"
#include "model/title_charset.h"
#include "zones/track_time.h"

namespace koral {
namespace {

std::string DecodedTitle(const RegisterBanks& banks) {
  std::array<std::uint8_t, kTitleLength> codes{};
  for (int p = 0; p < kTitleLength; ++p)
    codes[static_cast<std::size_t>(p)] = banks.ReadRegister(title::Character(p));
  return DecodeTitle(codes);
}

std::string WithoutTrailingSpaces(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

void SettingsWindowModel::RefreshWindow() {
  ChangeScope scope(*this);
  RedrawZoneGrid();
  SetTitleTextValue(DecodedTitle(session_.banks));
  RefreshControlOf(datetime::kAlarmCounter);
  RefreshControlOf(datetime::kDaylightSaving);
  for (int r = 0; r <= 19; ++r)
    RefreshControlOf(Reg(r));

  const int mode = Read(reg::kMotionMode);
  // A mode without a list item leaves the list unselected and the register as it is.
  SetMotionModePosition(mode < static_cast<int>(motionMode_.items.size()) ? std::optional<int>(mode) : std::nullopt);

  RefreshControlOf(reg::kBuzzer);
  RefreshControlOf(reg::kRelayOutput);
  RefreshControlOf(title::kRelayState);
  for (int r = reg::kExternalInput.index; r <= reg::kVideoLossOutput.index; ++r)
    RefreshControlOf(Reg(r));

  RefreshMotionRows();
  SetTitleTextValue(WithoutTrailingSpaces(titleText_));
}

void SettingsWindowModel::RefreshControlOf(RegisterAddress address) {
  const int value = Read(address);
  if (const ListSetting* list = FindListSetting(address)) {
    const auto index = static_cast<int>(list - ListSettings().data());
    // A value that is no item of the list leaves it unselected and the register unchanged.
    SetListPosition(index, value < static_cast<int>(list->items.size()) ? std::optional<int>(value) : std::nullopt);
    return;
  }
  if (const NumberSetting* number = FindNumberSetting(address)) {
    const auto index = static_cast<std::size_t>(number - NumberSettings().data());
    SetNumberValue(static_cast<int>(index), value);
    // The label shows the register even when the up-down refused it.
    Change(numberLabels_[index].caption,
           address == reg::kAlarmOutputTime ? AlarmOutputLabel(value) : TwoDigitLabel(value), SettingsPart::Numbers);
    return;
  }
  const auto times = TimeSettings();
  for (std::size_t i = 0; i < times.size(); ++i) {
    const bool hour = times[i].hour == address;
    if (!hour && !(times[i].minute == address)) continue;
    const int decimal = BcdToDecimal(static_cast<std::uint8_t>(value));
    SetTimeValue(static_cast<int>(i), hour, decimal);
    Change((hour ? hourLabels_ : minuteLabels_)[i].caption, TwoDigitLabel(decimal), SettingsPart::Times);
    return;
  }
}

void SettingsWindowModel::RefreshMotionRows() {
  for (int zone = 0; zone < kZoneCount; ++zone) {
    const int value = Read(reg::Sensitivity(zone));
    SetRowValue(zone, &MotionRowState::sensitivity, value);
    Change(rows_[static_cast<std::size_t>(zone)].sensitivityLabel.caption, TwoDigitLabel(value),
           SettingsPart::MotionRows);
  }
  for (int zone = 0; zone < kZoneCount; ++zone) {
    const int value = Read(reg::TriggerLevelHigh(zone)) * 256 + Read(reg::TriggerLevelLow(zone));
    SetRowValue(zone, &MotionRowState::trigger, value);
    Change(rows_[static_cast<std::size_t>(zone)].triggerLabel.caption, TwoDigitLabel(value), SettingsPart::MotionRows);
  }
  for (int zone = 0; zone < kZoneCount; ++zone) {
    SetRowValue(zone, &MotionRowState::track, Read(reg::TrackTime(zone)));
    // The label of the value the up-down holds, which may be the one it kept.
    MotionRowState& row = rows_[static_cast<std::size_t>(zone)];
    Change(row.trackLabel.caption, TrackTimeLabel(row.track.value), SettingsPart::MotionRows);
  }
}

}  // namespace koral
