// The network connection window (SetUDP): the link speed, the bridge's IP
// address and "Connect", with the model and video options. It addresses the
// UDP socket through the transport.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "app/connection_check_model.h"
#include "app/control_state.h"
#include "app/session.h"
#include "link/clock.h"
#include "link/transport.h"

namespace koral {

// By link speed position 0..5; the leading blank is the window's own.
inline constexpr std::array<std::string_view, kLinkBaudRates.size()> kNetworkSpeedEntries = {
    " 1200,n,8,1", " 2400,n,8,1", " 4800,n,8,1", " 9600,n,8,1", " 19200,n,8,1", " 28800,n,8,1",
};

class NetworkConnectionModel {
 public:
  static constexpr std::string_view kCaption = "Setting";
  static constexpr std::string_view kPrompt = " BaudRate";  // Label31
  static constexpr std::string_view kAddressLabel = "IP Address ";
  static constexpr std::string_view kConnect = "Connect";
  static constexpr int kConnectStepMs = 100;  // between the bytes that wake a QT-1RX
  static constexpr std::string_view kAddressTitle = "KORAL";
  static constexpr std::string_view kNoAddress = "Please enter the IP address of the bridge, such as 192.168.0.100.";
  static constexpr std::string_view kNotAnAddress =
      " is not an IP address.\nPlease enter four numbers from 0 to 255 joined by dots, such as 192.168.0.100.";

  NetworkConnectionModel(Session& session, Transport& transport, Clock& clock);

  // First show: addresses the socket, NTSC, QT-1RX, no port error, and the
  // bridge to 4800.
  void Load();
  // Every activation: the options follow the session.
  void Activate();

  const ListState& Speeds() const { return speeds_; }  // cmbSelect
  void SelectSpeed(int position);

  const std::string& AddressText() const { return addressText_; }  // txt_IP
  // The next re-arm of the socket goes to the address typed.
  void SetAddressText(std::string text);
  // The PC's address as the socket reported it at load.
  const std::string& LocalAddress() const { return localAddress_; }

  // The bridge to the chosen speed, this PC registered with it, then the unit.
  // Text that is not an IPv4 address sends nothing and says why: the bridge's
  // replies could never be told from a stranger's.
  WindowStep Connect();

  UnitOptionButtons& Options() { return options_; }
  const UnitOptionButtons& Options() const { return options_; }

  // The close box, and the answers to the questions it asks.
  WindowStep Close() const { return CloseConnectionWindow(transport_); }
  WindowStep AnswerPortError(bool retry) const { return AnswerPortErrorQuestion(session_, retry); }
  WindowStep AnswerExit(bool yes) const { return AnswerExitQuestion(session_, yes); }

 private:
  // Why the IP box's text cannot be the bridge's address, if it cannot.
  std::optional<DialogMessage> AddressProblem() const;

  Session& session_;
  Transport& transport_;
  Clock& clock_;
  UnitOptionButtons options_;
  ListState speeds_{kNetworkSpeedEntries, std::nullopt};
  std::string addressText_ = kDefaultBridgeAddress;
  std::string localAddress_;
};

}  // namespace koral
