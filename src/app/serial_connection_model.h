// The serial connection window (Setting): one list of COM port and speed,
// where choosing an entry connects at once, and the model and video options.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "app/connection_check_model.h"
#include "app/control_state.h"
#include "app/session.h"
#include "link/transport.h"

namespace koral {

inline constexpr int kSpeedsPerPort = static_cast<int>(kLinkBaudRates.size());
inline constexpr std::size_t kSerialEntryCount = static_cast<std::size_t>(SerialPorts::kCount) * kLinkBaudRates.size();

// Port-major: position p is COM(p / 6 + 1) at speed position p % 6.
inline constexpr std::array<std::string_view, kSerialEntryCount> kSerialEntries = {
    "Com1 1200,n,8,1", "Com1 2400,n,8,1", "Com1 4800,n,8,1", "Com1 9600,n,8,1", "Com1 19200,n,8,1", "Com1 28800,n,8,1",
    "Com2 1200,n,8,1", "Com2 2400,n,8,1", "Com2 4800,n,8,1", "Com2 9600,n,8,1", "Com2 19200,n,8,1", "Com2 28800,n,8,1",
    "Com3 1200,n,8,1", "Com3 2400,n,8,1", "Com3 4800,n,8,1", "Com3 9600,n,8,1", "Com3 19200,n,8,1", "Com3 28800,n,8,1",
    "Com4 1200,n,8,1", "Com4 2400,n,8,1", "Com4 4800,n,8,1", "Com4 9600,n,8,1", "Com4 19200,n,8,1", "Com4 28800,n,8,1",
    "Com5 1200,n,8,1", "Com5 2400,n,8,1", "Com5 4800,n,8,1", "Com5 9600,n,8,1", "Com5 19200,n,8,1", "Com5 28800,n,8,1",
    "Com6 1200,n,8,1", "Com6 2400,n,8,1", "Com6 4800,n,8,1", "Com6 9600,n,8,1", "Com6 19200,n,8,1", "Com6 28800,n,8,1",
};

class SerialConnectionModel {
 public:
  static constexpr std::string_view kCaption = "Setting";
  static constexpr std::string_view kPrompt = "Please Select Comport";  // Label31

  SerialConnectionModel(Session& session, Transport& transport);

  // First show: QT-1RX, no port error.
  void Load();
  // Every activation: the options follow the session.
  void Activate();

  const ListState& Entries() const { return entries_; }  // cmbSelect
  // The user chose an entry: open its port and say what comes next.
  WindowStep Choose(int position);

  UnitOptionButtons& Options() { return options_; }
  const UnitOptionButtons& Options() const { return options_; }

  // The close box, and the answers to the questions it asks.
  WindowStep Close() const { return CloseConnectionWindow(transport_); }
  WindowStep AnswerPortError(bool retry) const { return AnswerPortErrorQuestion(session_, retry); }
  WindowStep AnswerExit(bool yes) const { return AnswerExitQuestion(session_, yes); }

 private:
  Session& session_;
  Transport& transport_;
  UnitOptionButtons options_;
  ListState entries_{kSerialEntries, std::nullopt};
};

}  // namespace koral
