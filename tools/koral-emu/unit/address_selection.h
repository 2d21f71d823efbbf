// QT-MX units share one line; the keypad picks one by sending its address
// (0..127) and then 0xB3. Only the selected unit answers and obeys keys;
// UNADDRESS lets it go. A QT-1RX is alone on its line and always selected.
#pragma once

#include <cstdint>
#include <optional>

namespace koral::emu {

class AddressSelection {
 public:
  explicit AddressSelection(bool sharedLine) : sharedLine_(sharedLine), selected_(!sharedLine) {}

  bool SharedLine() const { return sharedLine_; }
  bool Selected() const { return selected_; }
  std::optional<std::uint8_t> Pending() const { return pending_; }

  void Address(std::uint8_t address) { pending_ = address; }
  // 0xB3: the unit is selected when the last address byte was its own.
  bool EndOfSelection(std::uint8_t ownAddress) {
    if (sharedLine_) selected_ = pending_ == ownAddress;
    pending_.reset();
    return selected_;
  }
  void Unaddress() {
    if (sharedLine_) selected_ = false;
    pending_.reset();
  }

 private:
  bool sharedLine_;
  bool selected_;
  std::optional<std::uint8_t> pending_;
};

}  // namespace koral::emu
