// Getting single bytes to the unit, over a serial port or wrapped in UDP
// datagrams for a serial-to-network bridge, and configuring that bridge.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/byte_string.h"
#include "link/clock.h"
#include "link/serial_port.h"
#include "link/udp_socket.h"
#include "model/unit_profile.h"

namespace koral {

struct BridgeSpeed {
  std::uint8_t divisorLow;
  std::uint8_t divisorHigh;
  std::uint8_t code;
};

// By link speed position 0..5 (1200 .. 28800 baud).
inline constexpr std::array<BridgeSpeed, 6> kBridgeSpeeds = {{
    {0xEE, 0xFB, 1},
    {0xF7, 0xFD, 2},
    {0xFC, 0xFE, 3},
    {0x7E, 0xFF, 8},
    {0xBF, 0xFF, 9},
    {0xD4, 0xFF, 10},
}};

inline constexpr int kByteSettleMs = 10;  // after every byte, on both links
inline constexpr char kDefaultBridgeAddress[] = "192.168.0.100";

class Transport {
 public:
  // Either side may be missing when the run does not use it.
  Transport(LinkMode mode, Clock& clock, SerialPorts* ports, UdpSocket* socket,
            const HardwareAddressLookup* hardwareAddresses);

  LinkMode Mode() const { return mode_; }
  Clock& Time() { return clock_; }

  // ---- both links ----
  // Serial: DTR off on all six ports, the byte on the send port (if one was
  // ever opened), 10 ms, DTR on. UDP: line control on, the data byte, 10 ms,
  // line control off.
  void SendByte(std::uint8_t byte);

  // ---- serial link ----
  // Opens COM `port` at `baud`, 8N1. On failure PortError() is set and
  // PortErrorText() says why; the send port stays as it was.
  void OpenSerialPort(int port, int baud);
  bool PortError() const { return portError_; }
  const std::string& PortErrorText() const { return portErrorText_; }
  void ClearPortError() { portError_ = false; }
  int SendPort() const { return sendPort_; }
  bool SendPortOpened() const { return sendPortOpened_; }
  const std::string& SerialSettings() const { return serialSettings_; }
  int ReceivePort() const { return receivePort_; }
  void SetReceivePort(int port) { receivePort_ = port; }
  // Closes every open port but this one, so a port the user moved away from is
  // free for other programs again.
  void CloseOtherPorts(int keep);
  SerialPorts* Ports() { return ports_; }

  // ---- network link ----
  // Closes and re-addresses the socket to the bridge (port 26482 both ends
  // unless set otherwise); the next send binds again.
  void RearmUdpSocket();
  // The re-arm the transactions make before their bytes: on the network link
  // only, the serial link has nothing to re-arm.
  void RearmIfNetwork() {
    if (mode_ == LinkMode::Udp) RearmUdpSocket();
  }
  void SetBridgeAddress(std::string address) { bridgeAddress_ = std::move(address); }
  const std::string& BridgeAddress() const { return bridgeAddress_; }
  // The IP box's text the socket was last re-armed with: only datagrams from
  // the address it names are believed.
  const std::string& ArmedBridgeAddress() const { return armedBridgeAddress_; }
  // The bridge's UDP port, taken at the next re-arm.
  void SetBridgePort(std::uint16_t port) { bridgePort_ = port; }
  std::uint16_t BridgePort() const { return bridgePort_; }
  void SetLocalPort(std::uint16_t port) { localPort_ = port; }
  std::uint16_t LocalPort() const { return localPort_; }
  void SendBridgeBaud(std::uint8_t divisorLow, std::uint8_t divisorHigh);
  void SendBridgeSpeedCode(std::uint8_t code);
  // Divisor then speed code for a speed position 0..5; nothing for another.
  void SendBridgeSpeed(int position);
  // The divisor alone for a speed position 0..5; nothing for another.
  void SendBridgeDivisor(int position);
  // Tells the bridge where the unit's frames go: this PC's hardware and IPv4
  // address and its port. Nothing is sent when either address is unknown.
  void RegisterWithBridge();
  UdpSocket* Socket() { return socket_; }

 private:
  void SendDatagram(std::initializer_list<std::uint8_t> bytes);

  LinkMode mode_;
  Clock& clock_;
  SerialPorts* ports_;
  UdpSocket* socket_;
  const HardwareAddressLookup* hardwareAddresses_;

  int sendPort_ = 1;
  bool sendPortOpened_ = false;
  int receivePort_ = 1;
  std::string serialSettings_;
  bool portError_ = false;
  std::string portErrorText_;

  std::string bridgeAddress_ = kDefaultBridgeAddress;
  std::string armedBridgeAddress_ = kDefaultBridgeAddress;
  std::uint16_t bridgePort_ = kBridgePort;
  std::uint16_t localPort_ = kBridgePort;
};

}  // namespace koral
