// The link fakes of the unit tests (GoogleTest-free) and a silent window host
// for the fuzz targets: just enough to run a receive path or a transfer
// without a port, a socket or a window.
#pragma once

#include <string_view>

#include "../link/link_fakes.h"
#include "link/transfer_host.h"

namespace koral::fuzzing {

using testing_support::FakeClock;
using testing_support::FakeSerialPort;
using testing_support::FakeSerialPorts;
using testing_support::FakeUdpSocket;

// Answers OK to every question and remembers only the progress bar.
class SilentHost : public TransferHost {
 public:
  bool AskOkCancel(std::string_view, std::string_view) override { return true; }
  void ShowMessage(std::string_view, std::string_view) override {}
  void AskRetry(std::string_view, std::string_view) override {}
  int UnitAddress() const override { return 0; }
  int UnitBaudPosition() const override { return 2; }
  void RefreshWindow() override {}
  void ReloadFactorySettings() override {}
  void AdoptIncomingSettings() override {}
  void UpdateDayClockRegisters() override {}
  void UpdateClockRegisters() override {}
  void ShowPleaseWait() override {}
  void ProgressStart() override {}
  void SetProgress(int value) override { progress = value; }
  void ProgressEnd() override {}
  void ShowLinkState(bool) override {}
  void ShowMissedPolls(int) override {}
  bool SerialWindowMenuEnabled() const override { return true; }
  void StopMainTimer() override {}
  void ShowConnectionWindow() override {}
  void SetUnpackTimer(int) override {}
  void SetSerialMonitorPolling(bool) override {}

  int progress = 0;
};

}  // namespace koral::fuzzing
