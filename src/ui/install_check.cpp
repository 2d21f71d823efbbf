#include "ui/install_check.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "monitor/alarm_window_model.h"
#include "platform/data_files.h"
#include "platform/qt_sound_output.h"
#include "ui/help_window.h"

namespace koral::ui {

bool WantsInstallCheck(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--check-install") return true;
  }
  return false;
}

int RunInstallCheck(int argc, char* argv[]) {
  // No window is needed, so no display either.
  const QCoreApplication application(argc, argv);
  const std::string sound(AlarmWindowModel::kSoundFile);
  const struct {
    const char* what;
    std::string name;
    std::optional<QString> path;
  } files[] = {{"manual", "koral.hlp", FindManual()}, {"sound", sound, FindSoundFile(sound)}};
  bool allFound = true;
  for (const auto& file : files) {
    if (file.path) {
      std::printf("%s: %s\n", file.what, file.path->toLocal8Bit().constData());
    } else {
      allFound = false;
      // Where an installed program keeps them.
      std::printf("%s: %s not found in %s\n", file.what, file.name.c_str(),
                  DataFileFolders(AlsoCurrentDirectory::No).join(QStringLiteral(", ")).toLocal8Bit().constData());
    }
  }
  return allFound ? 0 : 1;
}

}  // namespace koral::ui
