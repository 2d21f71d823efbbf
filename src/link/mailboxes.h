// The single-slot mailboxes the receive paths fill and the timers empty. A
// newer frame overwrites an unread older one.
#pragma once

#include "link/byte_string.h"

namespace koral {

struct Mailboxes {
  ByteString rx;          // the frame being assembled from serial input
  ByteString status;      // last status reply, emptied by the link check
  ByteString lastStatus;  // copy of the last status reply, never emptied by a reader
  ByteString monitor;     // last other frame, for the monitor windows
  ByteString alarm;       // the same frame, for the alarm window
  ByteString block;       // the same frame, handed at once to the upload collector

  // A status reply goes to the status slots only.
  void PostStatus(const ByteString& frame) {
    status = frame;
    lastStatus = frame;
  }
  // Any other frame goes to the monitor, alarm and block slots, and refills the
  // status slot from the last status reply: once the unit has answered, any
  // frame from it counts as an answer.
  void PostOther(const ByteString& frame) {
    monitor = frame;
    alarm = frame;
    block = frame;
    status = lastStatus;
  }
};

}  // namespace koral
