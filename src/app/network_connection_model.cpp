#include "app/network_connection_model.h"

#include <utility>

#include "link/ipv4_address.h"

namespace koral {
namespace {

constexpr std::uint8_t kStatusRequest = 0xBA;
constexpr std::uint8_t kEndMarker = 0xA0;  // closes an exchange, as at the end of every transfer

}  // namespace

NetworkConnectionModel::NetworkConnectionModel(Session& session, Transport& transport, Clock& clock)
    : session_(session), transport_(transport), clock_(clock), options_(session) {}

void NetworkConnectionModel::Load() {
  // Addressed first: the local address depends on the route to the bridge.
  transport_.SetBridgeAddress(addressText_);
  transport_.RearmUdpSocket();
  if (const UdpSocket* socket = transport_.Socket()) localAddress_ = socket->LocalAddress();
  session_.videoStandard = VideoStandard::Ntsc;
  session_.unitModel = UnitModel::Qt1Rx;
  transport_.ClearPortError();
  speeds_.position = kBaud4800Index;
  // The bridge starts at the speed the list shows.
  transport_.SendBridgeSpeed(kBaud4800Index);
}

void NetworkConnectionModel::Activate() {
  options_.ShowSession();
}

void NetworkConnectionModel::SelectSpeed(int position) {
  if (position >= 0 && position < static_cast<int>(kNetworkSpeedEntries.size())) speeds_.position = position;
}

void NetworkConnectionModel::SetAddressText(std::string text) {
  addressText_ = std::move(text);
  transport_.SetBridgeAddress(addressText_);
}

std::optional<DialogMessage> NetworkConnectionModel::AddressProblem() const {
  if (ParseIpv4(addressText_)) return std::nullopt;
  const bool blank = addressText_.find_first_not_of(" \t") == std::string::npos;
  return DialogMessage{std::string(kAddressTitle),
                       blank ? std::string(kNoAddress) : "\"" + addressText_ + "\"" + std::string(kNotAnAddress)};
}

WindowStep NetworkConnectionModel::Connect() {
  if (auto problem = AddressProblem()) return {NextWindow::Stay, std::move(problem)};
  if (speeds_.position) {
    session_.linkBaudIndex = *speeds_.position;
    transport_.SendBridgeSpeed(*speeds_.position);
  }
  transport_.RegisterWithBridge();
  transport_.RearmUdpSocket();
  if (session_.unitModel == UnitModel::QtMx) {
    // A QT-MX is never polled: the configured bridge is the connection.
    session_.offline = false;
    return {NextWindow::ShowSettingsWindow, std::nullopt};
  }
  transport_.SendByte(kStatusRequest);
  clock_.Sleep(kConnectStepMs);
  transport_.SendByte(kStatusRequest);
  clock_.Sleep(kConnectStepMs);
  transport_.SendByte(kEndMarker);
  clock_.Sleep(kConnectStepMs);
  return {NextWindow::RunConnectionCheck, std::nullopt};
}

}  // namespace koral
