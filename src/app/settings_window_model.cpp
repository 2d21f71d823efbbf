// Lifecycle, caption, status, commands and the File menu of the settings window.
#include "app/settings_window_model.h"

#include <variant>

#include "model/defaults.h"
#include "model/settings_file.h"
#include "zones/motion_modes.h"
#include "zones/track_time.h"

namespace koral {

namespace {

constexpr int kSerialTimerMs = 1000;
// Main timer on the network link, by link speed position 0..5.
constexpr std::array<int, 6> kNetworkTimerMs = {300, 400, 450, 500, 600, 850};
constexpr int kBaudRateQtMxPosition = 2;  // "4800,n,8,1"

}  // namespace

SettingsWindowModel::SettingsWindowModel(Session& session, SettingsWindowLink& link, const WallClock& clock)
    : session_(session), link_(link), clock_(clock) {
  static_assert(std::tuple_size_v<decltype(lists_)> == 24);
  const auto lists = ListSettings();
  for (std::size_t i = 0; i < lists.size(); ++i)
    lists_[i].items = lists[i].items;

  static std::array<std::string_view, 16> motionItems = [] {
    std::array<std::string_view, 16> items{};
    for (std::size_t m = 0; m < items.size(); ++m)
      items[m] = kMotionModes[m].item;
    return items;
  }();
  motionMode_.items = motionItems;

  const auto numbers = NumberSettings();
  for (std::size_t i = 0; i < numbers.size(); ++i) {
    numbers_[i] = {numbers[i].designValue, numbers[i].minimum, numbers[i].maximum};
    numberLabels_[i].caption = TwoDigitLabel(numbers[i].designValue);
  }
  numbers_[static_cast<std::size_t>(NumberIndex("udVPosition"))].wrap = true;
  ApplyVerticalPositionRange();

  // Design values: timer start 08:00, stop 17:00, day 07:00, night 18:30.
  constexpr std::array<int, 8> kDesignHours = {8, 17, 8, 17, 8, 17, 7, 18};
  constexpr std::array<int, 8> kDesignMinutes = {0, 0, 0, 0, 0, 0, 0, 30};
  for (std::size_t i = 0; i < hours_.size(); ++i) {
    hours_[i] = {kDesignHours[i], 0, kMaxHour};
    minutes_[i] = {kDesignMinutes[i], 0, kMaxMinute};
    hourLabels_[i].caption = TwoDigitLabel(kDesignHours[i]);
    minuteLabels_[i].caption = TwoDigitLabel(kDesignMinutes[i]);
  }

  for (int zone = 0; zone < kZoneCount; ++zone) {
    MotionRowState& row = rows_[static_cast<std::size_t>(zone)];
    row.caption = std::string("ZONE ") + static_cast<char>('A' + zone);
    row.trigger = {75, 0, 65535};
    row.sensitivity = {50, 0, 99};
    row.track = {4, 0, kMaxTrackTimeCode};
    row.triggerLabel.caption = "75";
    row.sensitivityLabel.caption = "50";
    row.trackLabel.caption = TrackTimeLabel(4);
  }
  zoneCaptions_.fill('?');
  zoneButtons_.fill(true);
  changedParts_ = 0;  // the design state, not a change
}

// ---- lifecycle ----------------------------------------------------------------

void SettingsWindowModel::Load() {
  ChangeScope scope(*this);
  const bool qtMx = session_.unitModel == UnitModel::QtMx;
  if (qtMx) {
    const int baud = ListIndex("cmbBaudRate");
    SetListPosition(baud, kBaudRateQtMxPosition);
    Change(lists_[static_cast<std::size_t>(baud)].enabled, false, SettingsPart::Lists);
  }
  Change(menus_.serialWindow, !qtMx, SettingsPart::Menus);
  Change(menus_.upload, !qtMx, SettingsPart::Menus);
  Change(menus_.alarmWindow, !qtMx, SettingsPart::Menus);
  // The range must fit the video standard before the first refresh, or a PAL
  // default position above the NTSC maximum would be refused.
  ApplyVerticalPositionRange();

  session_.banks.SetActiveBank(BankId::Night);
  LoadDefaults(session_.banks, session_.Defaults());
  session_.banks.SetActiveBank(BankId::Day);
  LoadDefaults(session_.banks, session_.Defaults());
  RefreshWindow();
  session_.banks.SetSettingsModified(false);
}

bool SettingsWindowModel::Activate(bool portError) {
  ChangeScope scope(*this);
  RunActivationSteps();
  return portError;
}

void SettingsWindowModel::RunActivationSteps() {
  Change(timer_.enabled, true, SettingsPart::MainTimer);
  if (session_.linkMode == LinkMode::Serial) {
    Change(timer_.intervalMs, kSerialTimerMs, SettingsPart::MainTimer);
  } else if (session_.linkBaudIndex >= 0 && session_.linkBaudIndex < static_cast<int>(kNetworkTimerMs.size())) {
    Change(timer_.intervalMs, kNetworkTimerMs[static_cast<std::size_t>(session_.linkBaudIndex)],
           SettingsPart::MainTimer);
  }
  if (session_.linkMode == LinkMode::Udp) Change(menus_.comPort, false, SettingsPart::Menus);
  ApplyVerticalPositionRange();
  Change(caption_, std::string("KORAL ,") + BankName(session_.banks.ActiveBank()) + VideoSuffix(),
         SettingsPart::Caption);
  if (session_.linkBaudIndex >= 0 && session_.linkBaudIndex < static_cast<int>(kLinkBaudRates.size())) {
    SetListPosition(ListIndex("cmbBaudRate"), session_.linkBaudIndex);
  }
}

// ---- caption, status and progress -----------------------------------------------

std::string SettingsWindowModel::VideoSuffix() const {
  return session_.videoLost ? " ,Video lost!" : " ,Video OK";
}

void SettingsWindowModel::SetCaption(std::string caption) {
  ChangeScope scope(*this);
  Change(caption_, std::move(caption), SettingsPart::Caption);
}

void SettingsWindowModel::ShowLinkState(bool communicating) {
  ChangeScope scope(*this);
  SetCaption(std::string(BankName(session_.banks.ActiveBank())) +
             (communicating ? " ,Communication Complete" : " ,Communication Fail") + VideoSuffix());
}

void SettingsWindowModel::ShowMissedPolls(int count) {
  ChangeScope scope(*this);
  Change(missedPolls_.caption, std::to_string(count), SettingsPart::Caption);
}

void SettingsWindowModel::ShowPleaseWait() {
  ChangeScope scope(*this);
  Change(pleaseWait_.visible, true, SettingsPart::Progress);
}

void SettingsWindowModel::ProgressStart() {
  ChangeScope scope(*this);
  Change(progress_.value, 0, SettingsPart::Progress);
  Change(progress_.maximum, 100, SettingsPart::Progress);
  Change(progress_.visible, true, SettingsPart::Progress);
}

void SettingsWindowModel::SetProgress(int value) {
  ChangeScope scope(*this);
  Change(progress_.value, value, SettingsPart::Progress);
}

void SettingsWindowModel::StopMainTimer() {
  ChangeScope scope(*this);
  Change(timer_.enabled, false, SettingsPart::MainTimer);
}

void SettingsWindowModel::ProgressEnd() {
  ChangeScope scope(*this);
  Change(progress_.visible, false, SettingsPart::Progress);
  Change(progress_.value, 0, SettingsPart::Progress);
  Change(pleaseWait_.visible, false, SettingsPart::Progress);
}

// ---- commands -------------------------------------------------------------------

void SettingsWindowModel::CopyDayToNight() {
  CopyBanks(&RegisterBanks::CopyDayToNight);
}
void SettingsWindowModel::CopyNightToDay() {
  CopyBanks(&RegisterBanks::CopyNightToDay);
}

void SettingsWindowModel::CopyBanks(void (RegisterBanks::*copy)()) {
  ChangeScope scope(*this);
  (session_.banks.*copy)();
  RefreshWindow();
  session_.banks.SetSettingsModified(true);
}

void SettingsWindowModel::AfterBankSwitch(std::optional<BankId> chosen) {
  ChangeScope scope(*this);
  const bool modified = session_.banks.SettingsModified();
  if (chosen) session_.banks.SetActiveBank(*chosen);
  RefreshWindow();
  session_.banks.SetSettingsModified(modified);
  // The modal switcher has gone and the settings window is active again.
  RunActivationSteps();
}

void SettingsWindowModel::AdoptIncomingSettings() {
  ChangeScope scope(*this);
  session_.banks.AdoptMotionRegisters();
  RefreshWindow();
}

// ---- File menu ------------------------------------------------------------------

std::optional<std::string> SettingsWindowModel::OpenSettingsFile(const std::optional<std::filesystem::path>& chosen) {
  ChangeScope scope(*this);
  std::optional<std::string> problem;
  if (chosen) {
    Change(fileName_, chosen->string(), SettingsPart::FileName);
    auto image = ReadSettingsFile(*chosen);
    if (const auto* error = std::get_if<SettingsFileError>(&image)) {
      problem = error->message;
    } else {
      DistributeSettingsImage(std::get<SettingsImage>(image), session_.banks);
      AdoptIncomingSettings();
      session_.banks.SetSettingsModified(true);
    }
  }
  link_.RequestStatus();
  return problem;
}

std::optional<std::string> SettingsWindowModel::SaveSettingsFile(const std::optional<std::filesystem::path>& chosen) {
  ChangeScope scope(*this);
  std::optional<std::string> problem;
  if (chosen) {
    Change(fileName_, chosen->string(), SettingsPart::FileName);
    if (auto error = WriteSettingsFile(*chosen, ComposeSettingsImage(session_.banks), session_.fileSync)) {
      problem = error->message;
    } else {
      session_.banks.SetSettingsModified(false);
    }
  }
  link_.RequestStatus();
  return problem;
}

CloseOutcome SettingsWindowModel::AnswerCloseQuestion(CloseAnswer answer,
                                                      const std::optional<std::filesystem::path>& saveTo) {
  ChangeScope scope(*this);
  switch (answer) {
    case CloseAnswer::No:
      return {true, std::nullopt};
    case CloseAnswer::Cancel:
      return {false, std::nullopt};
    case CloseAnswer::Yes:
      break;
  }
  // The edits would be lost if the program ended without them on disk: a
  // cancelled or failed save keeps the window open.
  if (!saveTo) return {false, std::nullopt};
  Change(fileName_, saveTo->string(), SettingsPart::FileName);
  if (auto error = WriteSettingsFile(*saveTo, ComposeSettingsImage(session_.banks), session_.fileSync)) {
    return {false, error->message};
  }
  session_.banks.SetSettingsModified(false);
  return {true, std::nullopt};
}

}  // namespace koral
