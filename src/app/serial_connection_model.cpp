#include "app/serial_connection_model.h"

#include <cstdint>
#include <string>

namespace koral {
namespace {

constexpr std::string_view kProgramTitle = "KORAL";  // the failed open's message
constexpr std::uint8_t kStatusRequest = 0xBA;

}  // namespace

SerialConnectionModel::SerialConnectionModel(Session& session, Transport& transport)
    : session_(session), transport_(transport), options_(session) {}

void SerialConnectionModel::Load() {
  session_.unitModel = UnitModel::Qt1Rx;
  transport_.ClearPortError();
}

void SerialConnectionModel::Activate() {
  options_.ShowSession();
}

WindowStep SerialConnectionModel::Choose(int position) {
  if (position < 0 || position >= static_cast<int>(kSerialEntries.size())) return {};
  const int port = position / kSpeedsPerPort + 1;
  int speed = position % kSpeedsPerPort;
  // A QT-MX unit only runs at 4800. Every choice is corrected, also the one
  // after a failed open, and the list shows the entry actually used.
  if (session_.unitModel == UnitModel::QtMx) speed = kBaud4800Index;
  entries_.position = (port - 1) * kSpeedsPerPort + speed;

  transport_.OpenSerialPort(port, kLinkBaudRates[static_cast<std::size_t>(speed)]);
  if (transport_.PortError()) {
    return {NextWindow::Stay, DialogMessage{std::string(kProgramTitle), PortErrorMessage(transport_.PortErrorText())}};
  }
  // Only an opened port becomes the link: after a failure the earlier port
  // still sends, so it keeps receiving and keeps its speed.
  session_.linkBaudIndex = speed;
  transport_.SetReceivePort(port);
  // The port the user moved away from is free for other programs again.
  transport_.CloseOtherPorts(port);

  if (session_.transfer.uploadActive) return {};
  if (session_.unitModel == UnitModel::QtMx) {
    // A QT-MX is never polled: the open port is all the connection there is.
    session_.offline = false;
    return {NextWindow::ShowSettingsWindow, std::nullopt};
  }
  transport_.SendByte(kStatusRequest);
  return {NextWindow::RunConnectionCheck, std::nullopt};
}

}  // namespace koral
