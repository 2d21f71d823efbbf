// libFuzzer target: the upload's unpacking. Arbitrary frames go through the
// serial or the network collector, then the collected blocks into both banks.
// Input: one byte (bit 0: an upload runs, bit 1: the network link), then
// frames, each a length byte followed by up to that many bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "fuzz_fakes.h"
#include "link/upload.h"

namespace {

using namespace koral;

// A block holds whole frames only: it begins with a frame start and ends with
// a frame end.
void CheckBlocks(const UploadBlocks& blocks) {
  for (const ByteString& block : blocks) {
    if (!block.empty() && !IsFramed(block)) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool network = (data[0] & 2) != 0;
  fuzzing::FakeClock clock;
  fuzzing::FakeSerialPorts ports{clock};
  fuzzing::FakeUdpSocket socket{clock};
  Transport transport(network ? LinkMode::Udp : LinkMode::Serial, clock, &ports, &socket, nullptr);
  transport.OpenSerialPort(1, 4800);
  TransferState state;
  state.uploadActive = (data[0] & 1) != 0;
  Mailboxes mailboxes;
  fuzzing::SilentHost host;
  UploadCollector collector(transport, state, mailboxes, host);

  RegisterBanks banks;
  std::span<const std::uint8_t> rest(data + 1, size - 1);
  while (!rest.empty()) {
    const std::size_t length = std::min<std::size_t>(rest[0], rest.size() - 1);
    const ByteString frame(rest.begin() + 1, rest.begin() + 1 + static_cast<std::ptrdiff_t>(length));
    network ? collector.CollectNetworkUploadFrame(frame) : collector.CollectUploadFrame(frame);
    if (host.progress < 0 || host.progress > 100) std::abort();
    CheckBlocks(state.uploadBlocks);
    // The unpack timer runs while frames arrive: blocks cut short anywhere.
    DecodeUploadBlocks(state.uploadBlocks, banks);
    rest = rest.subspan(1 + length);
  }

  // Unpacking the same blocks again changes nothing.
  const RegisterBank day = banks.Bank(BankId::Day);
  const RegisterBank night = banks.Bank(BankId::Night);
  DecodeUploadBlocks(state.uploadBlocks, banks);
  if (banks.Bank(BankId::Day) != day || banks.Bank(BankId::Night) != night) std::abort();
  // No blocks leave the banks as they are.
  DecodeUploadBlocks(UploadBlocks{}, banks);
  if (banks.Bank(BankId::Day) != day || banks.Bank(BankId::Night) != night) std::abort();
  return 0;
}
