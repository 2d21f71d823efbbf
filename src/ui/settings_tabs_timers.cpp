#include "ui/settings_tabs_timers.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <array>

#include "ui/connection_window_parts.h"
#include "ui/up_down_control.h"

namespace koral::ui {
namespace {

struct TimerLayout {
  const char* list;                  // the days (or on/off) list
  std::array<int, 2> times;          // TimeSettings() indexes
  std::array<const char*, 2> names;  // the captions of the two times
};

constexpr std::array<TimerLayout, 3> kWeeklyTimers = {{
    {"cmbTmr1", {0, 1}, {"Start", "Stop"}},
    {"cmbTmr2", {2, 3}, {"Start", "Stop"}},
    {"cmbTmr3", {4, 5}, {"Start", "Stop"}},
}};
constexpr TimerLayout kDayNightTimer = {"cmbTmrDayNgt", {6, 7}, {"Day", "Night"}};

// udTmr1StartHour's value label is lblTmr1StartHour.
QString LabelName(std::string_view upDown) {
  return QStringLiteral("lbl") + ToQString(upDown.substr(2));
}

QLabel* Caption(const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setAccessibleName(label->text());
  return label;
}

}  // namespace

TimersPage::TimersPage(SettingsWindowModel& model, QWidget* parent) : SettingsPage(parent), model_(model) {
  lists_.reserve(kWeeklyTimers.size() + 1);
  times_.reserve(TimeSettings().size());
  for (const TimeSetting& setting : TimeSettings()) {
    const QString caption = ToQString(setting.caption);
    times_.push_back({UpDownBinding(ToQString(setting.hourControl), LabelName(setting.hourControl),
                                    caption + QStringLiteral(" hour"), this),
                      UpDownBinding(ToQString(setting.minuteControl), LabelName(setting.minuteControl),
                                    caption + QStringLiteral(" minute"), this)});
  }

  // Hour and minute up-downs of a time, with their "Hour" and "Min" captions.
  const auto timeField = [this](int index) {
    auto* field = new QHBoxLayout;
    const Time& time = times_[static_cast<std::size_t>(index)];
    field->addWidget(time.hour.Control());
    field->addWidget(Caption("Hour", this));
    field->addWidget(time.minute.Control());
    field->addWidget(Caption("Min", this));
    return field;
  };

  auto* column = new QVBoxLayout(this);
  auto* weekly = new QGridLayout;
  for (std::size_t row = 0; row < kWeeklyTimers.size(); ++row) {
    const TimerLayout& timer = kWeeklyTimers[row];
    const SettingList& list = lists_.emplace_back(model, SettingsWindowModel::ListIndex(timer.list), this);
    const int gridRow = static_cast<int>(row);
    weekly->addWidget(list.Caption(), gridRow, 0);
    weekly->addWidget(list.Widget(), gridRow, 1);
    for (std::size_t k = 0; k < timer.times.size(); ++k) {
      const int gridColumn = 2 + 2 * static_cast<int>(k);
      weekly->addWidget(Caption(timer.names[k], this), gridRow, gridColumn);
      weekly->addLayout(timeField(timer.times[k]), gridRow, gridColumn + 1);
    }
  }
  weekly->setColumnStretch(6, 1);
  column->addLayout(weekly);

  const SettingList& dayNight = lists_.emplace_back(model, SettingsWindowModel::ListIndex(kDayNightTimer.list), this);
  auto* dayNightGrid = new QGridLayout;
  dayNightGrid->addWidget(dayNight.Caption(), 0, 0);
  dayNightGrid->addWidget(dayNight.Widget(), 0, 1, Qt::AlignLeft);
  for (std::size_t k = 0; k < kDayNightTimer.times.size(); ++k) {
    const int gridRow = 1 + static_cast<int>(k);
    dayNightGrid->addWidget(Caption(kDayNightTimer.names[k], this), gridRow, 0);
    dayNightGrid->addLayout(timeField(kDayNightTimer.times[k]), gridRow, 1);
  }
  dayNightGrid->setColumnStretch(2, 1);
  column->addSpacing(fontMetrics().height());
  column->addLayout(dayNightGrid);
  column->addStretch();

  // Row by row: each list, then its times from hour to minute.
  std::vector<QWidget*> order;
  const auto addTimer = [&](const SettingList& list, const TimerLayout& timer) {
    order.push_back(list.Widget());
    for (const int index : timer.times) {
      order.push_back(times_[static_cast<std::size_t>(index)].hour.Control());
      order.push_back(times_[static_cast<std::size_t>(index)].minute.Control());
    }
  };
  for (std::size_t row = 0; row < kWeeklyTimers.size(); ++row)
    addTimer(lists_[row], kWeeklyTimers[row]);
  addTimer(dayNight, kDayNightTimer);
  ChainTabOrder(order);

  for (std::size_t i = 0; i < times_.size(); ++i) {
    const int index = static_cast<int>(i);
    connect(times_[i].hour.Control(), &UpDownControl::stepRequested, this,
            [&model, index](int delta) { model.SetTimeHour(index, model.TimeHour(index).value + delta); });
    connect(times_[i].minute.Control(), &UpDownControl::stepRequested, this,
            [&model, index](int delta) { model.SetTimeMinute(index, model.TimeMinute(index).value + delta); });
  }
  ShowParts(kAllSettingsParts);
}

void TimersPage::ShowParts(SettingsParts parts) {
  if (Touches(parts, SettingsPart::Lists)) {
    for (SettingList& list : lists_)
      list.Show();
  }
  if (Touches(parts, SettingsPart::Times)) {
    for (std::size_t i = 0; i < times_.size(); ++i) {
      const int index = static_cast<int>(i);
      times_[i].hour.Show(model_.TimeHour(index), model_.TimeHourLabel(index));
      times_[i].minute.Show(model_.TimeMinute(index), model_.TimeMinuteLabel(index));
    }
  }
}

}  // namespace koral::ui
