#include "link/transport.h"

#include <vector>

#include "link/ipv4_address.h"

namespace koral {
namespace {

constexpr std::uint8_t kLineControl = 0x15;
constexpr std::uint8_t kDataByte = 0x19;
constexpr std::uint8_t kSpeedCode = 0x00;
constexpr std::uint8_t kBaudDivisor = 0x1A;

}  // namespace

Transport::Transport(LinkMode mode, Clock& clock, SerialPorts* ports, UdpSocket* socket,
                     const HardwareAddressLookup* hardwareAddresses)
    : mode_(mode), clock_(clock), ports_(ports), socket_(socket), hardwareAddresses_(hardwareAddresses) {}

void Transport::SendByte(std::uint8_t byte) {
  if (mode_ == LinkMode::Serial) {
    if (ports_ != nullptr) {
      for (int n = 1; n <= SerialPorts::kCount; ++n)
        ports_->Port(n).SetDtr(false);
      if (sendPortOpened_) ports_->Port(sendPort_).Write(std::span(&byte, 1));
    }
    clock_.Sleep(kByteSettleMs);
    if (ports_ != nullptr) {
      for (int n = 1; n <= SerialPorts::kCount; ++n)
        ports_->Port(n).SetDtr(true);
    }
    return;
  }
  SendDatagram({0x01, 0xFE, kLineControl, 0xFF, 0x01, 0x00, 0x00, 0x00});
  SendDatagram({0x01, 0xFE, kDataByte, 0xFF, byte, 0x00, 0x00, 0x00});
  clock_.Sleep(kByteSettleMs);
  SendDatagram({0x01, 0xFE, kLineControl, 0xFF, 0x00, 0x00, 0x00, 0x00});
}

void Transport::OpenSerialPort(int port, int baud) {
  portError_ = false;
  serialSettings_ = std::to_string(baud) + ",n,8,1";
  if (ports_ == nullptr || port < 1 || port > SerialPorts::kCount) {
    portError_ = true;
    portErrorText_ = "No such serial port: COM" + std::to_string(port);
    return;
  }
  SerialPort& serial = ports_->Port(port);
  const bool ok = serial.SetBaudRate(baud) && (serial.IsOpen() || serial.Open());
  if (!ok) {
    portError_ = true;
    portErrorText_ = serial.ErrorText();
    return;
  }
  sendPort_ = port;
  sendPortOpened_ = true;
}

void Transport::CloseOtherPorts(int keep) {
  if (ports_ == nullptr) return;
  for (int n = 1; n <= SerialPorts::kCount; ++n) {
    if (n != keep && ports_->Port(n).IsOpen()) ports_->Port(n).Close();
  }
}

void Transport::RearmUdpSocket() {
  if (socket_ == nullptr) return;
  socket_->Close();
  socket_->SetRemote(bridgeAddress_, bridgePort_);
  socket_->SetLocalPort(localPort_);
  armedBridgeAddress_ = bridgeAddress_;
}

void Transport::SendDatagram(std::initializer_list<std::uint8_t> bytes) {
  if (socket_ == nullptr) return;
  const std::vector<std::uint8_t> datagram(bytes);
  socket_->Send(datagram);
}

void Transport::SendBridgeBaud(std::uint8_t divisorLow, std::uint8_t divisorHigh) {
  SendDatagram({0x02, 0xFD, kBaudDivisor, 0xFF, divisorLow, divisorHigh, 0x00, 0x00, 0x00});
}

void Transport::SendBridgeSpeedCode(std::uint8_t code) {
  SendDatagram({0x01, 0xFE, kSpeedCode, 0xFF, code, 0x00, 0x00, 0x00});
}

void Transport::SendBridgeSpeed(int position) {
  if (position < 0 || position >= static_cast<int>(kBridgeSpeeds.size())) return;
  SendBridgeDivisor(position);
  SendBridgeSpeedCode(kBridgeSpeeds[static_cast<std::size_t>(position)].code);
}

void Transport::SendBridgeDivisor(int position) {
  if (position < 0 || position >= static_cast<int>(kBridgeSpeeds.size())) return;
  const BridgeSpeed& speed = kBridgeSpeeds[static_cast<std::size_t>(position)];
  SendBridgeBaud(speed.divisorLow, speed.divisorHigh);
}

void Transport::RegisterWithBridge() {
  if (socket_ == nullptr || hardwareAddresses_ == nullptr) return;
  const std::string local = socket_->LocalAddress();
  const auto ip = ParseIpv4(local);
  if (!ip) return;
  const auto mac = hardwareAddresses_->Lookup(local);
  if (!mac) return;
  std::vector<std::uint8_t> datagram = {0x0E, 0xF1, 0xD0, 0x02};
  datagram.insert(datagram.end(), mac->begin(), mac->end());
  datagram.insert(datagram.end(), ip->begin(), ip->end());
  datagram.push_back(static_cast<std::uint8_t>(localPort_ & 0xFF));
  datagram.push_back(static_cast<std::uint8_t>(localPort_ >> 8));
  datagram.insert(datagram.end(), {0x00, 0x00, 0x00});
  socket_->Send(datagram);
}

}  // namespace koral
