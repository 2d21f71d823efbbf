// The heartbeat of the settings window: on every main-timer tick the clock
// registers, the end of an upload, the status poll, the link check and one step
// of a running download. A unit that stays silent past its budget stops the
// heartbeat, abandons the transfer and brings the connection window back.
#pragma once

#include <functional>

#include "link/clock.h"
#include "link/download.h"
#include "link/mailboxes.h"
#include "link/transfer_host.h"
#include "link/transfer_state.h"
#include "link/transport.h"

namespace koral {

// The upload's part in the heartbeat, wired by whoever owns the upload.
struct UploadSupervision {
  std::function<void()> checkComplete;  // every tick
  // The unit fell silent during an upload and the abandon bytes are sent:
  // clear the upload flag, stop the unpack timer, end the progress, refresh.
  std::function<void()> abandon;
};

class Heartbeat {
 public:
  // `offline` is the session's flag: while set the unit is neither polled nor
  // checked.
  Heartbeat(Transport& transport, Clock& clock, TransferState& state, Mailboxes& mailboxes, TransferHost& host,
            Download& download, const bool& offline, UploadSupervision upload);

  // The main-timer tick. A tick that fires while another is still running (in
  // one of its message boxes) is skipped.
  void Tick();

  // Has the unit answered since the last check? A miss counts; past the budget
  // (15 ticks idle or uploading, 2 while downloading) the link has failed.
  void Check_Communication();

  int PollMissCount() const { return state_.pollMissCount; }

 private:
  void RunTick();
  void Poll();
  void Fail();

  Transport& transport_;
  Clock& clock_;
  TransferState& state_;
  Mailboxes& mailboxes_;
  TransferHost& host_;
  Download& download_;
  const bool& offline_;
  UploadSupervision upload_;
  bool ticking_ = false;
};

}  // namespace koral
