#include "unit/bridge.h"

#include <algorithm>

#include "unit/bytes.h"

namespace koral::emu {
namespace {

constexpr std::array<std::uint8_t, 3> kByteDatagram = {0x01, 0xFE, 0xFF};  // command at index 2, value at 4
constexpr std::uint8_t kLineControl = 0x15;
constexpr std::uint8_t kDataByte = 0x19;
constexpr std::uint8_t kSpeedCode = 0x00;
constexpr std::size_t kByteDatagramLength = 8;

constexpr std::array<std::uint8_t, 4> kDivisorPrefix = {0x02, 0xFD, 0x1A, 0xFF};
constexpr std::size_t kDivisorLength = 9;

constexpr std::array<std::uint8_t, 4> kRegistrationPrefix = {0x0E, 0xF1, 0xD0, 0x02};
constexpr std::size_t kRegistrationLength = 19;
constexpr std::size_t kMacAt = 4;
constexpr std::size_t kIpAt = 10;
constexpr std::size_t kPortAt = 14;

template <std::size_t N>
bool StartsWith(std::span<const std::uint8_t> bytes, const std::array<std::uint8_t, N>& prefix) {
  return bytes.size() >= N && std::equal(prefix.begin(), prefix.end(), bytes.begin());
}

std::string MacText(std::span<const std::uint8_t> mac) {
  std::string text = Hex(mac);
  std::replace(text.begin(), text.end(), ' ', ':');
  return text;
}

}  // namespace

std::optional<std::uint8_t> Bridge::Receive(std::span<const std::uint8_t> datagram, const Endpoint& sender) {
  lastSender_ = sender;
  const std::string from = " from " + sender.address + ":" + std::to_string(sender.port);
  if (datagram.size() == kByteDatagramLength && datagram[0] == kByteDatagram[0] && datagram[1] == kByteDatagram[1] &&
      datagram[3] == kByteDatagram[2]) {
    const std::uint8_t value = datagram[4];
    switch (datagram[2]) {
      case kDataByte:
        return value;
      case kLineControl:
        lineControl_ = value != 0;
        return std::nullopt;
      case kSpeedCode: {
        const auto speed = std::find_if(kBridgeSpeeds.begin(), kBridgeSpeeds.end(),
                                        [value](const BridgeSpeed& s) { return s.code == value; });
        SetSpeed(speed == kBridgeSpeeds.end() ? std::nullopt : std::optional<int>(speed->baud),
                 "speed code " + std::to_string(value) + from);
        return std::nullopt;
      }
      default:
        break;
    }
  }
  if (datagram.size() == kDivisorLength && StartsWith(datagram, kDivisorPrefix)) {
    const auto divisor = static_cast<std::uint16_t>(datagram[4] | datagram[5] << 8);
    const auto speed = std::find_if(kBridgeSpeeds.begin(), kBridgeSpeeds.end(),
                                    [divisor](const BridgeSpeed& s) { return s.divisor == divisor; });
    SetSpeed(speed == kBridgeSpeeds.end() ? std::nullopt : std::optional<int>(speed->baud),
             "baud divisor " + Hex(datagram.subspan(4, 2)) + from);
    return std::nullopt;
  }
  if (datagram.size() == kRegistrationLength && StartsWith(datagram, kRegistrationPrefix)) {
    const auto ip = datagram.subspan(kIpAt, 4);
    Endpoint pc{
        std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." + std::to_string(ip[3]),
        static_cast<std::uint16_t>(datagram[kPortAt] | datagram[kPortAt + 1] << 8)};
    log_("bridge: registration of " + pc.address + ":" + std::to_string(pc.port) + " (hardware address " +
         MacText(datagram.subspan(kMacAt, 6)) + ")" + from + "; frames go there now");
    registered_ = std::move(pc);
    return std::nullopt;
  }
  log_("bridge: unknown datagram of " + std::to_string(datagram.size()) + " bytes" + from + ": " + Hex(datagram));
  return std::nullopt;
}

void Bridge::SetSpeed(std::optional<int> baud, const std::string& how) {
  if (!baud) {
    log_("bridge: " + how + " names no speed, kept " + (baud_ ? std::to_string(*baud_) + " baud" : "as it was"));
    return;
  }
  baud_ = baud;
  log_("bridge: " + how + ": serial side at " + std::to_string(*baud) + " baud");
}

}  // namespace koral::emu
