#include "app/keypad_model.h"

#include <string>

namespace koral {
namespace {

// lblAddr: at least two digits.
std::string TwoDigits(int value) {
  return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

KeypadModel::KeypadModel(const Session& session, Transport& transport, Clock& clock)
    : session_(session), transport_(transport), clock_(clock) {
  Load();
}

void KeypadModel::Load() {
  const bool qtMx = session_.unitModel == UnitModel::QtMx;
  for (const KeypadKeyInfo& info : kKeypadKeys) {
    keyEnabled_[static_cast<std::size_t>(info.key)] =
        info.use == KeypadKeyUse::Both || (info.use == KeypadKeyUse::QtMxOnly) == qtMx;
  }
  selectEnabled_ = qtMx;
  group_ = {0, 0, kAddressGroupCount - 1, false, qtMx};
  address_ = {0, 0, kAddressesPerGroup - 1, false, qtMx};
  groupLabel_ = {std::string(kAddressGroupCaptions[0])};
  addressLabel_ = {TwoDigits(0)};
  firstSelect_ = true;
}

void KeypadModel::Press(KeypadKey key) {
  if (!KeyEnabled(key)) return;
  Send(kKeypadKeys[static_cast<std::size_t>(key)].byte);
}

void KeypadModel::Select() {
  if (!selectEnabled_) return;
  Send(ShowTarget());
  clock_.Sleep(kAfterAddressMs);
  if (firstSelect_) {
    Send(ShowTarget());
    firstSelect_ = false;
    clock_.Sleep(kAfterFirstRepeatMs);
  }
  Send(kEndOfAddressSelection);
}

void KeypadModel::SetGroup(int group) {
  if (!group_.enabled || !group_.Accepts(group) || group == group_.value) return;
  group_.value = group;
  groupLabel_.caption = std::string(kAddressGroupCaptions[static_cast<std::size_t>(group)]);
  // A new group starts at its first address, which goes out at once.
  address_.value = 0;
  AddressChanged();
}

void KeypadModel::SetAddress(int address) {
  if (!address_.enabled || !address_.Accepts(address) || address == address_.value) return;
  address_.value = address;
  AddressChanged();
}

std::uint8_t KeypadModel::ShowTarget() {
  const int target = group_.value * kAddressesPerGroup + address_.value;
  addressLabel_.caption = TwoDigits(target);
  return static_cast<std::uint8_t>(target);
}

void KeypadModel::AddressChanged() {
  firstSelect_ = false;
  Send(ShowTarget());
}

void KeypadModel::Send(std::uint8_t byte) {
  // The socket is re-addressed before every byte, so a changed IP box counts.
  transport_.RearmIfNetwork();
  transport_.SendByte(byte);
}

}  // namespace koral
