#include "link/ipv4_address.h"

#include <charconv>

namespace koral {
namespace {

constexpr std::string_view kBlanks = " \t\r\n\v\f";
constexpr std::size_t kMaxDigits = 3;

}  // namespace

std::optional<Ipv4Address> ParseIpv4(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(kBlanks) - first + 1);

  Ipv4Address address{};
  for (std::size_t i = 0; i < address.size(); ++i) {
    const std::size_t dot = text.find('.');
    const std::string_view field = text.substr(0, dot);
    if (field.empty() || field.size() > kMaxDigits || (field.size() > 1 && field[0] == '0')) return std::nullopt;
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (ec != std::errc() || end != field.data() + field.size() || value > 255) return std::nullopt;
    address[i] = static_cast<std::uint8_t>(value);
    const bool last = i + 1 == address.size();
    if (last != (dot == std::string_view::npos)) return std::nullopt;
    if (!last) text.remove_prefix(dot + 1);
  }
  return address;
}

}  // namespace koral
