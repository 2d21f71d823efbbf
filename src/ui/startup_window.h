// The start-up selector window (firstpage, caption "Software"): one list,
// where picking an entry says which window the program opens next.
#pragma once

#include <QWidget>
#include <functional>

#include "app/startup_selector_model.h"

class QComboBox;

namespace koral::ui {

class StartupWindow : public QWidget {
  Q_OBJECT

 public:
  using ChoiceHandler = std::function<void(const StartupChoice&)>;
  using EndHandler = std::function<void()>;

  // `model` must outlive the window. `onChoice` gets the entry picked (the
  // session's link mode is already set by then): the composition creates and
  // shows that window; this one hides itself afterwards and is never shown
  // again. `onEnd` runs when the user closes the selector before choosing: the
  // program is to end.
  StartupWindow(StartupSelectorModel& model, ChoiceHandler onChoice, EndHandler onEnd, QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void Choose(int position);

  StartupSelectorModel& model_;
  ChoiceHandler onChoice_;
  EndHandler onEnd_;
  QComboBox* select_ = nullptr;  // cmbSelect
};

}  // namespace koral::ui
