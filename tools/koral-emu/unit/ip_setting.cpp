#include "unit/ip_setting.h"

#include <algorithm>
#include <vector>

namespace koral::emu {
namespace {

constexpr std::uint8_t kEscapedValue = 3;
constexpr std::uint8_t kMessageEnd = 0x03;

bool EscapeAt(std::span<const std::uint8_t> body, std::size_t at) {
  return body.size() - at >= kEscapedThree.size() &&
         std::equal(kEscapedThree.begin(), kEscapedThree.end(), body.begin() + static_cast<std::ptrdiff_t>(at));
}

bool DecodeFrom(std::span<const std::uint8_t> body, std::size_t at, std::vector<std::uint8_t>& octets) {
  if (at == body.size()) return octets.size() == 4;
  if (octets.size() == 4) return false;
  if (EscapeAt(body, at)) {
    octets.push_back(kEscapedValue);
    if (DecodeFrom(body, at + kEscapedThree.size(), octets)) return true;
    octets.pop_back();
  }
  octets.push_back(body[at]);
  if (DecodeFrom(body, at + 1, octets)) return true;
  octets.pop_back();
  return false;
}

}  // namespace

std::optional<Ipv4Address> DecodeIpOctets(std::span<const std::uint8_t> body) {
  std::vector<std::uint8_t> octets;
  if (!DecodeFrom(body, 0, octets)) return std::nullopt;
  return Ipv4Address{octets[0], octets[1], octets[2], octets[3]};
}

Bytes EncodeIpOctets(const Ipv4Address& address) {
  Bytes bytes;
  for (const std::uint8_t octet : address) {
    if (octet == kEscapedValue) {
      bytes.insert(bytes.end(), kEscapedThree.begin(), kEscapedThree.end());
    } else {
      bytes.push_back(octet);
    }
  }
  return bytes;
}

std::string IpText(const Ipv4Address& address) {
  std::string text;
  for (const std::uint8_t octet : address) {
    if (!text.empty()) text += '.';
    text += std::to_string(octet);
  }
  return text;
}

bool IpMessageReader::Start(std::uint8_t second) {
  if (second != kIpWrite && second != kIpQuery) return false;
  active_ = true;
  kind_ = second == kIpWrite ? Kind::Write : Kind::Query;
  body_.clear();
  return true;
}

std::optional<IpMessageReader::Message> IpMessageReader::Feed(std::uint8_t byte) {
  if (byte != kMessageEnd) {
    body_.push_back(byte);
    if (body_.size() <= kLongestBody) return std::nullopt;
  }
  active_ = false;
  Message message{kind_, std::nullopt, false, body_};
  if (byte == kMessageEnd) {
    if (kind_ == Kind::Write) {
      message.address = DecodeIpOctets(body_);
      message.valid = message.address.has_value();
    } else {
      message.valid = std::equal(body_.begin(), body_.end(), kIpQueryBody.begin(), kIpQueryBody.end());
    }
  }
  return message;
}

}  // namespace koral::emu
