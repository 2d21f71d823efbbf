// The pieces every tab of the settings window binds with: a catalogue list or
// up-down with its caption, and writes of the view-model's state into a widget
// that leave alone whatever already shows that state. The clock tick notifies
// every second, and re-setting an open list or a label the user reads would
// flicker or close it.
#pragma once

#include <QString>
#include <optional>
#include <span>
#include <string_view>

#include "app/control_state.h"
#include "app/settings_window_model.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QWidget;
class UpDownControl;

namespace koral::ui {

// A list's items, position, lock and visibility; items are fixed at creation.
void ShowListState(QComboBox& list, const ListState& state);
void ShowLabelState(QLabel& label, const LabelState& state);
void ShowLabelText(QLabel& label, std::string_view text);

// One up-down and the state it shows: the control is written only when the
// view-model's state differs from the last one written.
class UpDownBinding {
 public:
  // `name` is the up-down's control name, `labelName` the one of its value
  // label, `accessibleName` what a screen reader says for it.
  UpDownBinding(const QString& name, const QString& labelName, const QString& accessibleName, QWidget* parent);

  UpDownControl* Control() const { return control_; }
  void Show(const UpDownState& state, const LabelState& label);

 private:
  UpDownControl* control_;
  std::optional<UpDownState> shownState_;
  std::optional<LabelState> shownLabel_;
};

// A setting list of the catalogue (ListSettings() order): its caption and
// drop-down, for the page to place. Choosing an item goes to the model.
class SettingList {
 public:
  SettingList(SettingsWindowModel& model, int index, QWidget* parent);
  QLabel* Caption() const { return caption_; }
  QComboBox* Widget() const { return list_; }
  void Show();

 private:
  SettingsWindowModel& model_;
  int index_;
  QLabel* caption_;
  QComboBox* list_;
};

// A number up-down of the catalogue (NumberSettings() order) with its
// caption. A step goes to the model.
class SettingNumber {
 public:
  SettingNumber(SettingsWindowModel& model, int index, QWidget* parent);
  QLabel* Caption() const { return caption_; }
  UpDownControl* Widget() const { return upDown_.Control(); }
  void Show();

 private:
  SettingsWindowModel& model_;
  int index_;
  UpDownBinding upDown_;
  QLabel* caption_;
};

// A form row of a caption and its control, with a unit caption after the
// control when one is given ("Sec").
void AddFormRow(QFormLayout& form, QLabel* caption, QWidget* control, const QString& unit = {});

// Tab moves through `widgets` in this order.
void ChainTabOrder(std::span<QWidget* const> widgets);

}  // namespace koral::ui
