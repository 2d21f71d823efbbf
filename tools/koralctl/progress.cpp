#include "progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace koralctl {

bool StandardErrorIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(STDERR_FILENO) != 0;
#endif
}

void Progress::Step(std::string_view text) {
  if (!shown_) return;
  Done();
  err_ << "koralctl: " << text << '\n' << std::flush;
}

void Progress::Percent(std::string_view what, int value) {
  if (!shown_ || (what == percentOf_ && value == lastPercent_)) return;
  percentOf_ = std::string(what);
  lastPercent_ = value;
  err_ << "\rkoralctl: " << what << ' ' << value << '%' << std::flush;
}

void Progress::Done() {
  if (!shown_ || lastPercent_ < 0) return;
  err_ << '\n' << std::flush;
  lastPercent_ = -1;
  percentOf_.clear();
}

}  // namespace koralctl
