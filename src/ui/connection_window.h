// What the two connection windows (Setting and SetUDP) have in common: their
// activation runs the model's, and the close box asks the model, closing the
// window only when the program ends.
#pragma once

#include <QWidget>
#include <functional>

#include "app/connection_check_model.h"

namespace koral::ui {

class ConnectionWindow : public QWidget {
 public:
  using StepHandler = std::function<void(const WindowStep&)>;

  // What the window's activation does (the window system's activation runs it
  // too): the model's activation, then the widgets follow the session.
  virtual void Activate() = 0;

 protected:
  ConnectionWindow(StepHandler onStep, QWidget* parent);

  // Hands a step the model returned to the composition.
  void FollowStep(const WindowStep& step);
  // The model's answer to the close box.
  virtual WindowStep CloseStep() = 0;

  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  StepHandler onStep_;
};

}  // namespace koral::ui
