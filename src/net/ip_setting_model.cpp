#include "net/ip_setting_model.h"

#include <charconv>
#include <span>

namespace koral {
namespace {

constexpr char kFieldSeparator = '.';
constexpr std::string_view kBlanks = " \t\r\n";
constexpr std::uint8_t kEscapedOctet = 3;

std::string_view Trimmed(std::string_view field) {
  const std::size_t first = field.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const std::size_t last = field.find_last_not_of(kBlanks);
  return field.substr(first, last - first + 1);
}

// A decimal byte 0..255 and nothing else, or 0.
std::uint8_t OctetValue(std::string_view field) {
  field = Trimmed(field);
  unsigned value = 0;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value);
  if (field.empty() || error != std::errc() || stop != end || value > 255) return 0;
  return static_cast<std::uint8_t>(value);
}

// The first `count` characters of UTF-8 text, never cutting one in half.
std::string_view FirstCharacters(std::string_view text, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool continuation = (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
    if (!continuation && characters++ == count) return text.substr(0, i);
  }
  return text;
}

}  // namespace

IpOctets ParseIpOctets(std::string_view text) {
  IpOctets octets{};
  std::size_t index = 0;
  std::size_t begin = 0;
  while (index < octets.size() && begin <= text.size()) {
    std::size_t end = text.find(kFieldSeparator, begin);
    if (end == std::string_view::npos) end = text.size();
    octets[index++] = OctetValue(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return octets;
}

ByteString Setmacaddress(const IpOctets& octets) {
  ByteString part;
  for (const std::uint8_t octet : octets) {
    if (octet == kEscapedOctet) {
      part.insert(part.end(), kIpEscapedThree.begin(), kIpEscapedThree.end());
    } else {
      part.push_back(octet);
    }
  }
  return part;
}

ByteString IpWriteMessage(const IpOctets& octets) {
  ByteString message = {kFrameStart, kIpWriteKind};
  const ByteString address = Setmacaddress(octets);
  message.insert(message.end(), address.begin(), address.end());
  message.push_back(kFrameEnd);
  return message;
}

std::string FormatIpReply(const ByteString& bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text += kFieldSeparator;
    text += std::to_string(bytes[i]);
  }
  return text;
}

// ---- setIPAdd ----

IpAddressModel::IpAddressModel(Transport& transport, Clock& clock) : transport_(transport), clock_(clock) {}

void IpAddressModel::Show() {
  if (!loaded_) {
    loaded_ = true;
    StartTimer();
  }
  visible_ = true;
}

void IpAddressModel::Activate() {
  presentAddress_.clear();
  SerialOutAll(kIpQueryMessage);
}

void IpAddressModel::SetAddressText(std::string_view text) {
  addressText_ = FirstCharacters(text, kMaxAddressCharacters);
}

void IpAddressModel::SetIp() {
  if (addressText_.empty()) return;
  SerialOutAll(IpWriteMessage(ParseIpOctets(addressText_)));
  presentAddress_.clear();
  SerialOutAll(kIpQueryMessage);
  StartTimer();
}

void IpAddressModel::TimerTick() {
  if (timerPeriodMs_ == 0) return;  // a tick that was already due when the timer stopped
  ByteString reply;
  if (transport_.SendPortOpened() && transport_.Ports() != nullptr) {
    SerialPort& port = transport_.Ports()->Port(transport_.SendPort());
    for (ByteString chunk = port.Read(kReadLimit); !chunk.empty(); chunk = port.Read(kReadLimit))
      reply.insert(reply.end(), chunk.begin(), chunk.end());
  }
  presentAddress_ = FormatIpReply(reply);
  timerPeriodMs_ = 0;
}

void IpAddressModel::SerialOut(std::uint8_t byte) {
  if (transport_.SendPortOpened() && transport_.Ports() != nullptr)
    transport_.Ports()->Port(transport_.SendPort()).Write(std::span(&byte, 1));
  clock_.Sleep(kByteGapMs);
}

void IpAddressModel::StartTimer() {
  timerPeriodMs_ = kReadBackMs;
  timerStartedAtMs_ = clock_.NowMs();
}

// ---- setIP ----

IpPortModel::IpPortModel(Transport& transport, IpAddressModel& addressWindow)
    : transport_(transport), addressWindow_(addressWindow) {}

std::optional<PortOpenFailure> IpPortModel::Choose(int position) {
  if (position < 0 || position >= static_cast<int>(kIpPortEntries.size())) return std::nullopt;
  selection_ = position;
  transport_.OpenSerialPort(position + 1, kIpToolBaud);
  visible_ = false;
  addressWindow_.Show();
  if (!transport_.PortError()) return std::nullopt;
  return PortOpenFailure{std::string(kErrorTitle), transport_.PortErrorText()};
}

}  // namespace koral
