// libFuzzer target: one output frame decoded as every output type, inside and
// outside an upload. Every line ends in CR LF, a status is reported only with
// the lines that show it, and only event-log records depend on the upload.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "monitor/output_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const koral::ByteString frame(data, data + size);
  for (int type = -1; type <= koral::kOutputTypeCount; ++type) {  // one beyond each end, too
    const auto idle = koral::DecodeOutputFrame(frame, type, false);
    const auto uploading = koral::DecodeOutputFrame(frame, type, true);
    for (const auto& line : idle.lines) {
      if (!line.ends_with("\r\n")) std::abort();
    }
    if (idle.lines.size() > 4) std::abort();
    if (idle.videoLost && idle.lines.empty()) std::abort();
    if (type == koral::kEventLog) {
      if (!uploading.lines.empty()) std::abort();
    } else if (uploading.lines != idle.lines || uploading.videoLost != idle.videoLost) {
      std::abort();
    }
    if ((type < 0 || type >= koral::kOutputTypeCount) && !idle.lines.empty()) std::abort();
  }
  return 0;
}
