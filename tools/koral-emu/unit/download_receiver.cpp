#include "unit/download_receiver.h"

#include <algorithm>

#include "model/data_byte.h"
#include "unit/commands.h"

namespace koral::emu {
namespace {

constexpr std::size_t kHeaderLength = 8;  // address, count and block pairs, the D0 D0 marker

enum class Destination { DateTime, SharedRegisters, BankRegisters, Title, ZonesFirstHalf, ZonesSecondHalf };

constexpr std::array<Destination, kDownloadBlocks.size()> kDestinations = {
    Destination::DateTime, Destination::SharedRegisters, Destination::BankRegisters,
    Destination::Title,    Destination::ZonesFirstHalf,  Destination::ZonesSecondHalf,
};

constexpr std::size_t kFirstBankRegisterByte = 40;  // Register 20 onwards differs per bank
constexpr std::size_t kZoneHalf = kZoneCellCount / 2;
constexpr std::size_t kRelayStateByte = 2 * 16;  // Title 16

std::string PairText(std::span<const std::uint8_t> pair) {
  return Hex(pair);
}

// Copies `data` into `target` from byte `first` on.
template <std::size_t N>
void StoreAt(std::array<std::uint8_t, N>& target, std::size_t first, std::span<const std::uint8_t> data) {
  std::copy(data.begin(), data.end(), target.begin() + static_cast<std::ptrdiff_t>(first));
}

std::string Range(const char* bank, const char* what, std::size_t first, std::size_t count) {
  return std::string(bank) + " " + what + " " + std::to_string(first) + ".." + std::to_string(first + count - 1);
}

}  // namespace

std::variant<DownloadFrame, std::string> ParseDownloadFrame(std::span<const std::uint8_t> body) {
  if (body.size() < kHeaderLength) {
    return "too short (" + std::to_string(body.size()) + " bytes after C0)";
  }
  for (std::size_t i = 0; i < 6; ++i) {
    if (!IsDataByte(body[i])) {
      static constexpr const char* kPairs[] = {"address", "count", "block"};
      return std::string("malformed ") + kPairs[i / 2] + " pair " + PairText(body.subspan(i - i % 2, 2));
    }
  }
  if (body[6] != cmd::kFirstDataByte || body[7] != cmd::kFirstDataByte) {
    return "wrong marker " + PairText(body.subspan(6, 2)) + " (D0 D0 expected)";
  }
  DownloadFrame frame;
  frame.address = JoinDataBytes(body[0], body[1]);
  frame.count = JoinDataBytes(body[2], body[3]);
  frame.block = JoinDataBytes(body[4], body[5]);
  frame.data.assign(body.begin() + kHeaderLength, body.end());
  if (frame.block >= static_cast<int>(kDownloadBlocks.size())) {
    return "unknown block " + std::to_string(frame.block);
  }
  const DownloadBlockLayout& layout = kDownloadBlocks[static_cast<std::size_t>(frame.block)];
  if (frame.count != layout.count) {
    return "wrong count " + std::to_string(frame.count) + " (" + std::string(layout.name) + " carries " +
           std::to_string(layout.count) + ")";
  }
  if (frame.data.size() != 2 * static_cast<std::size_t>(frame.count)) {
    return "wrong length: " + std::to_string(frame.data.size()) + " data bytes for " + std::to_string(frame.count) +
           " registers";
  }
  return frame;
}

std::string DescribeDownloadFrame(const DownloadFrame& frame) {
  return "download frame block " + std::to_string(frame.block) + ", " + std::to_string(frame.count) +
         " registers, address " + HexByte(frame.address);
}

void DownloadReceiver::Begin() {
  active_ = true;
  seen_ = {};
  stored_ = 0;
}

DownloadReceiver::Outcome DownloadReceiver::Take(const DownloadFrame& frame, std::uint8_t ownAddress,
                                                 RegisterBanks& banks) {
  const auto block = static_cast<std::size_t>(frame.block);
  const int place = seen_[block]++;
  const DownloadBlockLayout& layout = kDownloadBlocks[block];
  const Destination destination = kDestinations[block];
  const bool perBank = destination != Destination::DateTime && destination != Destination::SharedRegisters;
  const bool completes = destination == Destination::BankRegisters && place == 1;

  Outcome outcome;
  outcome.completed = completes;
  if (frame.address != ownAddress && frame.address != kBroadcastAddress) {
    outcome.description = "wrong address (this unit is " + HexByte(ownAddress) + "), ignored";
    return outcome;
  }
  if (perBank && place > 1) {
    outcome.description = "a third " + std::string(layout.name) + " frame, ignored";
    return outcome;
  }

  const BankId bankId = place == 0 ? BankId::Day : BankId::Night;
  const char* bankName = BankName(bankId);
  RegisterBank& bank = banks.Bank(bankId);
  RegisterBank& night = banks.Bank(BankId::Night);
  const std::span<const std::uint8_t> data(frame.data);
  switch (destination) {
    case Destination::DateTime: {
      RegisterBank& day = banks.Bank(BankId::Day);
      StoreAt(day.dateTime, 0, data);
      StoreAt(night.dateTime, kFirstKeptDateTimeByte, data.subspan(kFirstKeptDateTimeByte));
      outcome.description = "DAY Date-Time bytes 0..17, alarm counter and daylight saving also NIGHT";
      break;
    }
    case Destination::SharedRegisters:
      StoreAt(banks.Bank(BankId::Day).registers, 0, data);
      StoreAt(night.registers, 0, data);
      outcome.description = "DAY and NIGHT Register bytes 0..39";
      break;
    case Destination::BankRegisters:
      StoreAt(bank.registers, kFirstBankRegisterByte, data);
      outcome.description = Range(bankName, "Register bytes", kFirstBankRegisterByte, data.size());
      break;
    case Destination::Title:
      StoreAt(bank.title, 0, data);
      if (bankId == BankId::Day) StoreAt(night.title, kRelayStateByte, data.subspan(kRelayStateByte));
      outcome.description = Range(bankName, "Title bytes", 0, data.size());
      if (bankId == BankId::Day) outcome.description += ", relay state also NIGHT";
      break;
    case Destination::ZonesFirstHalf:
      StoreAt(bank.zones, 0, data);
      outcome.description = Range(bankName, "zone cells", 0, data.size());
      break;
    case Destination::ZonesSecondHalf:
      StoreAt(bank.zones, kZoneHalf, data);
      outcome.description = Range(bankName, "zone cells", kZoneHalf, data.size());
      break;
  }
  ++stored_;
  outcome.stored = true;
  return outcome;
}

}  // namespace koral::emu
