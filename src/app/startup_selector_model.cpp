#include "app/startup_selector_model.h"

#include <cstddef>

namespace koral {
namespace {

// By list position.
constexpr std::array<StartupChoice, kStartupEntries.size()> kChoices = {{
    {StartupWindow::SerialConnection, LinkMode::Serial},
    {StartupWindow::NetworkConnection, LinkMode::Udp},
    {StartupWindow::IpAddressSetting, LinkMode::Serial},
}};

}  // namespace

std::optional<StartupChoice> StartupSelectorModel::Choose(int position) {
  if (Chosen() || position < 0 || position >= static_cast<int>(kChoices.size())) return std::nullopt;
  entries_.position = position;
  const StartupChoice choice = kChoices[static_cast<std::size_t>(position)];
  session_.linkMode = choice.linkMode;
  return choice;
}

}  // namespace koral
