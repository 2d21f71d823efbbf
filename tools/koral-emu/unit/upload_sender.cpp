#include "unit/upload_sender.h"

#include <span>

#include "unit/commands.h"

namespace koral::emu {
namespace {

constexpr std::size_t kZoneQuarter = kZoneCellCount / 4;
constexpr std::size_t kTitleCharacterBytes = 2 * kTitleLength;  // Title 0..15; Title 16 travels in 0x23
constexpr std::size_t kBankRegisterBytes = 40;                  // from Register 20
constexpr std::size_t kLastRegistersByte = 148;                 // Registers 74..77 travel apart

template <std::size_t N>
void Append(Bytes& out, const std::array<std::uint8_t, N>& from, std::size_t first, std::size_t end) {
  out.insert(out.end(), from.begin() + static_cast<std::ptrdiff_t>(first),
             from.begin() + static_cast<std::ptrdiff_t>(end));
}

}  // namespace

Bytes UploadBlockData(const RegisterBanks& banks, std::uint8_t block) {
  const RegisterBank& day = banks.Bank(BankId::Day);
  const RegisterBank& night = banks.Bank(BankId::Night);
  Bytes data;
  if (block == 0x12) {
    Append(data, day.registers, 0, kBankRegisterBytes);
  } else if (block >= 0x13 && block <= 0x16) {
    const std::size_t quarter = block - 0x13u;
    Append(data, day.zones, quarter * kZoneQuarter, (quarter + 1) * kZoneQuarter);
  } else if (block == 0x17) {
    Append(data, day.title, 0, kTitleCharacterBytes);
  } else if (block == 0x18) {
    Append(data, day.registers, kBankRegisterBytes, kLastRegistersByte);
  } else if (block == 0x19) {
    Append(data, day.registers, kLastRegistersByte, day.registers.size());
  } else if (block >= 0x1A && block <= 0x1D) {
    const std::size_t quarter = block - 0x1Au;
    Append(data, night.zones, quarter * kZoneQuarter, (quarter + 1) * kZoneQuarter);
  } else if (block == 0x1E) {
    Append(data, night.title, 0, kTitleCharacterBytes);
  } else if (block == 0x1F) {
    Append(data, night.registers, kBankRegisterBytes, kLastRegistersByte);
  } else if (block == 0x23) {
    Append(data, day.title, kTitleCharacterBytes, day.title.size());
  } else if (block == kLastUploadBlock) {
    Append(data, day.dateTime, kFirstKeptDateTimeByte, day.dateTime.size());
    Append(data, night.registers, kLastRegistersByte, night.registers.size());
  }
  return data;
}

std::vector<UploadFrame> ComposeUploadFrames(const RegisterBanks& banks) {
  std::vector<UploadFrame> frames;
  for (const UploadBlockLayout& layout : kUploadBlocks) {
    const Bytes data = UploadBlockData(banks, layout.block);
    const std::span<const std::uint8_t> all(data);
    for (int i = 0; i < layout.frames; ++i) {
      UploadFrame frame{layout.block, i, layout.frames, {kReplyStart, layout.block}};
      const auto part =
          all.subspan(static_cast<std::size_t>(i * layout.dataPerFrame), static_cast<std::size_t>(layout.dataPerFrame));
      frame.bytes.insert(frame.bytes.end(), part.begin(), part.end());
      frame.bytes.push_back(kReplyEnd);
      frames.push_back(std::move(frame));
    }
  }
  return frames;
}

std::string DescribeUploadFrame(const UploadFrame& frame) {
  return "upload frame " + HexByte(frame.block) + " (" + std::to_string(frame.indexInBlock + 1) + " of " +
         std::to_string(frame.framesInBlock) + ")";
}

void UploadSender::Start(const RegisterBanks& banks) {
  frames_ = ComposeUploadFrames(banks);
  next_ = 0;
}

}  // namespace koral::emu
