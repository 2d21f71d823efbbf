// The network connection window (SetUDP): the unit's model and video standard,
// the link speed, the bridge's IP address and "Connect".
#pragma once

#include "app/network_connection_model.h"
#include "ui/connection_window.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace koral::ui {

class UnitOptionFrames;

class NetworkConnectionWindow : public ConnectionWindow {
  Q_OBJECT

 public:
  // `model` must outlive the window. Constructing the window is its load
  // (model.Load(), which addresses the socket and sets the bridge to 4800):
  // create it when it is first needed, then only show and hide it. Editing
  // txt_IP and picking a speed go to the model at once. `onStep` gets every
  // step the model returns: after "Connect" (Command1, or Enter anywhere in the
  // window) and after the close box, whose question the composition asks and
  // whose answer goes to model.AnswerPortError / AnswerExit. The close box
  // closes the window only for an EndProgram step; so end the program with
  // QCoreApplication::exit(), not by closing this window.
  NetworkConnectionWindow(NetworkConnectionModel& model, StepHandler onStep, QWidget* parent = nullptr);

  void Activate() override;
  // Writes the model's state into the widgets.
  void ShowModel();

 protected:
  WindowStep CloseStep() override { return model_.Close(); }
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Connect();

  NetworkConnectionModel& model_;
  UnitOptionFrames* options_ = nullptr;
  QComboBox* speeds_ = nullptr;     // cmbSelect
  QLineEdit* address_ = nullptr;    // txt_IP
  QPushButton* connect_ = nullptr;  // Command1
};

}  // namespace koral::ui
