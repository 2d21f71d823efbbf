// The DAY / NIGHT switcher (frmDAYNGT): picks the bank the settings window
// edits. It sends nothing to the unit.
#pragma once

#include <optional>

#include "model/register_bank.h"

namespace koral {

class DayNightSwitcherModel {
 public:
  static constexpr const char* kCaption = "DAY / NIGHT Switcher";

  // Opening selects the option of the bank being edited.
  void Open(BankId active) { selected_ = active; }
  void Choose(BankId bank) { selected_ = bank; }
  BankId Selected() const { return selected_; }

  // OK hands back the chosen bank; Cancel hands back nothing. Either way the
  // settings window refreshes afterwards (SettingsWindowModel::AfterBankSwitch).
  std::optional<BankId> Ok() const { return selected_; }
  static std::optional<BankId> Cancel() { return std::nullopt; }

 private:
  BankId selected_ = BankId::Day;
};

}  // namespace koral
