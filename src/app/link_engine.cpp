#include "app/link_engine.h"

namespace koral {
namespace {

constexpr std::uint8_t kStatusRequest = 0xBA;

}  // namespace

LinkEngine::LinkEngine(Session& session, Clock& clock, const WallClock& wallClock, LinkDevices devices,
                       WindowLayer& windows)
    : session_(session),
      windows_(windows),
      transport_(session.linkMode, clock, devices.serialPorts, devices.socket, devices.hardwareAddresses),
      settings_(session, *this, wallClock),
      collector_(transport_, session.transfer, session.mailboxes, *this),
      upload_(transport_, clock, session.transfer, session.mailboxes, session.banks, *this, session.offline),
      download_(transport_, clock, session.transfer, session.banks, *this, session.offline),
      heartbeat_(transport_, clock, session.transfer, session.mailboxes, *this, download_, session.offline,
                 UploadSupervision{[this] { upload_.CheckComplete(); }, [this] { upload_.Abandon(); }}),
      serialReceiver_(transport_, clock, session.mailboxes, session.transfer, collector_),
      udpReceiver_(transport_, clock, session.mailboxes, session.transfer, collector_,
                   [this] { udpMonitor_.OnEvent(); }),
      serialConnection_(session, transport_),
      networkConnection_(session, transport_, clock),
      connectionCheck_(session, transport_, settings_),
      serialMonitor_(session.mailboxes, session.transfer, session.videoLost),
      udpMonitor_(session.mailboxes, session.videoLost, transport_) {}

void LinkEngine::Listen() {
  if (session_.linkMode == LinkMode::Serial) {
    serialReceiver_.ListenToAllPorts();
  } else {
    udpReceiver_.Listen();
  }
}

bool LinkEngine::AskOkCancel(std::string_view title, std::string_view text) {
  return windows_.AskOkCancel(title, text);
}
void LinkEngine::ShowMessage(std::string_view title, std::string_view text) {
  windows_.ShowMessage(title, text);
}
void LinkEngine::AskRetry(std::string_view title, std::string_view text) {
  windows_.AskRetry(title, text);
}

int LinkEngine::UnitAddress() const {
  return settings_.Number(SettingsWindowModel::NumberIndex("udAddr")).value;
}

int LinkEngine::UnitBaudPosition() const {
  return settings_.List(SettingsWindowModel::ListIndex("cmbBaudRate")).position.value_or(-1);
}

void LinkEngine::FollowUnitBaudRate(int position) {
  // The serial connection window picks the same COM port at the unit's new
  // speed, as if the user had chosen that entry.
  const int entry = (transport_.ReceivePort() - 1) * kSpeedsPerPort + position;
  windows_.ApplyWindowStep(serialConnection_.Choose(entry));
}

void LinkEngine::RequestStatus() {
  transport_.RearmIfNetwork();
  transport_.SendByte(kStatusRequest);
}

}  // namespace koral
