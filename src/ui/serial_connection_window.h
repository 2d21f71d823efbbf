// The serial connection window (Setting): the unit's model and video standard,
// and one list of COM port and speed where choosing an entry connects at once.
#pragma once

#include "app/serial_connection_model.h"
#include "ui/connection_window.h"

class QComboBox;

namespace koral::ui {

class UnitOptionFrames;

class SerialConnectionWindow : public ConnectionWindow {
  Q_OBJECT

 public:
  // `model` must outlive the window. Constructing the window is its load
  // (model.Load()): create it when it is first needed, then only show and
  // hide it. `onStep` gets every step the model returns: after a choice in
  // cmbSelect (the list already shows the entry actually used) and after the
  // close box, whose question the composition asks and whose answer goes to
  // model.AnswerPortError / AnswerExit. The close box closes the window only
  // for an EndProgram step; so end the program with QCoreApplication::exit(),
  // not by closing this window.
  SerialConnectionWindow(SerialConnectionModel& model, StepHandler onStep, QWidget* parent = nullptr);

  void Activate() override;
  // Writes the model's state into the widgets.
  void ShowModel();

 protected:
  WindowStep CloseStep() override { return model_.Close(); }

 private:
  void Choose(int position);

  SerialConnectionModel& model_;
  UnitOptionFrames* options_ = nullptr;
  QComboBox* select_ = nullptr;  // cmbSelect
};

}  // namespace koral::ui
