// Reads the number at the start of one settings-file line, a character at a
// time, so a line never has to be held whole.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "model/settings_file.h"

namespace koral {

class SettingsLineScanner {
 public:
  void Feed(char c);
  SettingsResult<std::uint8_t> Finish() const;
  // Whether the line starts with a number at all, rather than reading 0 for
  // holding none.
  bool HoldsNumber() const { return digits_ > 0; }

 private:
  enum class Stage { Sign, Whole, Fraction, ExponentSign, Exponent, Done };
  static constexpr std::size_t kMaxNumberLength = 256;

  void Append(char c);

  Stage stage_ = Stage::Sign;
  std::string number_;          // the number's characters, blanks left out
  std::size_t digits_ = 0;      // mantissa digits seen
  std::size_t exponentAt_ = 0;  // where the exponent marker sits in number_, 0 if none
  bool tooLong_ = false;
};

}  // namespace koral
