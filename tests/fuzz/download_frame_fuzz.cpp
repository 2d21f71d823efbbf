// libFuzzer target: the emulated unit's side of a download. Input: the unit's
// own address, then frame bodies (the bytes between C0 and CF) separated by
// CF, which no body can hold. Every body is parsed; those that parse go into
// the banks as the unit takes them, and the Date-Time frame sets its clock.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <variant>

#include "unit/download_receiver.h"
#include "unit/unit_date_clock.h"

namespace {

constexpr std::uint8_t kFrameEnd = 0xCF;
constexpr std::int64_t kFourHundredDaysMs = 400LL * 24 * 60 * 60 * 1000;

void CheckMoment(const koral::emu::CivilTime& t) {
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace koral;
  if (size == 0) return 0;
  const std::uint8_t ownAddress = data[0];
  RegisterBanks banks;
  emu::DownloadReceiver receiver;
  receiver.Begin();
  int taken = 0;
  std::span<const std::uint8_t> rest(data + 1, size - 1);
  while (!rest.empty()) {
    const auto end = std::find(rest.begin(), rest.end(), kFrameEnd);
    const auto body = rest.first(static_cast<std::size_t>(end - rest.begin()));
    rest = end == rest.end() ? rest.last(0) : rest.subspan(body.size() + 1);

    const auto parsed = emu::ParseDownloadFrame(body);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
      if (error->empty()) std::abort();
      continue;
    }
    const auto& frame = std::get<emu::DownloadFrame>(parsed);
    if (frame.block < 0 || frame.block >= static_cast<int>(emu::kDownloadBlocks.size())) std::abort();
    if (frame.data.size() != 2 * static_cast<std::size_t>(frame.count)) std::abort();
    if (emu::DescribeDownloadFrame(frame).empty()) std::abort();
    if (!receiver.Active()) continue;

    const auto outcome = receiver.Take(frame, ownAddress, banks);
    ++taken;
    if (outcome.description.empty()) std::abort();
    if (outcome.stored && frame.block == emu::kDownloadBlocks[0].block) {
      if (const auto time = emu::CivilTimeFromDateTime(banks.Bank(BankId::Day).dateTime)) {
        CheckMoment(*time);
        // The unit's clock runs on from it, across month and year ends.
        const emu::UnitDateClock clock(*time, 0);
        CheckMoment(clock.Now(kFourHundredDaysMs));
      }
    }
    if (outcome.completed) receiver.End();
  }
  if (receiver.StoredFrames() > taken) std::abort();
  return 0;
}
