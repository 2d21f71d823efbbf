// libFuzzer target: an event datagram decoded as the UDP monitor does. Only a
// 17-byte frame shows anything, and then five lines ending in CR LF; the
// mailbox is emptied exactly when the decode says so.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "net/event_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const koral::ByteString frame(data, data + size);
  const koral::DecodedEvent event = koral::DecodeEventFrame(frame);
  if (!event.lines.empty()) {
    if (size != koral::kEventFrameLength || event.lines.size() != 5 || !event.videoLost) std::abort();
    for (const auto& line : event.lines) {
      if (!line.ends_with("\r\n")) std::abort();
    }
  } else if (event.videoLost) {
    std::abort();
  }
  if (!frame.empty() && size != koral::kEventFrameLength && event.monitorFrame != koral::MonitorFrameAfter::Emptied)
    std::abort();

  koral::Mailboxes mailboxes;
  mailboxes.monitor = frame;
  const koral::DecodedEvent again = koral::recievedata(mailboxes);
  if (again.lines != event.lines) std::abort();
  if (mailboxes.monitor.empty() != (event.monitorFrame == koral::MonitorFrameAfter::Emptied || frame.empty()))
    std::abort();
  return 0;
}
