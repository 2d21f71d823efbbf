// libFuzzer target: IPv4 address texts, as the network connection window's IP
// box and the IP address tool's address box read them.
// - An address the IP box accepts prints back to a text it reads the same way,
//   and the address tool reads the same four octets from it.
// - The address tool writes, for any text, one frame 01 10 .. 03 without a
//   3 inside, followed by the query.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_fakes.h"
#include "link/ipv4_address.h"
#include "net/ip_setting_model.h"

namespace {

using namespace koral;

// The tool's write and query for the octets `text` reads as.
ByteString ExpectedBytes(std::string_view text) {
  ByteString bytes = IpWriteMessage(ParseIpOctets(text));
  bytes.insert(bytes.end(), kIpQueryMessage.begin(), kIpQueryMessage.end());
  return bytes;
}

void CheckWriteMessage(const ByteString& message) {
  if (message.size() < 7 || message.front() != kFrameStart || message[1] != kIpWriteKind) std::abort();
  if (message.back() != kFrameEnd) std::abort();
  for (std::size_t i = 1; i + 1 < message.size(); ++i) {
    if (message[i] == kFrameEnd) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  if (const auto address = ParseIpv4(text)) {
    const std::string printed = FormatIpReply(ByteString(address->begin(), address->end()));
    if (ParseIpv4(printed) != address) std::abort();
    // The IP box also allows vertical tabs and form feeds around the address,
    // which the address tool does not trim.
    if (text.find_first_of("\v\f") == std::string_view::npos && ParseIpOctets(text) != *address) std::abort();
  }

  const IpOctets octets = ParseIpOctets(text);
  CheckWriteMessage(IpWriteMessage(octets));
  if (ParseIpOctets(FormatIpReply(ByteString(octets.begin(), octets.end()))) != octets) std::abort();

  // The address window as the user drives it: type, then Set_IP.
  fuzzing::FakeClock clock;
  fuzzing::FakeSerialPorts ports{clock};
  Transport transport(LinkMode::Serial, clock, &ports, nullptr, nullptr);
  transport.OpenSerialPort(1, kIpToolBaud);
  IpAddressModel window(transport, clock);
  window.Show();
  window.SetAddressText(text);
  if (window.AddressText().size() > text.size() || !text.starts_with(window.AddressText())) std::abort();
  window.SetIp();
  const ByteString written = ports.Fake(1).WrittenBytes();
  if (window.AddressText().empty() ? !written.empty() : written != ExpectedBytes(window.AddressText())) std::abort();
  return 0;
}
