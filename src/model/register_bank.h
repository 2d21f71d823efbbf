// The DAY and NIGHT register banks: byte images in link form, the active-bank
// selector, register reads and writes with the shared-register rule, and the
// Day/Night copies.
#pragma once

#include <array>
#include <cstdint>

#include "model/register_map.h"

namespace koral {

// Copies of Registers 46..77 kept per bank: one set for the normal motion
// modes, one for PTZ. Byte k is the value of Register 46 + k.
using MotionParameterSet = std::array<std::uint8_t, reg::kMotionParameterCount>;

struct RegisterBank {
  std::array<std::uint8_t, 2 * kRegisterCount> registers{};
  std::array<std::uint8_t, 2 * kTitleCount> title{};
  std::array<std::uint8_t, kZoneCellCount> zones{};
  std::array<std::uint8_t, 2 * kDateTimeCount> dateTime{};
  MotionParameterSet normalSet{};
  MotionParameterSet ptzSet{};

  friend bool operator==(const RegisterBank&, const RegisterBank&) = default;
};

// The value of a register in one bank (see RegisterBanks::ReadRegister).
std::uint8_t ReadRegister(const RegisterBank& bank, RegisterAddress address);

// The parameter set that belongs to a bank's current motion mode: PTZ or normal.
MotionParameterSet& ParameterSetOfMode(RegisterBank& bank);

enum class BankId { Day, Night };

constexpr BankId OtherBank(BankId bank) {
  return bank == BankId::Day ? BankId::Night : BankId::Day;
}
constexpr const char* BankName(BankId bank) {
  return bank == BankId::Day ? "DAY" : "NIGHT";
}

// Date-Time bytes that travel with the banks (registers 7 and 8); the clock
// registers 0..6 before them are filled from the PC clock and never copied.
inline constexpr int kFirstKeptDateTimeByte = 14;

class RegisterBanks {
 public:
  BankId ActiveBank() const { return active_; }
  void SetActiveBank(BankId bank) { active_ = bank; }

  // Reads the active bank. Zone cells come back as stored (callers mask the
  // nibble); a foreign class byte or an index outside the class reads 0.
  std::uint8_t ReadRegister(RegisterAddress address) const { return koral::ReadRegister(Active(), address); }

  // Writes the active bank and mirrors shared registers into the other one.
  // Always marks the settings modified, even when nothing could be stored.
  void WriteRegister(RegisterAddress address, std::uint8_t value);

  bool SettingsModified() const { return settingsModified_; }
  void SetSettingsModified(bool modified) { settingsModified_ = modified; }

  RegisterBank& Bank(BankId bank) { return bank == BankId::Day ? day_ : night_; }
  const RegisterBank& Bank(BankId bank) const { return bank == BankId::Day ? day_ : night_; }
  RegisterBank& Active() { return Bank(active_); }
  const RegisterBank& Active() const { return Bank(active_); }

  // The parameter set that matches the active bank's current motion mode.
  MotionParameterSet& ActiveParameterSet();

  // Registers 46..77 of the active bank from its active parameter set.
  void LoadMotionParameterSet();

  // Values arrived from outside (a file, the unit): each bank's parameter set of
  // its current mode class takes over that bank's Registers 46..77, so a later
  // mode reload cannot replace them with stale values.
  void AdoptMotionRegisters();

  // Byte-for-byte copies (no mirroring, no modified flag); the clock registers
  // 0..6 of the target stay as they are.
  void CopyDayToNight() { CopyBank(BankId::Day, BankId::Night); }
  void CopyNightToDay() { CopyBank(BankId::Night, BankId::Day); }

 private:
  void CopyBank(BankId from, BankId to);

  RegisterBank day_;
  RegisterBank night_;
  BankId active_ = BankId::Night;  // the shared area starts all zero, and 0 means NIGHT
  bool settingsModified_ = false;
};

}  // namespace koral
