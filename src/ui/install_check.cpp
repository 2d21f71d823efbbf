#include "ui/install_check.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>
#include <string_view>

#include "platform/data_files.h"

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
  // Looked for as the manual window and the alarm sound look for them.
  const struct {
    const char* what;
    const char* name;
    AlsoCurrentDirectory current;
  } files[] = {{"manual", "koral.hlp", AlsoCurrentDirectory::No}, {"sound", "AntiAir.wav", AlsoCurrentDirectory::Yes}};
  bool allFound = true;
  for (const auto& file : files) {
    if (const auto path = FindDataFile(QString::fromLatin1(file.name), file.current)) {
      std::printf("%s: %s\n", file.what, path->toLocal8Bit().constData());
    } else {
      allFound = false;
      std::printf("%s: %s not found in %s\n", file.what, file.name,
                  DataFileFolders(file.current).join(QStringLiteral(", ")).toLocal8Bit().constData());
    }
  }
  return allFound ? 0 : 1;
}

}  // namespace koral::ui
