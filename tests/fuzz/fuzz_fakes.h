// In-memory link devices and a silent window host for the fuzz targets: just
// enough to run a receive path or a transfer without a port, a socket or a
// window, and without GoogleTest.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "link/clock.h"
#include "link/serial_port.h"
#include "link/transfer_host.h"
#include "link/udp_socket.h"

namespace koral::fuzzing {

// Virtual time: a wait only moves the clock.
class FakeClock : public Clock {
 public:
  std::int64_t NowMs() const override { return now; }
  void Sleep(int ms) override { now += ms; }
  std::int64_t now = 0;
};

class FakeSerialPort : public SerialPort {
 public:
  bool SetBaudRate(int) override { return true; }
  bool IsOpen() const override { return open; }
  bool Open() override {
    open = true;
    return true;
  }
  void Close() override { open = false; }
  void SetDtr(bool) override {}
  bool Write(std::span<const std::uint8_t> bytes) override {
    written.insert(written.end(), bytes.begin(), bytes.end());
    return open;
  }
  ByteString Read(std::size_t max) override {
    ByteString chunk;
    while (!incoming.empty() && chunk.size() < max) {
      chunk.push_back(incoming.front());
      incoming.pop_front();
    }
    return chunk;
  }
  std::string ErrorText() const override { return {}; }
  void SetReceiveHandler(std::function<void()> handler) override { onReceive = std::move(handler); }

  // Bytes from the unit, then the receive notification.
  void Feed(std::span<const std::uint8_t> bytes) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    if (onReceive) onReceive();
  }

  bool open = false;
  ByteString written;
  std::deque<std::uint8_t> incoming;
  std::function<void()> onReceive;
};

class FakeSerialPorts : public SerialPorts {
 public:
  FakeSerialPorts() {
    for (auto& port : ports_)
      port = std::make_unique<FakeSerialPort>();
  }
  SerialPort& Port(int number) override { return Fake(number); }
  FakeSerialPort& Fake(int number) { return *ports_[static_cast<std::size_t>(number - 1)]; }

 private:
  std::array<std::unique_ptr<FakeSerialPort>, kCount> ports_;
};

class FakeUdpSocket : public UdpSocket {
 public:
  void Close() override {}
  void SetLocalPort(std::uint16_t port) override { localPort = port; }
  void SetRemote(const std::string&, std::uint16_t) override {}
  void Send(std::span<const std::uint8_t>) override { ++sent; }
  std::string LocalAddress() const override { return "192.168.0.10"; }
  std::uint16_t LocalPort() const override { return localPort; }
  void SetDatagramHandler(std::function<void(const Datagram&)> handler) override { onDatagram = std::move(handler); }

  void Deliver(const Datagram& datagram) {
    if (onDatagram) onDatagram(datagram);
  }

  std::uint16_t localPort = kBridgePort;
  int sent = 0;
  std::function<void(const Datagram&)> onDatagram;
};

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
