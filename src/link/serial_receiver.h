// The serial receive path: on every receive notification, one read from the
// receive port, frame assembly in RxBuffer, and the frame into the mailboxes
// and the upload collector.
#pragma once

#include <cstddef>

#include "link/clock.h"
#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "link/transport.h"
#include "link/upload.h"

namespace koral {

inline constexpr int kReceiveSettleMs = 100;         // lets the rest of a frame arrive before the read
inline constexpr std::size_t kSerialReadLimit = 30;  // bytes per read
// A frame being assembled during an upload is dropped beyond this: upload frames
// are 15 bytes, so only garbage grows this long.
inline constexpr std::size_t kMaxAssembledFrame = 256;

class SerialReceiver {
 public:
  SerialReceiver(Transport& transport, Clock& clock, Mailboxes& mailboxes, TransferState& state,
                 UploadCollector& collector);

  // Installs OnReceiveNotification as the receive handler of all six ports:
  // whichever port notifies, the receive port is read. The receiver must then
  // outlive the ports' notifications.
  void ListenToAllPorts();
  // One notification: wait, read once, assemble, classify, collect.
  void OnReceiveNotification();

 private:
  // Puts the chunk into RxBuffer; false when the frame is not complete yet.
  bool Assemble(const ByteString& chunk);

  Transport& transport_;
  Clock& clock_;
  Mailboxes& mailboxes_;
  TransferState& state_;
  UploadCollector& collector_;
};

}  // namespace koral
