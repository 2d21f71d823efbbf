// The IP address tool's address window (setIPAdd): the new address to send
// with "Set_IP", and the address the unit answered with.
#pragma once

#include <QWidget>
#include <functional>

#include "net/ip_setting_model.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace koral::ui {

class IpAddressWindow : public QWidget {
  Q_OBJECT

 public:
  // `model` must outlive the window. `afterAction` runs after each of the
  // model's actions (an activation, "Set_IP"), so that the composition can
  // follow the model's read-back timer; closing the window calls `endProgram`.
  IpAddressWindow(koral::IpAddressModel& model, std::function<void()> afterAction, std::function<void()> endProgram,
                  QWidget* parent = nullptr);

  // Writes the model's state into the widgets (after the read-back timer).
  void ShowModel();

 protected:
  // Every activation asks the unit for its address again.
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void AddressEdited();
  void SetIp();
  void AfterAction();

  koral::IpAddressModel& model_;
  std::function<void()> afterAction_;
  std::function<void()> endProgram_;
  QPlainTextEdit* address_ = nullptr;  // txtdisplay
  QPushButton* setIp_ = nullptr;       // Command4
  QLabel* present_ = nullptr;          // txtDisp
};

}  // namespace koral::ui
