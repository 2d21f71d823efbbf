// Lists, number and time up-downs, the titler and the clock of the settings window.
#include <algorithm>

#include "app/settings_window_model.h"
#include "model/bcd.h"
#include "model/title_charset.h"

namespace koral {
namespace {

template <typename Settings>
int IndexByControl(Settings settings, std::string_view control) {
  for (std::size_t i = 0; i < settings.size(); ++i) {
    if (settings[i].control == control) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

int SettingsWindowModel::ListIndex(std::string_view control) {
  return IndexByControl(ListSettings(), control);
}
int SettingsWindowModel::NumberIndex(std::string_view control) {
  return IndexByControl(NumberSettings(), control);
}

void SettingsWindowModel::Write(RegisterAddress address, int value) {
  session_.banks.WriteRegister(address, static_cast<std::uint8_t>(value));
}

// ---- lists ------------------------------------------------------------------

void SettingsWindowModel::SelectListItem(int index, int position) {
  ChangeScope scope(*this);
  const ListState& list = lists_[static_cast<std::size_t>(index)];
  if (!list.enabled || position < 0 || position >= static_cast<int>(list.items.size())) return;
  SetListPosition(index, position);
}

void SettingsWindowModel::SetListPosition(int index, std::optional<int> position) {
  ListState& list = lists_[static_cast<std::size_t>(index)];
  if (list.position == position) return;
  list.position = position;
  if (position) ListChanged(index, *position);
}

void SettingsWindowModel::ListChanged(int index, int position) {
  const ListSetting& setting = ListSettings()[static_cast<std::size_t>(index)];
  if (setting.address == reg::kUnitBaudRate) {
    // The PC link follows the unit to its new speed; on the network link there
    // is no COM port to move.
    if (session_.linkMode == LinkMode::Serial) link_.FollowUnitBaudRate(position);
    if (session_.unitModel == UnitModel::QtMx) lists_[static_cast<std::size_t>(index)].enabled = false;
  }
  Write(setting.address, position);
}

// ---- number up-downs --------------------------------------------------------

void SettingsWindowModel::SetNumber(int index, int value) {
  ChangeScope scope(*this);
  SetNumberValue(index, value);
}

void SettingsWindowModel::StepNumber(int index, int delta) {
  const UpDownState& upDown = numbers_[static_cast<std::size_t>(index)];
  int target = upDown.value + delta;
  if (upDown.wrap) {
    if (target > upDown.maximum) target = upDown.minimum;
    if (target < upDown.minimum) target = upDown.maximum;
  }
  SetNumber(index, std::clamp(target, upDown.minimum, upDown.maximum));
}

bool SettingsWindowModel::SetNumberValue(int index, int value) {
  UpDownState& upDown = numbers_[static_cast<std::size_t>(index)];
  if (!upDown.Accepts(value)) return false;
  if (upDown.value != value) {
    upDown.value = value;
    NumberChanged(index);
  }
  return true;
}

void SettingsWindowModel::NumberChanged(int index) {
  const NumberSetting& setting = NumberSettings()[static_cast<std::size_t>(index)];
  if (setting.address == reg::kVerticalPosition) ApplyVerticalPositionRange();
  const int value = numbers_[static_cast<std::size_t>(index)].value;
  numberLabels_[static_cast<std::size_t>(index)].caption =
      setting.address == reg::kAlarmOutputTime ? AlarmOutputLabel(value) : TwoDigitLabel(value);
  Write(setting.address, value);
}

void SettingsWindowModel::ApplyVerticalPositionRange() {
  UpDownState& upDown = numbers_[static_cast<std::size_t>(NumberIndex("udVPosition"))];
  upDown.minimum = 1;
  upDown.maximum = session_.videoStandard == VideoStandard::Pal ? kVerticalPositionMaxPal : kVerticalPositionMaxNtsc;
}

// ---- timer times ------------------------------------------------------------

void SettingsWindowModel::SetTimeHour(int index, int hour) {
  ChangeScope scope(*this);
  SetTimeValue(index, true, hour);
}

void SettingsWindowModel::SetTimeMinute(int index, int minute) {
  ChangeScope scope(*this);
  SetTimeValue(index, false, minute);
}

void SettingsWindowModel::SetTimeValue(int index, bool hour, int value) {
  UpDownState& upDown = (hour ? hours_ : minutes_)[static_cast<std::size_t>(index)];
  if (!upDown.Accepts(value) || upDown.value == value) return;
  upDown.value = value;
  TimeChanged(index, hour);
}

void SettingsWindowModel::TimeChanged(int index, bool hour) {
  const auto i = static_cast<std::size_t>(index);
  const TimeSetting& setting = TimeSettings()[i];
  const int value = (hour ? hours_ : minutes_)[i].value;
  (hour ? hourLabels_ : minuteLabels_)[i].caption = TwoDigitLabel(value);
  Write(hour ? setting.hour : setting.minute, DecimalToBcd(value));
}

// ---- titler -----------------------------------------------------------------

void SettingsWindowModel::SetTitleText(std::string_view text) {
  ChangeScope scope(*this);
  SetTitleTextValue(std::string(text.substr(0, kTitleLength)));
}

void SettingsWindowModel::SetTitleTextValue(std::string text) {
  if (text == titleText_) return;
  titleText_ = std::move(text);
  TitleChanged();
}

void SettingsWindowModel::TitleChanged() {
  const auto codes = EncodeTitle(titleText_);
  for (int p = 0; p < kTitleLength; ++p)
    Write(title::Character(p), codes[static_cast<std::size_t>(p)]);
}

// ---- clock ------------------------------------------------------------------

void SettingsWindowModel::UpdateClockRegisters() {
  ChangeScope scope(*this);
  const bool modified = session_.banks.SettingsModified();
  const LocalTime now = clock_.Now();
  const auto field = [this](std::string& label, std::string shown, RegisterAddress address, int value) {
    label = std::move(shown);
    Write(address, value);
  };
  field(clockLabels_.month, std::string(MonthName(now.month)), datetime::kMonth, DecimalToBcd(now.month));
  field(clockLabels_.day, TwoDigitLabel(now.day), datetime::kDayOfMonth, DecimalToBcd(now.day));
  field(clockLabels_.year, TwoDigitLabel(now.year % 100), datetime::kYear, DecimalToBcd(now.year % 100));
  field(clockLabels_.hour, TwoDigitLabel(now.hour), datetime::kHour, DecimalToBcd(now.hour));
  field(clockLabels_.minute, TwoDigitLabel(now.minute), datetime::kMinute, DecimalToBcd(now.minute));
  field(clockLabels_.second, TwoDigitLabel(now.second), datetime::kSecond, DecimalToBcd(now.second));
  field(clockLabels_.weekday, std::string(WeekdayName(now.weekday)), datetime::kDayOfWeek, now.weekday);
  session_.banks.SetSettingsModified(modified);
}

void SettingsWindowModel::UpdateDayClockRegisters() {
  const BankId shown = session_.banks.ActiveBank();
  session_.banks.SetActiveBank(BankId::Day);
  UpdateClockRegisters();
  session_.banks.SetActiveBank(shown);
}

}  // namespace koral
