// The network link's UDP socket over Qt's QUdpSocket.
#pragma once

#include <QHostAddress>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "link/udp_socket.h"
#include "platform/deferred_call.h"

class QUdpSocket;

namespace koral {

// Binds the local port (shared with other sockets on it) on the first send
// after SetLocalPort or Close, and as soon as a datagram handler is set so that
// datagrams can arrive before anything was sent. Local port 0 lets the system
// choose one; LocalPort then tells which.
//
// A datagram sent to the PC's own address and port comes straight back to this
// socket; such a datagram (sender = our own address and port) is dropped.
class QtUdpSocket final : public UdpSocket {
 public:
  QtUdpSocket();
  ~QtUdpSocket() override;
  QtUdpSocket(const QtUdpSocket&) = delete;
  QtUdpSocket& operator=(const QtUdpSocket&) = delete;

  void Close() override;
  void SetLocalPort(std::uint16_t port) override;
  // A dotted IPv4 address; a host name is looked up once, here.
  void SetRemote(const std::string& host, std::uint16_t port) override;
  void Send(std::span<const std::uint8_t> bytes) override;
  std::string LocalAddress() const override;
  std::uint16_t LocalPort() const override;
  void SetDatagramHandler(std::function<void(const Datagram&)> handler) override;

  bool IsBound() const;

 private:
  bool Bind();
  void ReceivePending();
  // Takes one waiting datagram off the socket; false when none is left or it
  // was our own.
  bool Take(Datagram& datagram);
  // A re-arm closes the socket: what has arrived by then is kept and handed
  // over on the next turn of the event loop instead of being thrown away.
  void HoldPending();
  void DeliverHeld();

  std::unique_ptr<QUdpSocket> socket_;
  std::uint16_t localPort_ = kBridgePort;
  QHostAddress remote_;
  std::uint16_t remotePort_ = kBridgePort;
  std::string ownAddress_;  // LocalAddress() for the current remote host
  std::function<void(const Datagram&)> onDatagram_;
  std::vector<Datagram> held_;
  DeferredCall deliverHeld_{[this] { DeliverHeld(); }};
};

}  // namespace koral
