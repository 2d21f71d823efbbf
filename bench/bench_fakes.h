// Stand-ins for the clock, the UDP socket and the windows that cost next to
// nothing and keep no history, so a benchmark times the receive path alone and
// can run for millions of datagrams without growing.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <utility>

#include "link/byte_string.h"
#include "link/clock.h"
#include "link/transfer_host.h"
#include "link/udp_socket.h"

namespace koral::bench {

// Virtual time: a wait passes at once.
class InstantClock : public Clock {
 public:
  std::int64_t NowMs() const override { return now; }
  void Sleep(int ms) override { now += ms; }

  std::int64_t now = 0;
};

// Hands datagrams to the receive path and counts what the PC sends back.
class LoopbackSocket : public UdpSocket {
 public:
  void Close() override { ++closes; }
  void SetLocalPort(std::uint16_t port) override { localPort = port; }
  void SetRemote(const std::string&, std::uint16_t) override {}
  void Send(std::span<const std::uint8_t> bytes) override {
    ++sent;
    if (bytes.size() > kCarriedByteAt && bytes[2] == kDataByteCommand && bytes[kCarriedByteAt] == watchedByte)
      ++watchedByteCount;
  }
  std::string LocalAddress() const override { return localAddress; }
  std::uint16_t LocalPort() const override { return localPort; }
  void SetDatagramHandler(std::function<void(const Datagram&)> handler) override { onDatagram = std::move(handler); }

  void Deliver(const Datagram& datagram) const { onDatagram(datagram); }

  // The bridge's data-byte datagram 01 FE 19 FF b 00 00 00 carries the unit byte b.
  static constexpr std::uint8_t kDataByteCommand = 0x19;
  static constexpr std::size_t kCarriedByteAt = 4;

  std::uint8_t watchedByte = 0;  // the unit byte whose sendings are counted
  long watchedByteCount = 0;
  long sent = 0;
  long closes = 0;
  std::uint16_t localPort = kBridgePort;
  std::string localAddress = "192.168.0.10";
  std::function<void(const Datagram&)> onDatagram;
};

// The windows during a transfer: answers OK and remembers the last progress.
class QuietHost : public TransferHost {
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

  int progress = -1;
};

}  // namespace koral::bench
