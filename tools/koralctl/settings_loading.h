// Reading a settings file for a command: the banks as File > Open leaves them
// on top of the window's factory settings, or the reason it failed.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "app/session.h"

namespace koralctl {

// Fills `session` with the factory settings and then the file. On failure
// writes "koralctl: <reason>" to `err` and returns false.
bool LoadSettingsFile(const std::string& path, koral::Session& session, std::ostream& err);

}  // namespace koralctl
