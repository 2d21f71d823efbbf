#include "ui/keypad_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <iterator>

#include "ui/connection_window_parts.h"
#include "ui/up_down_control.h"

namespace koral::ui {
namespace {

enum class KeyFrame { QtMx, Mode, Qt1Rx };

struct KeyPlace {
  KeypadKey key;
  KeyFrame frame;
  int row;
  int column;
};

// In reading order, which is also the tab order: the QT-MX arrows as an
// inverted T, LEFT before RIGHT on both models.
constexpr KeyPlace kKeyPlaces[] = {
    {KeypadKey::Log, KeyFrame::QtMx, 0, 0},      {KeypadKey::Up, KeyFrame::QtMx, 0, 1},
    {KeypadKey::Exit, KeyFrame::QtMx, 0, 2},     {KeypadKey::LeftMx, KeyFrame::QtMx, 1, 0},
    {KeypadKey::Down, KeyFrame::QtMx, 1, 1},     {KeypadKey::RightMx, KeyFrame::QtMx, 1, 2},
    {KeypadKey::Disable, KeyFrame::Mode, 0, 0},  {KeypadKey::Enable, KeyFrame::Mode, 0, 1},
    {KeypadKey::Clear, KeyFrame::Mode, 0, 2},    {KeypadKey::Night, KeyFrame::Mode, 1, 0},
    {KeypadKey::Day, KeyFrame::Mode, 1, 1},      {KeypadKey::Unaddress, KeyFrame::Mode, 1, 2},
    {KeypadKey::Left1Rx, KeyFrame::Qt1Rx, 0, 0}, {KeypadKey::Right1Rx, KeyFrame::Qt1Rx, 0, 1},
    {KeypadKey::Menu, KeyFrame::Qt1Rx, 0, 2},    {KeypadKey::Alarm, KeyFrame::Qt1Rx, 0, 3},
};
static_assert(std::size(kKeyPlaces) == kKeypadKeys.size());

constexpr int kAddressRow = 2;  // the QT-MX frame's spinners and SELECT
// lblGroup's widest caption, so the frame keeps its width as the group moves.
constexpr std::string_view kWidestGroupCaption = kAddressGroupCaptions.back();
constexpr int kLabelPadding = 8;

QGroupBox* MakeFrame(const QString& name, const QString& caption, QWidget* parent) {
  auto* frame = new QGroupBox(caption, parent);
  frame->setObjectName(name);
  frame->setAccessibleName(caption);
  new QGridLayout(frame);
  return frame;
}

// The design's label is the value label inside the spinner.
UpDownControl* MakeSpinner(const QString& name, const QString& labelName, const QString& accessibleName,
                           QWidget* parent) {
  auto* spinner = new UpDownControl(parent);
  spinner->setObjectName(name);
  spinner->setAccessibleName(accessibleName);
  if (auto* label = spinner->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
    label->setObjectName(labelName);
    label->setAccessibleName(accessibleName + QStringLiteral(" value"));
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(ToQString(kWidestGroupCaption)) + kLabelPadding);
  }
  return spinner;
}

}  // namespace

KeypadWindow::KeypadWindow(KeypadModel& model, QWidget* parent) : QWidget(parent, Qt::Window), model_(model) {
  setObjectName(QStringLiteral("frmKey"));
  setWindowTitle(ToQString(KeypadModel::kCaption));
  setAccessibleName(QStringLiteral("Remote keypad"));

  QGroupBox* qtMx = MakeFrame(QStringLiteral("Frame3"), QStringLiteral("QT-MX"), this);
  QGroupBox* mode = MakeFrame(QStringLiteral("Frame2"), QStringLiteral("MODE"), this);
  QGroupBox* qt1Rx = MakeFrame(QStringLiteral("Frame1"), QStringLiteral("QT-1RX"), this);
  const auto frameOf = [&](KeyFrame frame) {
    return frame == KeyFrame::QtMx ? qtMx : frame == KeyFrame::Mode ? mode : qt1Rx;
  };

  for (const KeyPlace& place : kKeyPlaces) {
    const KeypadKeyInfo& info = kKeypadKeys[static_cast<std::size_t>(place.key)];
    QGroupBox* frame = frameOf(place.frame);
    auto* key = new QPushButton(ToQString(info.caption), frame);
    key->setObjectName(ToQString(info.control));
    key->setAutoDefault(false);
    // Both models have a RIGHT and a LEFT key.
    key->setAccessibleName(frame->title() + QLatin1Char(' ') + key->text());
    static_cast<QGridLayout*>(frame->layout())->addWidget(key, place.row, place.column);
    connect(key, &QPushButton::clicked, this, [this, which = place.key] { Press(which); });
    keys_[static_cast<std::size_t>(place.key)] = key;
  }

  auto* qtMxGrid = static_cast<QGridLayout*>(qtMx->layout());
  group_ = MakeSpinner(QStringLiteral("udGroup"), QStringLiteral("lblGroup"), QStringLiteral("Address group"), qtMx);
  address_ = MakeSpinner(QStringLiteral("udAddr"), QStringLiteral("lblAddr"), QStringLiteral("Unit address"), qtMx);
  select_ = new QPushButton(QStringLiteral("SELECT"), qtMx);
  select_->setObjectName(QStringLiteral("btnSelect"));
  select_->setAccessibleName(QStringLiteral("SELECT the unit address"));
  select_->setAutoDefault(false);
  qtMxGrid->addWidget(group_, kAddressRow, 0, Qt::AlignCenter);
  qtMxGrid->addWidget(address_, kAddressRow, 1, Qt::AlignCenter);
  qtMxGrid->addWidget(select_, kAddressRow, 2);
  // Reading order: the spinners and SELECT after the QT-MX keys.
  setTabOrder(keys_[static_cast<std::size_t>(KeypadKey::RightMx)], group_);
  setTabOrder(group_, address_);
  setTabOrder(address_, select_);
  setTabOrder(select_, keys_[static_cast<std::size_t>(KeypadKey::Disable)]);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(qtMx);
  layout->addWidget(mode);
  layout->addWidget(qt1Rx);

  connect(select_, &QPushButton::clicked, this, &KeypadWindow::Select);
  connect(group_, &UpDownControl::stepRequested, this, &KeypadWindow::StepGroup);
  connect(address_, &UpDownControl::stepRequested, this, &KeypadWindow::StepAddress);
  auto* closeShortcut = new QShortcut(QKeySequence::Close, this);
  connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);
  ShowModel();
}

void KeypadWindow::Open() {
  if (!loaded_) {
    model_.Load();
    loaded_ = true;
  }
  ShowModel();
  show();
  raise();
  activateWindow();
}

void KeypadWindow::closeEvent(QCloseEvent* event) {
  loaded_ = false;
  event->accept();
}

void KeypadWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void KeypadWindow::ShowModel() {
  for (const KeypadKeyInfo& info : kKeypadKeys)
    keys_[static_cast<std::size_t>(info.key)]->setEnabled(model_.KeyEnabled(info.key));
  select_->setEnabled(model_.SelectEnabled());
  group_->ShowState(model_.Group(), model_.GroupLabel());
  address_->ShowState(model_.Address(), model_.AddressLabel());
}

void KeypadWindow::Press(KeypadKey key) {
  model_.Press(key);
  ShowModel();
}

void KeypadWindow::Select() {
  model_.Select();
  ShowModel();
}

void KeypadWindow::StepGroup(int delta) {
  model_.SetGroup(model_.Group().value + delta);
  ShowModel();
}

void KeypadWindow::StepAddress(int delta) {
  model_.SetAddress(model_.Address().value + delta);
  ShowModel();
}

}  // namespace koral::ui
