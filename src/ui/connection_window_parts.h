// Pieces both connection windows and the selector share: the text of a model
// as Qt shows it, a list bound to its ListState, and the frames "System" and
// "Setting" with the option buttons optModule and optNTSC.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <string_view>

#include "app/connection_check_model.h"
#include "app/control_state.h"

class QComboBox;
class QRadioButton;

namespace koral::ui {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Builds a drop-down list with the model's items, named for its control.
QComboBox* MakeList(const ListState& state, const QString& objectName, const QString& accessibleName, QWidget* parent);
// Writes a list's state into it without it looking like the user's choice.
void ShowList(QComboBox& list, const ListState& state);

// Frame2 "System" (optModule0 "QT-1RX", optModule1 "QT-MX") and Frame1
// "Setting" (optNTSC0 "NTSC", optNTSC1 "PAL"), side by side. Choosing a button
// goes to the model; ShowOptions() writes the model's choice back.
class UnitOptionFrames : public QWidget {
  Q_OBJECT

 public:
  UnitOptionFrames(UnitOptionButtons& options, QWidget* parent);

  void ShowOptions();
  // The last button in tab order, for the window to chain its own controls after.
  QWidget* LastInTabOrder() const;

 private:
  UnitOptionButtons& options_;
  std::array<QRadioButton*, 2> module_{};  // by UnitModel: QT-1RX, QT-MX
  std::array<QRadioButton*, 2> video_{};   // by VideoStandard: NTSC, PAL
};

}  // namespace koral::ui
