#include "model/register_bank.h"

#include <algorithm>
#include <span>
#include <type_traits>

#include "model/data_byte.h"

namespace koral {
namespace {

// The bytes of one register inside a bank, or an empty span when the class
// byte is foreign or the index lies outside the class.
template <typename Bank>
using ByteSpan = std::span<std::conditional_t<std::is_const_v<Bank>, const std::uint8_t, std::uint8_t>>;

template <typename Bank>
ByteSpan<Bank> RegisterBytes(Bank& bank, RegisterAddress address) {
  if (address.index < 0 || address.index >= RegisterCount(address.cls)) return {};
  const auto i = static_cast<std::size_t>(address.index);
  switch (address.cls) {
    case RegisterClass::Register:
      return std::span(bank.registers).subspan(2 * i, 2);
    case RegisterClass::Title:
      return std::span(bank.title).subspan(2 * i, 2);
    case RegisterClass::DateTime:
      return std::span(bank.dateTime).subspan(2 * i, 2);
    case RegisterClass::Zone:
      return std::span(bank.zones).subspan(i, 1);
  }
  return {};
}

void Store(std::span<std::uint8_t> bytes, std::uint8_t value) {
  if (bytes.size() == 2) {
    bytes[0] = HighDataByte(value);
    bytes[1] = LowDataByte(value);
  } else if (bytes.size() == 1) {
    bytes[0] = ToDataByte(value);
  }
}

}  // namespace

std::uint8_t ReadRegister(const RegisterBank& bank, RegisterAddress address) {
  const auto bytes = RegisterBytes(bank, address);
  if (bytes.size() == 2) return JoinDataBytes(bytes[0], bytes[1]);
  if (bytes.size() == 1) return bytes[0];
  return 0;
}

void RegisterBanks::WriteRegister(RegisterAddress address, std::uint8_t value) {
  settingsModified_ = true;
  Store(RegisterBytes(Active(), address), value);
  const Sharing sharing = SharingOf(address);
  if (sharing == Sharing::BothWays || (sharing == Sharing::DayToNight && active_ == BankId::Day)) {
    Store(RegisterBytes(Bank(OtherBank(active_)), address), value);
  }
}

MotionParameterSet& ParameterSetOfMode(RegisterBank& bank) {
  return ReadRegister(bank, reg::kMotionMode) == reg::kMotionModePtz ? bank.ptzSet : bank.normalSet;
}

MotionParameterSet& RegisterBanks::ActiveParameterSet() {
  return ParameterSetOfMode(Active());
}

void RegisterBanks::LoadMotionParameterSet() {
  const MotionParameterSet set = ActiveParameterSet();
  for (int k = 0; k < reg::kMotionParameterCount; ++k) {
    WriteRegister(reg::MotionParameter(k), set[static_cast<std::size_t>(k)]);
  }
}

void RegisterBanks::AdoptMotionRegisters() {
  for (const BankId id : {BankId::Day, BankId::Night}) {
    RegisterBank& bank = Bank(id);
    MotionParameterSet& set = ParameterSetOfMode(bank);
    for (int k = 0; k < reg::kMotionParameterCount; ++k) {
      set[static_cast<std::size_t>(k)] = koral::ReadRegister(bank, reg::MotionParameter(k));
    }
  }
}

void RegisterBanks::CopyBank(BankId from, BankId to) {
  const RegisterBank& source = Bank(from);
  RegisterBank& target = Bank(to);
  target.zones = source.zones;
  target.title = source.title;
  std::copy(source.dateTime.begin() + kFirstKeptDateTimeByte, source.dateTime.end(),
            target.dateTime.begin() + kFirstKeptDateTimeByte);
  target.registers = source.registers;
  target.normalSet = source.normalSet;
  target.ptzSet = source.ptzSet;
}

}  // namespace koral
