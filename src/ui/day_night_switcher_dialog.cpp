#include "ui/day_night_switcher_dialog.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

DayNightSwitcherDialog::DayNightSwitcherDialog(koral::DayNightSwitcherModel& model, QWidget* parent)
    : QDialog(parent),
      model_(model),
      day_(new QRadioButton(QStringLiteral("DAY"))),
      night_(new QRadioButton(QStringLiteral("NIGHT"))) {
  setObjectName(QStringLiteral("frmDAYNGT"));
  setWindowTitle(QString::fromLatin1(koral::DayNightSwitcherModel::kCaption));
  setModal(true);

  auto* frame = new QGroupBox(QStringLiteral("DAY / NIGHT"));
  frame->setObjectName(QStringLiteral("Frame1"));
  day_->setObjectName(QStringLiteral("optMode0"));
  night_->setObjectName(QStringLiteral("optMode1"));
  day_->setAccessibleName(QStringLiteral("DAY bank"));
  night_->setAccessibleName(QStringLiteral("NIGHT bank"));
  auto* options = new QVBoxLayout(frame);
  options->addWidget(day_);
  options->addWidget(night_);

  auto* buttons = new QDialogButtonBox;
  QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
  ok->setObjectName(QStringLiteral("cmdOK"));
  cancel->setObjectName(QStringLiteral("cmdCancel"));
  ok->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(frame);
  layout->addWidget(buttons);

  connect(day_, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) model_.Choose(koral::BankId::Day);
  });
  connect(night_, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) model_.Choose(koral::BankId::Night);
  });
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void DayNightSwitcherDialog::ShowState() {
  const QSignalBlocker blockDay(day_);
  const QSignalBlocker blockNight(night_);
  const bool day = model_.Selected() == koral::BankId::Day;
  day_->setChecked(day);
  night_->setChecked(!day);
}

std::optional<koral::BankId> DayNightSwitcherDialog::Run(koral::BankId active) {
  model_.Open(active);
  ShowState();
  (day_->isChecked() ? day_ : night_)->setFocus();
  return exec() == QDialog::Accepted ? model_.Ok() : koral::DayNightSwitcherModel::Cancel();
}

std::optional<koral::BankId> RunDayNightSwitcher(QWidget* parent, koral::BankId active) {
  koral::DayNightSwitcherModel model;
  DayNightSwitcherDialog dialog(model, parent);
  return dialog.Run(active);
}
