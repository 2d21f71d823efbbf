#include "ui/settings_bindings.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

#include "ui/connection_window_parts.h"
#include "ui/up_down_control.h"

namespace koral::ui {
namespace {

bool SameState(const UpDownState& a, const UpDownState& b) {
  return a.value == b.value && a.minimum == b.minimum && a.maximum == b.maximum && a.wrap == b.wrap &&
         a.enabled == b.enabled && a.visible == b.visible;
}

bool SameLabel(const LabelState& a, const LabelState& b) {
  return a.caption == b.caption && a.visible == b.visible;
}

// Shown within its parent, whether or not the window itself is on screen yet.
bool ShownInParent(const QWidget& widget) {
  return widget.parentWidget() ? widget.isVisibleTo(widget.parentWidget()) : !widget.isHidden();
}

QString Text(std::string_view text) {
  return ToQString(text);
}

}  // namespace

void ShowListState(QComboBox& list, const ListState& state) {
  const QSignalBlocker blocker(list);
  const int position = state.position.value_or(-1);
  if (list.currentIndex() != position) list.setCurrentIndex(position);
  if (list.testAttribute(Qt::WA_ForceDisabled) == state.enabled) list.setEnabled(state.enabled);
  if (ShownInParent(list) != state.visible) list.setVisible(state.visible);
}

void ShowLabelText(QLabel& label, std::string_view text) {
  const QString shown = Text(text);
  if (label.text() != shown) label.setText(shown);
}

void ShowLabelState(QLabel& label, const LabelState& state) {
  ShowLabelText(label, state.caption);
  if (ShownInParent(label) != state.visible) label.setVisible(state.visible);
}

UpDownBinding::UpDownBinding(const QString& name, const QString& labelName, const QString& accessibleName,
                             QWidget* parent)
    : control_(new UpDownControl(parent)) {
  control_->setObjectName(name);
  control_->setAccessibleName(accessibleName);
  // The value label inside the up-down is the design's own label control.
  if (auto* label = control_->findChild<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
    label->setObjectName(labelName);
    label->setAccessibleName(accessibleName + QStringLiteral(" value"));
  }
}

void UpDownBinding::Show(const UpDownState& state, const LabelState& label) {
  if (shownState_ && shownLabel_ && SameState(*shownState_, state) && SameLabel(*shownLabel_, label)) return;
  control_->ShowState(state, label);
  shownState_ = state;
  shownLabel_ = label;
}

SettingList::SettingList(SettingsWindowModel& model, int index, QWidget* parent) : model_(model), index_(index) {
  const ListSetting& setting = ListSettings()[static_cast<std::size_t>(index)];
  list_ = MakeList(model.List(index), Text(setting.control), Text(setting.caption), parent);
  caption_ = new QLabel(Text(setting.caption), parent);
  caption_->setBuddy(list_);
  // The list moves itself when the user picks; a pick the model refuses (a
  // locked list) is put back at once.
  QComboBox* list = list_;
  QObject::connect(list_, &QComboBox::activated, list_, [&model, index, list](int position) {
    model.SelectListItem(index, position);
    ShowListState(*list, model.List(index));
  });
}

void SettingList::Show() {
  ShowListState(*list_, model_.List(index_));
}

SettingNumber::SettingNumber(SettingsWindowModel& model, int index, QWidget* parent)
    : model_(model),
      index_(index),
      upDown_(Text(NumberSettings()[static_cast<std::size_t>(index)].control),
              Text(NumberSettings()[static_cast<std::size_t>(index)].labelControl),
              Text(NumberSettings()[static_cast<std::size_t>(index)].caption), parent),
      caption_(new QLabel(Text(NumberSettings()[static_cast<std::size_t>(index)].caption), parent)) {
  caption_->setBuddy(upDown_.Control());
  // The up-down never moves itself: the model's answer comes back through Show().
  QObject::connect(upDown_.Control(), &UpDownControl::stepRequested, upDown_.Control(),
                   [&model, index](int delta) { model.StepNumber(index, delta); });
  Show();
}

void SettingNumber::Show() {
  upDown_.Show(model_.Number(index_), model_.NumberLabel(index_));
}

void AddFormRow(QFormLayout& form, QLabel* caption, QWidget* control, const QString& unit) {
  auto* field = new QHBoxLayout;
  field->addWidget(control);
  if (!unit.isEmpty()) {
    auto* unitCaption = new QLabel(unit, control->parentWidget());
    unitCaption->setAccessibleName(unit);
    field->addWidget(unitCaption);
  }
  field->addStretch();
  form.addRow(caption, field);
}

void ChainTabOrder(std::span<QWidget* const> widgets) {
  for (std::size_t i = 1; i < widgets.size(); ++i)
    QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

}  // namespace koral::ui
