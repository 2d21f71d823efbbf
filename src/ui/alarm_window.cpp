#include "ui/alarm_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "ui/alarm_lamp.h"
#include "ui/connection_window_parts.h"
#include "ui/message_boxes.h"

namespace koral::ui {
namespace {

constexpr double kHeadingScale = 1.5;
constexpr int kLampSpacing = 12;

QColor ToQColor(const koral::LampColour& colour) {
  return {colour.red, colour.green, colour.blue};
}

}  // namespace

AlarmWindow::AlarmWindow(koral::AlarmWindowModel& model, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(model),
      soundToggle_(new QPushButton),
      clearAlarm_(new QPushButton),
      timer_(this) {
  using Model = koral::AlarmWindowModel;
  setObjectName(QStringLiteral("AlarmWin"));
  setWindowTitle(ToQString(Model::kCaption));

  auto* heading = new QLabel(ToQString(Model::kHeading));
  heading->setObjectName(QStringLiteral("Label2"));
  heading->setAlignment(Qt::AlignCenter);
  QFont headingFont = heading->font();
  headingFont.setBold(true);
  headingFont.setPointSizeF(headingFont.pointSizeF() * kHeadingScale);
  heading->setFont(headingFont);

  auto* lamps = new QGridLayout;
  lamps->setHorizontalSpacing(kLampSpacing);
  for (std::size_t zone = 0; zone < Model::kZoneCount; ++zone) {
    const QString letter = ToQString(Model::kZoneLetters[zone]);
    const QString index = QString::number(zone);
    auto* lamp = new AlarmLamp(letter);
    lamp->setObjectName(QStringLiteral("Shape1_") + index);
    auto* label = new QLabel(letter);
    label->setObjectName(QStringLiteral("Label1_") + index);
    label->setAlignment(Qt::AlignCenter);
    const int column = static_cast<int>(zone);
    lamps->addWidget(lamp, 0, column);
    lamps->addWidget(label, 1, column);
    lamps->setColumnStretch(column, 1);
    lamps_[zone] = lamp;
  }
  lamps->setRowStretch(0, 1);

  soundToggle_->setObjectName(QStringLiteral("Command1"));
  clearAlarm_->setObjectName(QStringLiteral("Command3"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(soundToggle_);
  buttons->addWidget(clearAlarm_);
  buttons->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addLayout(lamps, 1);
  layout->addLayout(buttons);
  setTabOrder(soundToggle_, clearAlarm_);

  timer_.setObjectName(QStringLiteral("Timer2"));
  connect(&timer_, &QTimer::timeout, this, &AlarmWindow::Tick);
  connect(soundToggle_, &QPushButton::clicked, this, [this] {
    model_.ToggleSound();
    ShowState();
  });
  connect(clearAlarm_, &QPushButton::clicked, this, [this] {
    model_.ClearAlarm();
    ShowState();
  });
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)})
    connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);

  ShowState();
}

void AlarmWindow::Open() {
  if (!model_.IsOpen()) {
    model_.Open();
    ShowState();
    if (const auto message = model_.TakeMessage()) {
      // The model's only message is an information notice.
      ::ShowInformation(this, message->title, message->text);
    }
    timer_.start(model_.TimerPeriodMs());
  }
  show();
  raise();
  activateWindow();
}

void AlarmWindow::ShowState() {
  const auto& colours = model_.Lamps();
  const auto& alarms = model_.AlarmBits();
  for (std::size_t zone = 0; zone < lamps_.size(); ++zone)
    lamps_[zone]->Show(ToQColor(colours[zone]), alarms[zone]);
  soundToggle_->setText(ToQString(model_.SoundToggleCaption()));
  clearAlarm_->setText(ToQString(koral::AlarmWindowModel::ClearCaption()));
}

void AlarmWindow::Tick() {
  model_.Tick();
  ShowState();
}

void AlarmWindow::closeEvent(QCloseEvent* event) {
  timer_.stop();
  model_.Close();
  ShowState();
  event->accept();
}

}  // namespace koral::ui
