#include "platform/data_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace koral {

QStringList DataFileFolders(AlsoCurrentDirectory current) {
  QStringList folders;
  if (QCoreApplication::instance() != nullptr) folders << QCoreApplication::applicationDirPath();
  folders << QStringLiteral(KORAL_DATA_DIR);
  if (current == AlsoCurrentDirectory::Yes) folders << QDir::currentPath();
  folders.removeDuplicates();
  return folders;
}

std::optional<QString> FindDataFile(const QString& name, AlsoCurrentDirectory current) {
  for (const QString& folder : DataFileFolders(current)) {
    const QFileInfo file(QDir(folder), name);
    if (file.isFile()) return file.absoluteFilePath();
  }
  return std::nullopt;
}

}  // namespace koral
