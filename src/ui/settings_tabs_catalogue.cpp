#include "ui/settings_tabs_catalogue.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/up_down_control.h"

namespace koral::ui {

CataloguePage::CataloguePage(SettingsWindowModel& model, SettingsTab tab, const CataloguePageLook& look,
                             QWidget* parent)
    : SettingsPage(parent), column_(new QVBoxLayout(this)) {
  auto* listForm = new QFormLayout;
  const auto listSettings = ListSettings();
  for (std::size_t i = 0; i < listSettings.size(); ++i) {
    if (listSettings[i].tab != tab) continue;
    const SettingList& list = lists_.emplace_back(model, static_cast<int>(i), this);
    AddFormRow(*listForm, list.Caption(), list.Widget());
  }
  column_->addLayout(listForm);

  auto* numberForm = listForm;
  if (!look.numberFrame.isEmpty()) {
    auto* frame = new QGroupBox(look.numberFrame, this);
    frame->setAccessibleName(look.numberFrame);
    numberForm = new QFormLayout(frame);
    column_->addWidget(frame);
  }
  const auto numberSettings = NumberSettings();
  for (std::size_t i = 0; i < numberSettings.size(); ++i) {
    if (numberSettings[i].tab != tab) continue;
    QWidget* owner = numberForm == listForm ? static_cast<QWidget*>(this) : numberForm->parentWidget();
    const SettingNumber& number = numbers_.emplace_back(model, static_cast<int>(i), owner);
    AddFormRow(*numberForm, number.Caption(), number.Widget(), look.numberUnit);
  }
  column_->addStretch();
}

void CataloguePage::ShowParts(SettingsParts parts) {
  if (Touches(parts, SettingsPart::Lists)) {
    for (SettingList& list : lists_)
      list.Show();
  }
  if (Touches(parts, SettingsPart::Numbers)) {
    for (SettingNumber& number : numbers_)
      number.Show();
  }
}

}  // namespace koral::ui
