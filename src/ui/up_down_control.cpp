#include "ui/up_down_control.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

constexpr int kPageStep = 10;
constexpr int kWheelNotch = 120;  // angleDelta units of one wheel notch
constexpr int kFocusMargin = 2;   // room for the focus frame around the parts
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 80;

QToolButton* MakeArrow(QWidget* parent, Qt::ArrowType arrow, const QString& name) {
  auto* button = new QToolButton(parent);
  button->setArrowType(arrow);
  button->setAutoRepeat(true);
  button->setAutoRepeatDelay(kRepeatDelayMs);
  button->setAutoRepeatInterval(kRepeatIntervalMs);
  // Clicking an arrow focuses the whole control, which owns the keyboard.
  button->setFocusPolicy(Qt::NoFocus);
  button->setAccessibleName(name);
  button->setFixedSize(16, 11);
  return button;
}

}  // namespace

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent),
      label_(new QLabel(this)),
      up_(MakeArrow(this, Qt::UpArrow, QStringLiteral("Up"))),
      down_(MakeArrow(this, Qt::DownArrow, QStringLiteral("Down"))) {
  setFocusPolicy(Qt::StrongFocus);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAccessibleName(QStringLiteral("Up-down"));
  setAccessibleDescription(
      QStringLiteral("Up and Down arrow keys or the mouse wheel step by one, Page Up and Page Down by ten"));

  label_->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  label_->setAlignment(Qt::AlignCenter);
  label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(QStringLiteral("MAN")) + 8);
  label_->setAccessibleName(QStringLiteral("Value"));

  auto* arrows = new QVBoxLayout;
  arrows->setContentsMargins(0, 0, 0, 0);
  arrows->setSpacing(0);
  arrows->addWidget(up_);
  arrows->addWidget(down_);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(kFocusMargin, kFocusMargin, kFocusMargin, kFocusMargin);
  layout->setSpacing(1);
  layout->addWidget(label_);
  layout->addLayout(arrows);

  // Hidden parts keep their room, so a row of controls does not shift.
  for (QWidget* part : {static_cast<QWidget*>(label_), static_cast<QWidget*>(up_), static_cast<QWidget*>(down_)}) {
    QSizePolicy policy = part->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    part->setSizePolicy(policy);
  }

  connect(up_, &QToolButton::clicked, this, [this] { emit stepRequested(1); });
  connect(down_, &QToolButton::clicked, this, [this] { emit stepRequested(-1); });
}

void UpDownControl::ShowState(const koral::UpDownState& state, const koral::LabelState& label) {
  label_->setText(QString::fromStdString(label.caption));
  label_->setVisible(label.visible);
  up_->setVisible(state.visible);
  down_->setVisible(state.visible);
  // The label alone still shows when the arrows are hidden.
  setHidden(!state.visible && !label.visible);
  setEnabled(state.enabled);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Up:
      emit stepRequested(1);
      break;
    case Qt::Key_Down:
      emit stepRequested(-1);
      break;
    case Qt::Key_PageUp:
      emit stepRequested(kPageStep);
      break;
    case Qt::Key_PageDown:
      emit stepRequested(-kPageStep);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void UpDownControl::wheelEvent(QWheelEvent* event) {
  // High-resolution wheels send fractions of a notch: step once per whole notch.
  wheelRemainder_ += event->angleDelta().y();
  const int notches = wheelRemainder_ / kWheelNotch;
  wheelRemainder_ -= notches * kWheelNotch;
  const int direction = notches > 0 ? 1 : -1;
  for (int i = 0; i < notches * direction; ++i)
    emit stepRequested(direction);
  event->accept();
}

void UpDownControl::paintEvent(QPaintEvent* /*event*/) {
  if (!hasFocus()) return;
  // A plain highlight frame: some styles draw their focus rectangle only
  // after keyboard navigation, and this one must show on a click too.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Highlight));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void UpDownControl::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  update();
}

void UpDownControl::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}
