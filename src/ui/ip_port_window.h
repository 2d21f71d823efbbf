// The IP address tool's port chooser (setIP): one list of COM1..COM6 at 4800
// baud; choosing an entry opens that port and moves on to the address window.
#pragma once

#include <QWidget>
#include <functional>

#include "net/ip_setting_model.h"

class QComboBox;

namespace koral::ui {

class IpPortWindow : public QWidget {
  Q_OBJECT

 public:
  // `model` must outlive the window. After a choice (and its failure message,
  // if the port did not open) the window hides itself and calls
  // `showAddressWindow`; closing it calls `endProgram`.
  IpPortWindow(koral::IpPortModel& model, std::function<void()> showAddressWindow, std::function<void()> endProgram,
               QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Choose(int position);
  void ShowModel();

  koral::IpPortModel& model_;
  std::function<void()> showAddressWindow_;
  std::function<void()> endProgram_;
  QComboBox* ports_ = nullptr;  // cmbSelectcom
};

}  // namespace koral::ui
