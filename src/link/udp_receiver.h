// The network receive path: every datagram from the bridge into the mailboxes,
// event datagrams to the event decoder, and upload frames to the collector with
// the network link's own acknowledgement.
#pragma once

#include <functional>

#include "link/clock.h"
#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "link/transport.h"
#include "link/udp_socket.h"
#include "link/upload.h"

namespace koral {

inline constexpr std::uint8_t kEventFrameId = 0x21;
inline constexpr int kUdpAckDelayMs = 100;  // before acknowledging an upload frame

class UdpReceiver {
 public:
  // `onEvent` decodes the monitor mailbox when it holds an event datagram.
  UdpReceiver(Transport& transport, Clock& clock, Mailboxes& mailboxes, TransferState& state,
              UploadCollector& collector, std::function<void()> onEvent);

  // Installs OnDatagram as the socket's datagram handler; the receiver must then
  // outlive the socket's notifications.
  void Listen();
  void OnDatagram(const Datagram& datagram);

 private:
  // Only the bridge we armed may feed frames into the banks, and our own
  // datagrams looped back are no frames of the unit.
  bool Believed(const Datagram& datagram) const;
  void CollectBlock();

  Transport& transport_;
  Clock& clock_;
  Mailboxes& mailboxes_;
  TransferState& state_;
  UploadCollector& collector_;
  std::function<void()> onEvent_;
};

}  // namespace koral
