#include "ui/settings_tabs_zone.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "ui/zone_grid_widget.h"

namespace koral::ui {
namespace {

// 495 twips at a pitch of 480: two cells wide, neighbours sharing a border.
constexpr int kButtonWidth = 2 * zone_grid::kPitch + 1;

}  // namespace

ZonePage::ZonePage(SettingsWindowModel& model, QWidget* parent) : SettingsPage(parent), model_(model) {
  auto* frame = new QFrame(this);
  frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  auto* frameLayout = new QVBoxLayout(frame);
  grid_ = new ZoneGridWidget(model, frame);
  frameLayout->addWidget(grid_, 0, Qt::AlignHCenter);

  auto* buttonRow = new QHBoxLayout;
  buttonRow->setSpacing(0);
  buttonRow->addStretch();
  for (int k = 0; k < kZoneButtonCount; ++k) {
    const bool noZone = k == kPaintNoZone;
    const QString letter = noZone ? QStringLiteral("-") : QString(QLatin1Char(static_cast<char>('A' + k)));
    auto* button = new QPushButton(letter, frame);
    button->setObjectName(QStringLiteral("btnZone") + QString::number(k));
    button->setAccessibleName(noZone ? QStringLiteral("Paint no zone") : QStringLiteral("Paint zone ") + letter);
    // Checked shows the zone the next stroke paints; the model keeps the choice.
    button->setCheckable(true);
    button->setFixedWidth(kButtonWidth);
    buttonRow->addWidget(button);
    buttons_[static_cast<std::size_t>(k)] = button;
    connect(button, &QPushButton::clicked, this, [this, k] {
      model_.SelectPaintZone(k);
      ShowButtons();
    });
  }
  buttonRow->addStretch();
  frameLayout->addLayout(buttonRow);

  auto* column = new QVBoxLayout(this);
  column->addWidget(frame);
  column->addStretch();
  ShowParts(kAllSettingsParts);
}

void ZonePage::ShowParts(SettingsParts parts) {
  if (!Touches(parts, SettingsPart::ZoneGrid)) return;
  grid_->ShowGrid();
  ShowButtons();
}

void ZonePage::ShowButtons() {
  for (int k = 0; k < kZoneButtonCount; ++k) {
    QPushButton& button = *buttons_[static_cast<std::size_t>(k)];
    const QSignalBlocker blocker(button);
    const bool enabled = model_.ZoneButtonEnabled(k);
    const bool selected = model_.SelectedPaintZone() == k;
    if (button.testAttribute(Qt::WA_ForceDisabled) == enabled) button.setEnabled(enabled);
    if (button.isChecked() != selected) button.setChecked(selected);
  }
}

}  // namespace koral::ui
