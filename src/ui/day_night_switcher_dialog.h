// frmDAYNGT, the DAY / NIGHT switcher: a modal dialog over
// DayNightSwitcherModel that picks the bank the settings window edits.
#pragma once

#include <QDialog>
#include <optional>

#include "app/day_night_switcher_model.h"

class QRadioButton;

class DayNightSwitcherDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DayNightSwitcherDialog(koral::DayNightSwitcherModel& model, QWidget* parent = nullptr);

  // Opens the model on the bank being edited, shows the dialog modally and
  // hands back the model's answer: the chosen bank on OK, nothing on Cancel,
  // Escape or the close box.
  std::optional<koral::BankId> Run(koral::BankId active);

  // Writes the model's selection into the option buttons.
  void ShowState();

 private:
  koral::DayNightSwitcherModel& model_;
  QRadioButton* day_;
  QRadioButton* night_;
};

// The switcher as the settings window uses it: a fresh model and dialog for
// one modal run. The caller then passes the result to
// SettingsWindowModel::AfterBankSwitch, OK or Cancel alike.
std::optional<koral::BankId> RunDayNightSwitcher(QWidget* parent, koral::BankId active);
