// `koral --check-install`: whether the program finds the files it ships with,
// the manual and the alarm sound, for an installer or a support call to ask
// without opening a window.
#pragma once

namespace koral::ui {

// True when argv asks for the check.
bool WantsInstallCheck(int argc, char* argv[]);
// Prints where each file was found, or where it was looked for; 0 when all
// were found, 1 otherwise.
int RunInstallCheck(int argc, char* argv[]);

}  // namespace koral::ui
