// Settings as a user makes them in the settings window, and a readable account
// of where two settings files differ.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "app/settings_window_model.h"
#include "model/settings_file.h"

namespace koral {
// How GoogleTest names a link in failure messages.
void PrintTo(LinkMode link, std::ostream* out);
}  // namespace koral

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

// The factory settings of a unit at 4800 baud with its Output Rate set to
// "CONTINUOUS" and its Output Data to `outputType`, as chosen in the window.
SettingsImage StreamingSettings(int outputType, LinkMode link = LinkMode::Serial);

// The settings file at `path`; all zeros (so that any comparison fails) when
// it cannot be read, with the reason on stderr.
SettingsImage ImageOfFile(const std::string& path);

// The title text of one bank of a settings image, without trailing blanks.
std::string TitleOf(const SettingsImage& image, BankId bank);

// "line 301 (DAY registers byte 40): expected 37, got 0" for every line that
// differs (at most the first 20); empty when the images are equal.
std::string DifferingLines(const SettingsImage& expected, const SettingsImage& actual);

}  // namespace koral::integration
