// The UDP socket of the network link and the address lookups it needs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "link/byte_string.h"

namespace koral {

inline constexpr std::uint16_t kBridgePort = 26482;

struct Datagram {
  ByteString bytes;
  std::string senderAddress;  // dotted IPv4
  std::uint16_t senderPort = 0;
};

class UdpSocket {
 public:
  virtual ~UdpSocket() = default;

  virtual void Close() = 0;
  virtual void SetLocalPort(std::uint16_t port) = 0;
  virtual void SetRemote(const std::string& host, std::uint16_t port) = 0;
  // Sends one datagram to the remote end, binding the local port on first use.
  // Failures are ignored: the heartbeat notices a bridge that never answers.
  virtual void Send(std::span<const std::uint8_t> bytes) = 0;
  // The PC's own IPv4 address as the socket would use it to reach the remote
  // host, dotted; empty when unknown.
  virtual std::string LocalAddress() const = 0;
  virtual std::uint16_t LocalPort() const = 0;
  // Called on the user-interface thread with every datagram received.
  virtual void SetDatagramHandler(std::function<void(const Datagram&)> handler) = 0;
};

using HardwareAddress = std::array<std::uint8_t, 6>;

class HardwareAddressLookup {
 public:
  virtual ~HardwareAddressLookup() = default;
  // The hardware address of the local interface that owns this IPv4 address.
  virtual std::optional<HardwareAddress> Lookup(const std::string& ipv4) const = 0;
};

}  // namespace koral
