// The settings window (frmSetup) without widgets: what every control shows and
// what happens when one changes. A window binds its widgets to this; the
// command-line tool and the tests drive it directly.
//
// One rule holds throughout: setting a control's value runs its change handler
// when the shown value changes, whether the user or RefreshWindow set it, and
// never when the value stays the same. The handlers write the registers back,
// which is how a refresh re-applies the shared-register mirroring.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "app/control_state.h"
#include "app/session.h"
#include "app/settings_window_link.h"
#include "link/wall_clock.h"
#include "model/register_map.h"
#include "model/setting_catalogue.h"

namespace koral {

struct MotionRowState {
  std::string caption;  // "ZONE A": always visible
  UpDownState trigger;
  UpDownState sensitivity;
  UpDownState track;
  LabelState triggerLabel;
  LabelState sensitivityLabel;
  LabelState trackLabel;
};

struct ClockLabels {
  std::string month, day, year, hour, minute, second, weekday;
};

struct MenuState {
  bool serialWindow = true;  // mnuWin
  bool upload = true;        // mnuupload
  bool alarmWindow = true;   // mnuAlarm
  bool comPort = true;       // mnuComPort
};

struct MainTimerState {
  bool enabled = false;
  int intervalMs = 0;
};

enum class CloseAnswer { Yes, No, Cancel };

struct CloseOutcome {
  bool endProgram = false;
  std::optional<std::string> error;  // why the save failed; the window shows it
};

// The parts of the window a change touched, so that a window re-sets only
// those widgets: the clock tick must not disturb a list the user holds open or
// a text being typed.
enum class SettingsPart : std::uint32_t {
  Lists = 1U << 0,       // the 24 setting lists (state, enabled)
  MotionMode = 1U << 1,  // CmbMotion
  Numbers = 1U << 2,     // the up-downs with a label
  Times = 1U << 3,       // the timer hours and minutes
  MotionRows = 1U << 4,  // the eight zone rows of the Motion tab
  Title = 1U << 5,       // txtVCGS
  ZoneGrid = 1U << 6,    // cell captions, paint buttons, selected paint zone
  Clock = 1U << 7,       // the Date-Time labels
  Caption = 1U << 8,     // the window caption and Label54
  Progress = 1U << 9,    // Pbr and lblDisplay
  Menus = 1U << 10,
  MainTimer = 1U << 11,
  FileName = 1U << 12,
};
using SettingsParts = std::uint32_t;
inline constexpr SettingsParts kAllSettingsParts = (1U << 13) - 1;
constexpr bool Touches(SettingsParts parts, SettingsPart part) {
  return (parts & static_cast<SettingsParts>(part)) != 0;
}

inline constexpr int kPaintNoZone = 8;
inline constexpr int kZoneButtonCount = 9;  // A..H and "-"

class SettingsWindowModel {
 public:
  static constexpr std::string_view kFileFilter = "Text Files(*.txt)|*.txt|All Files(*.*)|*.*";
  static constexpr std::string_view kCloseQuestion = "Do you want to save the changes";
  static constexpr std::string_view kCloseTitle = "Warning";

  SettingsWindowModel(Session& session, SettingsWindowLink& link, const WallClock& clock);

  // Called once after every user action or command that changed what the
  // window shows, when it has finished, with exactly the parts it changed; an
  // action that changed nothing is not reported.
  void SetChangeListener(std::function<void(SettingsParts)> listener) { listener_ = std::move(listener); }

  // ---- lifecycle ----
  // First show: menus by model, factory settings in both banks, refresh, nothing modified.
  void Load();
  // The window became the active one: the main timer runs at the link's
  // interval, the network link disables Set ComPort, udVPosition takes the
  // range of the video standard, the caption reads "KORAL ,DAY" or
  // "KORAL ,NIGHT" with the video suffix, and the speed list shows the link's
  // speed (showing it never moves the PC link).
  //
  // A window calls it when it is first shown (after Load) and whenever it
  // becomes active again coming from another window of this program: a
  // connection window, the dialog "Connection", the keypad, a monitor or the
  // alarm window. Not when it comes back from another application, nor when
  // one of its own message boxes or file dialogs closes: a link failure stops
  // the timer and then shows its message, and closing that message must not
  // start the timer again. The DAY/NIGHT switcher's return is covered by
  // AfterBankSwitch, which ends with these steps. Activating again with
  // nothing changed in between changes and reports nothing.
  //
  // Returns true when the window must start closing (the closing question
  // included) because the serial port could not be opened.
  bool Activate(bool portError);

  // ---- lists (catalogue order of ListSettings()) ----
  static int ListIndex(std::string_view control);  // -1 if unknown
  const ListState& List(int index) const { return lists_[static_cast<std::size_t>(index)]; }
  void SelectListItem(int index, int position);  // by the user; refused when locked

  const ListState& MotionModeList() const { return motionMode_; }
  void SelectMotionMode(int position);

  // ---- up-downs with a label (catalogue order of NumberSettings()) ----
  static int NumberIndex(std::string_view control);
  const UpDownState& Number(int index) const { return numbers_[static_cast<std::size_t>(index)]; }
  const LabelState& NumberLabel(int index) const { return numberLabels_[static_cast<std::size_t>(index)]; }
  void SetNumber(int index, int value);   // a value outside the range is refused
  void StepNumber(int index, int delta);  // the arrows: wraps where the up-down wraps, else stops at the end

  // ---- timer times (TimeSettings() order) ----
  const UpDownState& TimeHour(int index) const { return hours_[static_cast<std::size_t>(index)]; }
  const UpDownState& TimeMinute(int index) const { return minutes_[static_cast<std::size_t>(index)]; }
  const LabelState& TimeHourLabel(int index) const { return hourLabels_[static_cast<std::size_t>(index)]; }
  const LabelState& TimeMinuteLabel(int index) const { return minuteLabels_[static_cast<std::size_t>(index)]; }
  void SetTimeHour(int index, int hour);
  void SetTimeMinute(int index, int minute);

  // ---- motion rows, zone 0 (A) .. 7 (H) ----
  const MotionRowState& MotionRow(int zone) const { return rows_[static_cast<std::size_t>(zone)]; }
  void SetTriggerLevel(int zone, int value);
  void SetSensitivity(int zone, int value);
  void SetTrackTime(int zone, int value);

  // ---- titler ----
  // What txtVCGS shows, as UTF-8.
  const std::string& TitleText() const { return titleText_; }
  // The box's UTF-8 text: its first 16 characters (not bytes) are kept, and a
  // character the titler has no code for (é, ü, €) is written as one space.
  void SetTitleText(std::string_view text);

  // ---- zone grid ----
  char ZoneCaption(int cell) const { return zoneCaptions_[static_cast<std::size_t>(cell)]; }
  bool ZoneButtonEnabled(int button) const { return zoneButtons_[static_cast<std::size_t>(button)]; }
  int SelectedPaintZone() const { return selectedPaintZone_; }
  void SelectPaintZone(int button);
  void PressCell(int cell);     // paints it and starts a stroke
  void DragOverCell(int cell);  // paints it while a stroke lasts
  void ReleaseStroke();

  // ---- clock ----
  const ClockLabels& Clock() const { return clockLabels_; }
  // The PC clock into Date-Time 0..6 of the active bank; the modified flag is kept.
  void UpdateClockRegisters();
  // The same for the DAY bank whichever bank is shown: the download sends DAY's
  // clock to the unit. Neither the active bank nor the modified flag changes.
  void UpdateDayClockRegisters();

  // ---- caption, status and progress ----
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  // "DAY ,Communication Complete" / "... Fail" for the active bank, with the video suffix.
  void ShowLinkState(bool communicating);
  const LabelState& MissedPollsLabel() const { return missedPolls_; }  // Label54
  void ShowMissedPolls(int count);
  const ProgressState& Progress() const { return progress_; }
  const LabelState& PleaseWait() const { return pleaseWait_; }  // lblDisplay
  void ShowPleaseWait();
  void ProgressStart();  // Pbr shown, 0 of 100
  void SetProgress(int value);
  void ProgressEnd();  // Pbr and lblDisplay hidden

  const MenuState& Menus() const { return menus_; }
  const MainTimerState& MainTimer() const { return timer_; }
  void StopMainTimer();

  // ---- commands ----
  void RefreshWindow();
  void CopyDayToNight();
  void CopyNightToDay();
  // After the DAY/NIGHT switcher returns (OK with a bank, or Cancel): refresh,
  // keeping the modified flag as it was, then the window is active again: the
  // steps of Activate follow, so the caption names the bank now edited.
  void AfterBankSwitch(std::optional<BankId> chosen);
  // Values came into the banks from outside (an upload): adopt them and refresh.
  void AdoptIncomingSettings();

  // ---- File menu: the window shows the dialog and passes the chosen path, or
  // nothing when it was cancelled. The result is a reason to show, if any.
  const std::string& FileName() const { return fileName_; }
  std::optional<std::string> OpenSettingsFile(const std::optional<std::filesystem::path>& chosen);
  std::optional<std::string> SaveSettingsFile(const std::optional<std::filesystem::path>& chosen);

  // ---- closing (File > Exit and the close box) ----
  bool CloseNeedsQuestion() const { return session_.banks.SettingsModified(); }
  CloseOutcome AnswerCloseQuestion(CloseAnswer answer, const std::optional<std::filesystem::path>& saveTo);

 private:
  // Notifies the listener once, when the outermost action ends.
  class ChangeScope {
   public:
    explicit ChangeScope(SettingsWindowModel& model) : model_(model) { ++model_.changeDepth_; }
    ~ChangeScope() {
      if (--model_.changeDepth_ != 0) return;
      const SettingsParts parts = std::exchange(model_.changedParts_, 0);
      if (parts != 0 && model_.listener_) model_.listener_(parts);
    }
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

   private:
    SettingsWindowModel& model_;
  };

  // Who moved a control: only the user's choice of a speed moves the PC link.
  enum class ChangeSource { Refresh, User };

  // Programmatic setters: each runs the handler when the value changes.
  void SetListPosition(int index, std::optional<int> position, ChangeSource source = ChangeSource::Refresh);
  void SetMotionModePosition(std::optional<int> position);
  bool SetNumberValue(int index, int value);
  void SetTimeValue(int index, bool hour, int value);
  void SetRowValue(int zone, UpDownState MotionRowState::*control, int value);
  void SetTitleTextValue(std::string text);

  // Change handlers.
  void ListChanged(int index, int position, ChangeSource source);
  void NumberChanged(int index);
  void TimeChanged(int index, bool hour);
  void ApplyMotionMode(int mode);
  void SensitivityChanged(int zone);
  void TriggerLevelChanged(int zone);
  void TrackTimeChanged(int zone);
  void TitleChanged();

  void CopyBanks(void (RegisterBanks::*copy)());

  // Refresh steps.
  void RefreshControlOf(RegisterAddress address);
  void RefreshMotionRows();
  void RedrawZoneGrid();
  void BlankZonesFrom(int zone);
  void PlacePtzCorners();
  void EnableZoneButtons(int count);
  void PaintCell(int cell);
  void ShowCell(int cell, char caption);
  void ShowMotionRows(int zones);
  void ApplyVerticalPositionRange();

  void RunActivationSteps();
  std::string VideoSuffix() const;
  void Write(RegisterAddress address, int value);
  int Read(RegisterAddress address) const { return session_.banks.ReadRegister(address); }

  Session& session_;
  SettingsWindowLink& link_;
  const WallClock& clock_;
  // Records what the running action changed, for the listener.
  void MarkChanged(SettingsPart part) { changedParts_ |= static_cast<SettingsParts>(part); }
  // Gives a shown value a new one, marking its part only when that differs.
  template <typename Field, typename Value>
  bool Change(Field& field, Value&& value, SettingsPart part) {
    if (field == value) return false;
    field = std::forward<Value>(value);
    MarkChanged(part);
    return true;
  }

  std::function<void(SettingsParts)> listener_;
  int changeDepth_ = 0;
  SettingsParts changedParts_ = 0;

  std::array<ListState, 24> lists_;
  ListState motionMode_;
  std::array<UpDownState, 8> numbers_;
  std::array<LabelState, 8> numberLabels_;
  std::array<UpDownState, 8> hours_;
  std::array<UpDownState, 8> minutes_;
  std::array<LabelState, 8> hourLabels_;
  std::array<LabelState, 8> minuteLabels_;
  std::array<MotionRowState, kZoneCount> rows_;
  std::string titleText_ = "0123456789ABCDEF";

  std::array<char, kZoneCellCount> zoneCaptions_;
  std::array<bool, kZoneButtonCount> zoneButtons_;
  int selectedPaintZone_ = 0;
  bool strokeActive_ = false;

  ClockLabels clockLabels_;
  std::string caption_ = "KORAL   DAY";
  LabelState missedPolls_{"Fail"};
  ProgressState progress_;
  LabelState pleaseWait_{"Please wait", false};
  MenuState menus_;
  MainTimerState timer_;
  std::string fileName_;
};

}  // namespace koral
