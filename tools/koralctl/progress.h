// What koralctl tells a person watching: progress lines on stderr when stderr
// is a terminal, nothing when a script reads it. Errors and warnings are not
// progress; they go to stderr always.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace koralctl {

// Whether this process's standard error is a terminal.
bool StandardErrorIsTerminal();

class Progress {
 public:
  Progress(std::ostream& err, bool shown) : err_(err), shown_(shown) {}

  bool Shown() const { return shown_; }
  // "koralctl: connecting to ..." on a line of its own.
  void Step(std::string_view text);
  // "upload 42%", rewritten in place while it rises; ended by the next Step or Done().
  void Percent(std::string_view what, int value);
  // Ends a percentage line.
  void Done();

 private:
  std::ostream& err_;
  bool shown_;
  int lastPercent_ = -1;
  std::string percentOf_;
};

}  // namespace koralctl
