// An up-down spinner buddied to its label, as the settings window shows every
// number: the label carries the text the view-model formats ("00", "MAN"), the
// arrows beside it ask for a step. It never changes its own value: a step is
// only a request, and ShowState is the one way in.
#pragma once

#include <QWidget>

#include "app/control_state.h"

class QLabel;
class QToolButton;

class UpDownControl : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownControl(QWidget* parent = nullptr);

  // Writes the view-model's state into the widget; emits nothing.
  void ShowState(const koral::UpDownState& state, const koral::LabelState& label);

 signals:
  // The user asked for a step: +1/-1 from the arrows, the Up/Down keys and each
  // wheel notch, +10/-10 from PageUp/PageDown. The view-model applies its range.
  void stepRequested(int delta);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  QLabel* label_;
  QToolButton* up_;
  QToolButton* down_;
  int wheelRemainder_ = 0;  // eighths of a degree short of a whole notch
};
