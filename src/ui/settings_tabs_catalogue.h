// The tabs made only of catalogue lists and number up-downs: "Alarms",
// "Screen", "Serial Port" and "Video Loss" (and the settings part of
// "Date-Time"). The lists come first, in catalogue order, then the up-downs.
#pragma once

#include <QString>
#include <vector>

#include "model/setting_catalogue.h"
#include "ui/settings_bindings.h"
#include "ui/settings_page.h"

class QVBoxLayout;

namespace koral::ui {

struct CataloguePageLook {
  QString numberFrame;  // a frame around the up-downs ("Position"), or none
  QString numberUnit;   // the caption after each up-down ("Sec"), or none
};

class CataloguePage : public SettingsPage {
 public:
  CataloguePage(SettingsWindowModel& model, SettingsTab tab, const CataloguePageLook& look, QWidget* parent = nullptr);

  void ShowParts(SettingsParts parts) override;

 protected:
  // The page's column of frames, for a page that adds its own.
  QVBoxLayout* Column() const { return column_; }

 private:
  QVBoxLayout* column_;
  std::vector<SettingList> lists_;
  std::vector<SettingNumber> numbers_;
};

}  // namespace koral::ui
