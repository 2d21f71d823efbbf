#include "ui/connection_window.h"

#include <QCloseEvent>
#include <utility>

namespace koral::ui {

ConnectionWindow::ConnectionWindow(StepHandler onStep, QWidget* parent) : QWidget(parent), onStep_(std::move(onStep)) {}

void ConnectionWindow::FollowStep(const WindowStep& step) {
  if (onStep_) onStep_(step);
}

void ConnectionWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) Activate();
}

void ConnectionWindow::closeEvent(QCloseEvent* event) {
  const WindowStep step = CloseStep();
  FollowStep(step);
  // Only the end of the program closes it; otherwise it waits for the answer.
  if (step.next == NextWindow::EndProgram) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace koral::ui
