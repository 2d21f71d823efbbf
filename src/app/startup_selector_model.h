// The start-up selector (firstpage): the user picks how the PC reaches the
// unit, which fixes the link for the whole run and names the window to show.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "app/control_state.h"
#include "app/session.h"

namespace koral {

// The windows the selector can open, in the order of its list.
enum class StartupWindow {
  SerialConnection,   // Setting
  NetworkConnection,  // SetUDP
  IpAddressSetting,   // setIP, which does its own serial port handling
};

struct StartupChoice {
  StartupWindow window = StartupWindow::SerialConnection;
  LinkMode linkMode = LinkMode::Serial;
  friend bool operator==(const StartupChoice&, const StartupChoice&) = default;
};

inline constexpr std::array<std::string_view, 3> kStartupEntries = {"Koral-Serial", "Koral-UDP", "IP Address Setting"};

class StartupSelectorModel {
 public:
  static constexpr std::string_view kCaption = "Software";
  static constexpr std::string_view kPrompt = "Please Select Software";  // Label31

  explicit StartupSelectorModel(Session& session) : session_(session) {}

  const ListState& Entries() const { return entries_; }  // cmbSelect, nothing selected at start

  // The user picked an entry: the session's link mode is set and the window to
  // show is returned. The selector is then hidden for good, so a later choice
  // (or a position outside the list) gives nothing.
  std::optional<StartupChoice> Choose(int position);
  bool Chosen() const { return entries_.position.has_value(); }

  // The selector is the only window until a choice is made: closing it before
  // then ends the program; afterwards it is merely hidden.
  bool CloseEndsProgram() const { return !Chosen(); }

 private:
  Session& session_;
  ListState entries_{kStartupEntries, std::nullopt};
};

}  // namespace koral
