// The remote keypad (frmKey): the unit's keys in three frames, QT-MX, MODE and
// QT-1RX, and on a QT-MX line the address selection with its two spinners.
// Every key goes to the keypad's view-model, which sends its byte.
#pragma once

#include <QWidget>
#include <array>

#include "app/keypad_model.h"

class QPushButton;
class UpDownControl;

namespace koral::ui {

class KeypadWindow : public QWidget {
  Q_OBJECT

 public:
  // `model` must outlive the window. The window is modeless.
  explicit KeypadWindow(koral::KeypadModel& model, QWidget* parent = nullptr);

  // Loads the keypad unless it is loaded (group 0, address 0, the next SELECT
  // the first, keys by the unit's model), then shows and activates it.
  void Open();

 protected:
  // Closing unloads: the next Open starts afresh.
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void ShowModel();
  void Press(koral::KeypadKey key);
  void Select();
  void StepGroup(int delta);
  void StepAddress(int delta);

  koral::KeypadModel& model_;
  bool loaded_ = false;
  std::array<QPushButton*, koral::kKeypadKeys.size()> keys_{};  // by KeypadKey
  QPushButton* select_ = nullptr;                               // btnSelect
  UpDownControl* group_ = nullptr;                              // udGroup with lblGroup
  UpDownControl* address_ = nullptr;                            // udAddr with lblAddr
};

}  // namespace koral::ui
