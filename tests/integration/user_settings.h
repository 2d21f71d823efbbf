// Settings as a user makes them in the settings window, and a readable account
// of where two settings files differ.
#pragma once

#include <string>
#include <string_view>

#include "app/settings_window_model.h"
#include "model/settings_file.h"

namespace koral::integration {

struct UserEdits {
  int unitAddress = 0;
  std::string_view dayTitle;
  std::string_view nightTitle;
};

// Edits both banks through the window's controls: values from the lists'
// items, titles from the character table, normal motion modes only, so a
// refresh leaves them as they are. DAY is on show afterwards.
void EditLikeAUser(SettingsWindowModel& window, const UserEdits& edits);

// The factory settings of a freshly loaded settings window with those edits,
// for a unit at 4800 baud on `link`.
SettingsImage EditedSettings(LinkMode link, const UserEdits& edits);

// The factory settings of a serial unit at 4800 baud with its Output Rate set
// to "CONTINUOUS" and its Output Data to `outputType` (0..14), as chosen on
// the settings window's serial-port page.
SettingsImage StreamingSettings(int outputType);

// The title text of one bank of a settings image, without trailing blanks.
std::string TitleOf(const SettingsImage& image, BankId bank);

// "line 301 (DAY registers byte 40): expected 37, got 0" for every line that
// differs (at most the first 20); empty when the images are equal.
std::string DifferingLines(const SettingsImage& expected, const SettingsImage& actual);

}  // namespace koral::integration
