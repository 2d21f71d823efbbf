// The serial connection window (Setting): the unit's model and video standard,
// and one list of COM port and speed where choosing an entry connects at once.
#pragma once

#include <QWidget>
#include <functional>

#include "app/serial_connection_model.h"

class QComboBox;

namespace koral::ui {

class UnitOptionFrames;

class SerialConnectionWindow : public QWidget {
  Q_OBJECT

 public:
  using StepHandler = std::function<void(const WindowStep&)>;

  // `model` must outlive the window. Constructing the window is its load
  // (model.Load()): create it when it is first needed, then only show and
  // hide it. `onStep` gets every step the model returns: after a choice in
  // cmbSelect (the list already shows the entry actually used) and after the
  // close box, whose question the composition asks and whose answer goes to
  // model.AnswerPortError / AnswerExit. The close box closes the window only
  // for an EndProgram step; so end the program with QCoreApplication::exit(),
  // not by closing this window.
  SerialConnectionWindow(SerialConnectionModel& model, StepHandler onStep, QWidget* parent = nullptr);

  // What the window's activation does (the window system's activation runs it
  // too): model.Activate(), then the option buttons follow the session.
  void Activate();
  // Writes the model's state into the widgets.
  void ShowModel();

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Choose(int position);

  SerialConnectionModel& model_;
  StepHandler onStep_;
  UnitOptionFrames* options_ = nullptr;
  QComboBox* select_ = nullptr;  // cmbSelect
};

}  // namespace koral::ui
