// Everything one run needs to talk to a unit, wired together for a session:
// the transport, both receive paths, the transfers, the heartbeat, and the
// view-models of the windows that drive them. The desktop program and the
// command-line tool build one of these and feed it timer ticks.
#pragma once

#include "app/connection_check_model.h"
#include "app/keypad_model.h"
#include "app/network_connection_model.h"
#include "app/serial_connection_model.h"
#include "app/session.h"
#include "app/settings_window_link.h"
#include "app/settings_window_model.h"
#include "app/window_layer.h"
#include "link/download.h"
#include "link/heartbeat.h"
#include "link/serial_receiver.h"
#include "link/transfer_host.h"
#include "link/transport.h"
#include "link/udp_receiver.h"
#include "link/upload.h"
#include "link/wall_clock.h"
#include "monitor/serial_monitor_model.h"
#include "net/udp_monitor_model.h"

namespace koral {

struct LinkDevices {
  SerialPorts* serialPorts = nullptr;                        // the serial link
  UdpSocket* socket = nullptr;                               // the network link
  const HardwareAddressLookup* hardwareAddresses = nullptr;  // the network link
};

class LinkEngine : private TransferHost, private SettingsWindowLink {
 public:
  LinkEngine(Session& session, Clock& clock, const WallClock& wallClock, LinkDevices devices, WindowLayer& windows);
  LinkEngine(const LinkEngine&) = delete;
  LinkEngine& operator=(const LinkEngine&) = delete;

  Session& GetSession() { return session_; }
  Transport& GetTransport() { return transport_; }
  SettingsWindowModel& Settings() { return settings_; }
  SerialConnectionModel& SerialConnection() { return serialConnection_; }
  NetworkConnectionModel& NetworkConnection() { return networkConnection_; }
  ConnectionCheckModel& ConnectionCheck() { return connectionCheck_; }
  Download& GetDownload() { return download_; }
  Upload& GetUpload() { return upload_; }
  Heartbeat& GetHeartbeat() { return heartbeat_; }
  SerialMonitorModel& SerialMonitor() { return serialMonitor_; }
  UdpMonitorModel& UdpMonitor() { return udpMonitor_; }

  // Installs the receive handlers of the link in use.
  void Listen();
  // The main window's timer, the upload's unpack timer and the serial
  // monitor's poll.
  void MainTimerTick() { heartbeat_.Tick(); }
  void UnpackTimerTick() { upload_.Unpack(); }
  void MonitorPollTick() { serialMonitor_.Poll(); }

 private:
  // TransferHost
  bool AskOkCancel(std::string_view title, std::string_view text) override;
  void ShowMessage(std::string_view title, std::string_view text) override;
  void AskRetry(std::string_view title, std::string_view text) override;
  int UnitAddress() const override;
  int UnitBaudPosition() const override;
  void RefreshWindow() override { settings_.RefreshWindow(); }
  void ReloadFactorySettings() override { settings_.Load(); }
  void AdoptIncomingSettings() override { settings_.AdoptIncomingSettings(); }
  void UpdateDayClockRegisters() override { settings_.UpdateDayClockRegisters(); }
  void UpdateClockRegisters() override { settings_.UpdateClockRegisters(); }
  void ShowPleaseWait() override { settings_.ShowPleaseWait(); }
  void ProgressStart() override { settings_.ProgressStart(); }
  void SetProgress(int value) override { settings_.SetProgress(value); }
  void ProgressEnd() override { settings_.ProgressEnd(); }
  void ShowLinkState(bool communicating) override { settings_.ShowLinkState(communicating); }
  void ShowMissedPolls(int count) override { settings_.ShowMissedPolls(count); }
  bool SerialWindowMenuEnabled() const override { return settings_.Menus().serialWindow; }
  void StopMainTimer() override { settings_.StopMainTimer(); }
  void ShowConnectionWindow() override { windows_.ShowConnectionWindow(); }
  void SetUnpackTimer(int intervalMs) override { windows_.SetUnpackTimer(intervalMs); }
  void SetSerialMonitorPolling(bool on) override {
    serialMonitor_.SetPolling(on);
    windows_.SetSerialMonitorPolling(on);
  }

  // SettingsWindowLink
  void FollowUnitBaudRate(int position) override;
  void RequestStatus() override;

  Session& session_;
  WindowLayer& windows_;
  Transport transport_;
  SettingsWindowModel settings_;
  UploadCollector collector_;
  Upload upload_;
  Download download_;
  Heartbeat heartbeat_;
  SerialReceiver serialReceiver_;
  UdpReceiver udpReceiver_;
  SerialConnectionModel serialConnection_;
  NetworkConnectionModel networkConnection_;
  ConnectionCheckModel connectionCheck_;
  SerialMonitorModel serialMonitor_;
  UdpMonitorModel udpMonitor_;
};

}  // namespace koral
