// The dialog "Connection" (Form3), offered when the unit did not answer the
// connection check: retry, work offline or quit.
#pragma once

#include <QDialog>
#include <functional>

#include "app/connection_check_model.h"

namespace koral::ui {

class ConnectionDialog : public QDialog {
  Q_OBJECT

 public:
  using StepHandler = std::function<void(const WindowStep&)>;

  // A modeless dialog; `model` must outlive it. Each button (Command1 "Retry",
  // Command2 "Work Offline", Command3 "Cancel") hands its model step to
  // `onStep`. The dialog hides itself first unless the step asks a question
  // (Cancel with unsaved settings asks to save; it stays up behind that
  // question). Escape and the close box only hide it: the same as Retry.
  ConnectionDialog(ConnectionCheckModel& model, StepHandler onStep, QWidget* parent = nullptr);

 private:
  void HandOn(const WindowStep& step);

  ConnectionCheckModel& model_;
  StepHandler onStep_;
};

}  // namespace koral::ui
