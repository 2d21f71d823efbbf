#include "ui/settings_tabs_titler_clock.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "model/register_map.h"
#include "ui/connection_window_parts.h"

namespace koral::ui {
namespace {

QLabel* Caption(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setAccessibleName(label->text());
  return label;
}

}  // namespace

TitlerPage::TitlerPage(SettingsWindowModel& model, QWidget* parent) : SettingsPage(parent), model_(model) {
  auto* frame = new QGroupBox(QStringLiteral("Titler"), this);
  frame->setAccessibleName(frame->title());
  title_ = new QLineEdit(frame);
  title_->setObjectName(QStringLiteral("txtVCGS"));
  title_->setAccessibleName(QStringLiteral("Title"));
  title_->setMaxLength(kTitleLength);
  title_->setMinimumWidth(title_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * (kTitleLength + 2));
  auto* frameLayout = new QHBoxLayout(frame);
  frameLayout->addWidget(title_);
  frameLayout->addStretch();

  auto* column = new QVBoxLayout(this);
  column->addWidget(frame);
  column->addStretch();

  connect(title_, &QLineEdit::textEdited, this, [this](const QString& text) {
    model_.SetTitleText(text.toStdString());
    ShowTitle();
  });
  ShowTitle();
}

void TitlerPage::ShowParts(SettingsParts parts) {
  if (Touches(parts, SettingsPart::Title)) ShowTitle();
}

void TitlerPage::ShowTitle() {
  // Only a title that differs from the typed one is written, so typing keeps
  // its cursor.
  const QString text = ToQString(model_.TitleText());
  if (title_->text() == text) return;
  const QSignalBlocker blocker(title_);
  const int cursor = title_->cursorPosition();
  title_->setText(text);
  title_->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

DateTimePage::DateTimePage(SettingsWindowModel& model, QWidget* parent)
    : CataloguePage(model, SettingsTab::DateTime, {}, parent), model_(model) {
  struct ClockLabel {
    const char* name;
    const char* spoken;
  };
  constexpr std::array<ClockLabel, 7> kLabels = {{{"lblMonth", "Month"},
                                                  {"lblDay", "Day"},
                                                  {"lblYear", "Year"},
                                                  {"lblHour", "Hour"},
                                                  {"lblMinute", "Minute"},
                                                  {"lblSec", "Second"},
                                                  {"lblDOW", "Day of week"}}};
  auto* frame = new QGroupBox(this);
  frame->setAccessibleName(QStringLiteral("PC clock"));
  for (std::size_t i = 0; i < kLabels.size(); ++i) {
    auto* label = new QLabel(frame);
    label->setObjectName(QString::fromUtf8(kLabels[i].name));
    label->setAccessibleName(QString::fromUtf8(kLabels[i].spoken));
    clock_[i] = label;
  }
  auto* date = new QHBoxLayout;
  date->addWidget(Caption("Date:", frame));
  date->addWidget(clock_[0]);
  date->addWidget(clock_[1]);
  date->addWidget(clock_[2]);
  date->addStretch();
  auto* time = new QHBoxLayout;
  time->addWidget(Caption("Time:", frame));
  time->addWidget(clock_[3]);
  time->addWidget(Caption(":", frame));
  time->addWidget(clock_[4]);
  time->addWidget(Caption(":", frame));
  time->addWidget(clock_[5]);
  time->addStretch();
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->addLayout(date);
  frameLayout->addLayout(time);
  frameLayout->addWidget(clock_[6]);
  Column()->insertWidget(0, frame);
  ShowParts(static_cast<SettingsParts>(SettingsPart::Clock));
}

void DateTimePage::ShowParts(SettingsParts parts) {
  CataloguePage::ShowParts(parts);
  if (!Touches(parts, SettingsPart::Clock)) return;
  const ClockLabels& clock = model_.Clock();
  const std::array<const std::string*, 7> texts = {&clock.month,  &clock.day,    &clock.year,   &clock.hour,
                                                   &clock.minute, &clock.second, &clock.weekday};
  for (std::size_t i = 0; i < texts.size(); ++i)
    ShowLabelText(*clock_[i], *texts[i]);
}

}  // namespace koral::ui
