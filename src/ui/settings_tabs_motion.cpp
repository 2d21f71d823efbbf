#include "ui/settings_tabs_motion.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <vector>

#include "ui/connection_window_parts.h"
#include "ui/up_down_control.h"

namespace koral::ui {
namespace {

QString Numbered(const char* name, int zone) {
  return QString::fromUtf8(name) + QString::number(zone);
}

QLabel* Heading(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setAccessibleName(label->text());
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

MotionPage::MotionPage(SettingsWindowModel& model, QWidget* parent) : SettingsPage(parent), model_(model) {
  auto* column = new QVBoxLayout(this);
  auto* modeRow = new QHBoxLayout;
  auto* modeCaption = new QLabel(QStringLiteral("Mode"), this);
  mode_ = MakeList(model.MotionModeList(), QStringLiteral("CmbMotion"), QStringLiteral("Motion mode"), this);
  modeCaption->setBuddy(mode_);
  modeRow->addWidget(modeCaption);
  modeRow->addWidget(mode_);
  modeRow->addStretch();
  column->addLayout(modeRow);

  auto* grid = new QGridLayout;
  grid->addWidget(Heading("TRIGGER", this), 0, 1);
  grid->addWidget(Heading("SENS", this), 0, 2);
  grid->addWidget(Heading("TRACK(SEC)", this), 0, 3);
  std::vector<QWidget*> order{mode_};
  for (int zone = 0; zone < kZoneCount; ++zone) {
    const QString caption = ToQString(model.MotionRow(zone).caption);
    const QString spoken = caption.at(0) + caption.mid(1).toLower();  // "Zone A"
    Row& row = rows_[static_cast<std::size_t>(zone)].emplace(Row{
        new QLabel(caption, this),
        UpDownBinding(Numbered("udTrigLevel", zone), Numbered("TrigLevel", zone),
                      spoken + QStringLiteral(" trigger level"), this),
        UpDownBinding(Numbered("udSens", zone), Numbered("Sens", zone), spoken + QStringLiteral(" sensitivity"), this),
        UpDownBinding(Numbered("udTrack", zone), Numbered("Track", zone), spoken + QStringLiteral(" track time"), this),
    });
    row.caption->setObjectName(Numbered("lblMotion", zone));
    row.caption->setAccessibleName(spoken);
    grid->addWidget(row.caption, zone + 1, 0);
    grid->addWidget(row.trigger.Control(), zone + 1, 1, Qt::AlignCenter);
    grid->addWidget(row.sensitivity.Control(), zone + 1, 2, Qt::AlignCenter);
    grid->addWidget(row.track.Control(), zone + 1, 3, Qt::AlignCenter);
    order.insert(order.end(), {row.trigger.Control(), row.sensitivity.Control(), row.track.Control()});

    // The model refuses a value beyond the range, so a step stops at the end.
    connect(row.trigger.Control(), &UpDownControl::stepRequested, this,
            [&model, zone](int delta) { model.SetTriggerLevel(zone, model.MotionRow(zone).trigger.value + delta); });
    connect(row.sensitivity.Control(), &UpDownControl::stepRequested, this,
            [&model, zone](int delta) { model.SetSensitivity(zone, model.MotionRow(zone).sensitivity.value + delta); });
    connect(row.track.Control(), &UpDownControl::stepRequested, this,
            [&model, zone](int delta) { model.SetTrackTime(zone, model.MotionRow(zone).track.value + delta); });
  }
  grid->setColumnStretch(4, 1);
  column->addLayout(grid);
  column->addStretch();
  ChainTabOrder(order);

  // The list moves itself when the user picks; the model's state is put back.
  connect(mode_, &QComboBox::activated, this, [this](int position) {
    model_.SelectMotionMode(position);
    ShowListState(*mode_, model_.MotionModeList());
  });
  ShowParts(kAllSettingsParts);
}

void MotionPage::ShowParts(SettingsParts parts) {
  if (Touches(parts, SettingsPart::MotionMode)) ShowListState(*mode_, model_.MotionModeList());
  if (!Touches(parts, SettingsPart::MotionRows)) return;
  for (int zone = 0; zone < kZoneCount; ++zone) {
    const MotionRowState& state = model_.MotionRow(zone);
    Row& row = *rows_[static_cast<std::size_t>(zone)];
    ShowLabelText(*row.caption, state.caption);
    row.trigger.Show(state.trigger, state.triggerLabel);
    row.sensitivity.Show(state.sensitivity, state.sensitivityLabel);
    row.track.Show(state.track, state.trackLabel);
  }
}

}  // namespace koral::ui
