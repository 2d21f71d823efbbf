#include "traffic.h"

#include <fstream>
#include <sstream>

namespace koral::bench {

std::variant<Traffic, std::string> ReadTraffic(const std::string& path) {
  std::ifstream in(path);
  if (!in) return "cannot read " + path;
  Traffic traffic;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::istringstream fields(line);
    std::string kind;
    TrafficEntry entry;
    fields >> kind >> entry.us;
    if ((kind != "rx" && kind != "tx") || !fields) return path + ":" + std::to_string(number) + ": not a traffic line";
    entry.received = kind == "rx";
    unsigned value = 0;
    while (fields >> std::hex >> value)
      entry.bytes.push_back(static_cast<std::uint8_t>(value));
    traffic.push_back(std::move(entry));
  }
  return traffic;
}

std::vector<ReceivedByte> TransferBytes(const Traffic& traffic) {
  constexpr std::uint8_t kTransferOpening = 0x98;
  std::vector<ReceivedByte> bytes;
  std::int64_t previousUs = 0;
  std::int64_t frameUs = 0;
  for (const TrafficEntry& entry : traffic) {
    if (!entry.received) {
      frameUs = entry.us;
      continue;
    }
    for (const std::uint8_t byte : entry.bytes) {
      if (!bytes.empty() || byte == kTransferOpening) bytes.push_back({entry.us, byte, previousUs, frameUs});
      previousUs = entry.us;
      frameUs = 0;
    }
  }
  return bytes;
}

}  // namespace koral::bench
