#include "command_words.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "command_line.h"
#include "monitor/output_decoder.h"

namespace koralctl {
namespace {

constexpr std::string_view kSelectPrefix = "SELECT=";
constexpr long long kHighestSelectableAddress = 127;
constexpr double kLongestSeconds = 365.0 * 24 * 3600;

std::string Upper(std::string_view text) {
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  return upper;
}

bool OnKeypadOf(koral::KeypadKeyUse use, koral::UnitModel model) {
  switch (use) {
    case koral::KeypadKeyUse::Both:
      return true;
    case koral::KeypadKeyUse::Qt1RxOnly:
      return model == koral::UnitModel::Qt1Rx;
    case koral::KeypadKeyUse::QtMxOnly:
      return model == koral::UnitModel::QtMx;
  }
  return false;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

std::variant<Press, std::string> ReadPress(std::string_view word, koral::UnitModel model) {
  const std::string caption = Upper(word);
  const std::string modelName = koral::UnitModelName(model);
  if (caption.starts_with(kSelectPrefix) || caption == "SELECT") {
    if (model != koral::UnitModel::QtMx) return "SELECT is a QT-MX key; the " + modelName + " keypad disables it";
    const auto address = WholeNumber(std::string_view(caption).substr(std::min(caption.size(), kSelectPrefix.size())),
                                     0, kHighestSelectableAddress);
    if (!address) return "SELECT wants a unit address as SELECT=N with N = 0..127, not '" + std::string(word) + "'";
    return Press{caption, std::nullopt, static_cast<int>(*address)};
  }
  bool known = false;
  for (const koral::KeypadKeyInfo& info : koral::kKeypadKeys) {
    if (info.caption != caption) continue;
    known = true;
    if (OnKeypadOf(info.use, model)) return Press{caption, info.key, 0};
  }
  if (known) return "the " + modelName + " keypad disables " + caption;
  return "unknown key '" + std::string(word) + "'";
}

std::optional<int> OutputTypeOf(std::string_view text) {
  if (const auto index = WholeNumber(text, 0, koral::kOutputTypeCount - 1)) return static_cast<int>(*index);
  for (int type = 0; type < koral::kOutputTypeCount; ++type) {
    if (SameLetters(text, koral::OutputTypeName(type))) return type;
  }
  return std::nullopt;
}

std::optional<double> PositiveSeconds(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value) || value <= 0 ||
      value > kLongestSeconds) {
    return std::nullopt;
  }
  return value;
}

}  // namespace koralctl
