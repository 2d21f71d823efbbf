// What the two monitor windows (frmSerialWin and UDPWin) share: the display
// txtDisplay over the monitor's lines, kept up to date while the window shows,
// and the buttons Command1 "Clear", cmdSave "&Save" and cmdPrn "Print". The
// close box only hides the window; its text stays.
#pragma once

#include <QTimer>
#include <QWidget>
#include <string_view>

class QHBoxLayout;
class QPushButton;

namespace koral {
class MonitorDisplay;
}

namespace koral::ui {

class MonitorTextView;

// The window's caption and button texts, from its view-model.
struct MonitorWindowTexts {
  std::string_view caption;
  std::string_view clear;
  std::string_view save;
  std::string_view print;
};

template <typename Model>
constexpr MonitorWindowTexts TextsOf() {
  return {Model::kCaption, Model::kClear, Model::kSave, Model::kPrint};
}

class MonitorWindow : public QWidget {
  Q_OBJECT

 public:
  // How often the display catches up with the monitor while the window shows:
  // bursts of lines make one repaint.
  static constexpr int kRefreshMs = 40;

 protected:
  MonitorWindow(const MonitorDisplay& display, const QString& objectName, MonitorWindowTexts texts, QWidget* parent);

  // Puts `control` at the start of the button row, first in tab order.
  void AddBeforeButtons(QWidget* control);
  // The menu entry, after the model has shown the window.
  void ShowAndRaise();
  MonitorTextView& Display() { return *view_; }

  virtual void ClearModel() = 0;
  virtual void CloseModel() = 0;

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Clear();
  void Save();
  void Print();

  const MonitorDisplay& display_;
  MonitorTextView* view_ = nullptr;
  QHBoxLayout* buttonRow_ = nullptr;
  QPushButton* clear_ = nullptr;
  QTimer refresh_;
};

}  // namespace koral::ui
