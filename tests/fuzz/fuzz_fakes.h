// The link fakes of the unit tests (GoogleTest-free) and a silent window host
// for the fuzz targets: just enough to run a receive path or a transfer
// without a port, a socket or a window.
#pragma once

#include <cstdlib>
#include <string_view>

#include "../link/link_fakes.h"
#include "link/transfer_host.h"
#include "monitor/monitor_display.h"

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

// Aborts unless every line a monitor display gained since the last call ends
// with CR LF. Only the new lines (the newest are on top) are read, which keeps
// a run linear in its input; a cleared display is read whole.
class NewLineChecker {
 public:
  void Check(const MonitorDisplay& display) {
    const std::size_t count = display.LineCount();
    const std::size_t added = count >= checked_ ? count - checked_ : count;
    for (std::size_t i = 0; i < added; ++i) {
      if (!display.Line(i).ends_with("\r\n")) std::abort();
    }
    checked_ = count;
  }

 private:
  std::size_t checked_ = 0;
};

}  // namespace koral::fuzzing
