// Where the program's own data files (the manual, the alarm sound) are found:
// beside the program first, so a build runs with its own copies, then in the
// folder the package installs them to.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace koral {

enum class AlsoCurrentDirectory { No, Yes };

// The folders looked in, in order.
QStringList DataFileFolders(AlsoCurrentDirectory current);
// The first existing file called `name` in those folders, or nothing.
std::optional<QString> FindDataFile(const QString& name, AlsoCurrentDirectory current);

}  // namespace koral
