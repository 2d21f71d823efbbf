#include "settings_loading.h"

#include <variant>

#include "model/settings_file.h"

namespace koralctl {

bool LoadSettingsFile(const std::string& path, koral::Session& session, std::ostream& err) {
  koral::LoadFactorySettings(session);
  auto image = koral::ReadSettingsFile(path);
  if (const auto* error = std::get_if<koral::SettingsFileError>(&image)) {
    err << "koralctl: " << error->message << "\n";
    return false;
  }
  koral::DistributeSettingsImage(std::get<koral::SettingsImage>(image), session.banks);
  return true;
}

}  // namespace koralctl
