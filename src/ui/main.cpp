// koral: the desktop program.
#include <QApplication>

#include "ui/desktop_program.h"
#include "ui/install_check.h"

int main(int argc, char* argv[]) {
  if (koral::ui::WantsInstallCheck(argc, argv)) return koral::ui::RunInstallCheck(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("KORAL"));
  QApplication::setApplicationVersion(QStringLiteral("3.09"));
  // The program ends through its windows' explicit exits only.
  QApplication::setQuitOnLastWindowClosed(false);
  koral::ui::DesktopProgram program;
  program.Start();
  return QApplication::exec();
}
