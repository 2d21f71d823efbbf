// The traffic of one transfer as the unit saw it: every byte it received and
// every frame it sent, each with its moment in microseconds. koral-emu writes
// it with --stamp; the virtual run produces the same from the protocol alone.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace koral::bench {

struct TrafficEntry {
  std::int64_t us = 0;
  bool received = false;  // a byte the unit received; otherwise a frame it sent
  std::vector<std::uint8_t> bytes;
};

using Traffic = std::vector<TrafficEntry>;

// Reads the lines "rx <us> <hex>" and "tx <us> <hex> ..."; the reason it
// could not, if any.
std::variant<Traffic, std::string> ReadTraffic(const std::string& path);

// The bytes the unit received from the first 0x98 (a transfer's opening) on,
// with their moments, the moment of the byte before, and that of the last
// frame the unit sent in between (0 for none): a wait of the protocol counts
// from a byte the PC sent or from a frame it is answering.
struct ReceivedByte {
  std::int64_t us;
  std::uint8_t byte;
  std::int64_t previousUs;
  std::int64_t frameUs;
};
std::vector<ReceivedByte> TransferBytes(const Traffic& traffic);

}  // namespace koral::bench
