#include "model/settings_line_scanner.h"

#include <charconv>
#include <cmath>

namespace koral {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsExponentMarker(char c) {
  return c == 'e' || c == 'E' || c == 'd' || c == 'D';
}

// Round half to even without depending on the floating-point environment.
double RoundHalfEven(double value) {
  const double down = std::floor(value);
  const double diff = value - down;
  if (diff < 0.5) return down;
  if (diff > 0.5) return down + 1;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

}  // namespace

void SettingsLineScanner::Append(char c) {
  if (number_.size() >= kMaxNumberLength) {
    tooLong_ = true;
    stage_ = Stage::Done;
    return;
  }
  number_ += c;
}

void SettingsLineScanner::Feed(char c) {
  if (stage_ == Stage::Done || IsBlank(c)) return;
  switch (stage_) {
    case Stage::Sign:
      if (c == '+' || c == '-') {
        Append(c);
        stage_ = Stage::Whole;
        return;
      }
      [[fallthrough]];
    case Stage::Whole:
    case Stage::Fraction:
      if (IsDigit(c)) {
        Append(c);
        ++digits_;
        if (stage_ == Stage::Sign) stage_ = Stage::Whole;
      } else if (c == '.' && stage_ != Stage::Fraction) {
        Append(c);
        stage_ = Stage::Fraction;
      } else if (IsExponentMarker(c) && digits_ > 0) {
        exponentAt_ = number_.size();
        Append('e');
        stage_ = Stage::ExponentSign;
      } else {
        stage_ = Stage::Done;
      }
      return;
    case Stage::ExponentSign:
      if (c == '+' || c == '-') {
        Append(c);
        stage_ = Stage::Exponent;
        return;
      }
      [[fallthrough]];
    case Stage::Exponent:
      if (IsDigit(c)) {
        Append(c);
        stage_ = Stage::Exponent;
      } else {
        stage_ = Stage::Done;
      }
      return;
    case Stage::Done:
      return;
  }
}

SettingsResult<std::uint8_t> SettingsLineScanner::Finish() const {
  if (tooLong_) return SettingsFileError{"the number is too long"};
  if (digits_ == 0) return std::uint8_t{0};  // empty or not a number

  // An exponent marker without digits after it is not part of the number.
  std::string text = number_;
  if (exponentAt_ != 0 && !IsDigit(text.back())) text.resize(exponentAt_);
  const char* first = text.data();
  if (*first == '+') ++first;

  double value = 0;
  const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
  const std::string shown(first, end);
  if (ec == std::errc::result_out_of_range) {
    // Too small to tell from zero, or far too large.
    const auto marker = text.find('e');
    const bool tiny = marker != std::string::npos && marker + 1 < text.size() && text[marker + 1] == '-';
    if (tiny) return std::uint8_t{0};
    return SettingsFileError{shown + " is outside 0..255"};
  }
  if (ec != std::errc()) return std::uint8_t{0};
  const double rounded = RoundHalfEven(value);
  if (rounded < 0 || rounded > 255) return SettingsFileError{shown + " is outside 0..255"};
  return static_cast<std::uint8_t>(rounded);
}

}  // namespace koral
