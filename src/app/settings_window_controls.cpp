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

// Bytes of the UTF-8 character that starts at `at`. A byte that starts no
// well-formed character counts as a character of its own.
std::size_t CharacterLength(std::string_view text, std::size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (at + length > text.size()) return 1;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 1;
  }
  return length;
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
  SetListPosition(index, position, ChangeSource::User);
}

void SettingsWindowModel::SetListPosition(int index, std::optional<int> position, ChangeSource source) {
  if (!Change(lists_[static_cast<std::size_t>(index)].position, position, SettingsPart::Lists)) return;
  if (position) ListChanged(index, *position, source);
}

void SettingsWindowModel::ListChanged(int index, int position, ChangeSource source) {
  const ListSetting& setting = ListSettings()[static_cast<std::size_t>(index)];
  if (setting.address == reg::kUnitBaudRate) {
    // The PC link follows the unit to a speed the user picks. A refresh only
    // shows what a bank or the link already holds: moving the link then would
    // reopen the port at a speed the unit does not run yet. On the network
    // link there is no COM port to move.
    if (source == ChangeSource::User && session_.linkMode == LinkMode::Serial) link_.FollowUnitBaudRate(position);
    if (session_.unitModel == UnitModel::QtMx) {
      Change(lists_[static_cast<std::size_t>(index)].enabled, false, SettingsPart::Lists);
    }
  }
  Write(setting.address, position);
}

// ---- number up-downs --------------------------------------------------------

void SettingsWindowModel::SetNumber(int index, int value) {
  ChangeScope scope(*this);
  SetNumberValue(index, value);
}

void SettingsWindowModel::StepNumber(int index, int delta) {
  ChangeScope scope(*this);
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
  if (Change(upDown.value, value, SettingsPart::Numbers)) NumberChanged(index);
  return true;
}

void SettingsWindowModel::NumberChanged(int index) {
  const NumberSetting& setting = NumberSettings()[static_cast<std::size_t>(index)];
  if (setting.address == reg::kVerticalPosition) ApplyVerticalPositionRange();
  const int value = numbers_[static_cast<std::size_t>(index)].value;
  Change(numberLabels_[static_cast<std::size_t>(index)].caption,
         setting.address == reg::kAlarmOutputTime ? AlarmOutputLabel(value) : TwoDigitLabel(value),
         SettingsPart::Numbers);
  Write(setting.address, value);
}

void SettingsWindowModel::ApplyVerticalPositionRange() {
  UpDownState& upDown = numbers_[static_cast<std::size_t>(NumberIndex("udVPosition"))];
  Change(upDown.minimum, 1, SettingsPart::Numbers);
  Change(upDown.maximum,
         session_.videoStandard == VideoStandard::Pal ? kVerticalPositionMaxPal : kVerticalPositionMaxNtsc,
         SettingsPart::Numbers);
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
  if (upDown.Accepts(value) && Change(upDown.value, value, SettingsPart::Times)) TimeChanged(index, hour);
}

void SettingsWindowModel::TimeChanged(int index, bool hour) {
  const auto i = static_cast<std::size_t>(index);
  const TimeSetting& setting = TimeSettings()[i];
  const int value = (hour ? hours_ : minutes_)[i].value;
  Change((hour ? hourLabels_ : minuteLabels_)[i].caption, TwoDigitLabel(value), SettingsPart::Times);
  Write(hour ? setting.hour : setting.minute, DecimalToBcd(value));
}

// ---- titler -----------------------------------------------------------------

void SettingsWindowModel::SetTitleText(std::string_view text) {
  ChangeScope scope(*this);
  std::size_t end = 0;
  for (int p = 0; p < kTitleLength && end < text.size(); ++p)
    end += CharacterLength(text, end);
  SetTitleTextValue(std::string(text.substr(0, end)));
}

void SettingsWindowModel::SetTitleTextValue(std::string text) {
  if (Change(titleText_, std::move(text), SettingsPart::Title)) TitleChanged();
}

void SettingsWindowModel::TitleChanged() {
  std::size_t at = 0;
  for (int p = 0; p < kTitleLength; ++p) {
    std::uint8_t code = kTitleSpaceCode;
    if (at < titleText_.size()) {
      const std::size_t length = CharacterLength(titleText_, at);
      if (length == 1) code = TitleCharToCode(titleText_[at]);
      at += length;
    }
    Write(title::Character(p), code);
  }
}

// ---- clock ------------------------------------------------------------------

void SettingsWindowModel::UpdateClockRegisters() {
  ChangeScope scope(*this);
  const bool modified = session_.banks.SettingsModified();
  const LocalTime now = clock_.Now();
  const auto field = [this](std::string& label, std::string shown, RegisterAddress address, int value) {
    Change(label, std::move(shown), SettingsPart::Clock);
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
  ChangeScope scope(*this);
  const BankId shown = session_.banks.ActiveBank();
  session_.banks.SetActiveBank(BankId::Day);
  UpdateClockRegisters();
  session_.banks.SetActiveBank(shown);
}

}  // namespace koral
