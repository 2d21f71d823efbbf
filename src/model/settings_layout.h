// The order of the bytes in a settings file: for DAY then NIGHT the zone map,
// the title, Date-Time bytes 14..17 and the registers; then the parameter sets
// DAY normal, DAY PTZ, NIGHT normal, NIGHT PTZ.
#pragma once

#include <type_traits>

#include "model/register_bank.h"

namespace koral {

// Calls visit(line, byte) for every line of the file, in file order, with the
// bank byte it holds (a reference, const when the banks are).
template <typename Banks, typename Visit>
requires std::is_same_v<std::remove_const_t<Banks>, RegisterBanks>
void ForEachSettingsField(Banks& banks, Visit&& visit) {
  int line = 0;
  const auto each = [&](auto& bytes, std::size_t first = 0) {
    for (std::size_t i = first; i < bytes.size(); ++i)
      visit(line++, bytes[i]);
  };
  for (const BankId id : {BankId::Day, BankId::Night}) {
    auto& bank = banks.Bank(id);
    each(bank.zones);
    each(bank.title);
    each(bank.dateTime, kFirstKeptDateTimeByte);
    each(bank.registers);
  }
  for (const BankId id : {BankId::Day, BankId::Night}) {
    auto& bank = banks.Bank(id);
    each(bank.normalSet);
    each(bank.ptzSet);
  }
}

}  // namespace koral
