#include "link/heartbeat.h"

#include <utility>

namespace koral {
namespace {

constexpr std::uint8_t kSeparator = 0xA0;
constexpr std::uint8_t kAbandonUpload = 0xA4;
constexpr std::uint8_t kStatusRequest = 0xBA;
constexpr std::uint8_t kUploadRequest = 0xBB;

constexpr int kIdleMissBudget = 15;     // idle or uploading
constexpr int kDownloadMissBudget = 2;  // the unit acknowledges no download byte: drop it fast
// The network link asks only after this many silent checks: the unit's own
// output keeps the status mailbox filled.
constexpr int kNetworkQuietChecks = 5;
constexpr int kNetworkPollSettleMs = 100;
constexpr int kStepGapMs = 100;

constexpr char kFailTitle[] = "Communication Fail";
constexpr char kFailQuestion[] = "Do you want to retry ?";

}  // namespace

Heartbeat::Heartbeat(Transport& transport, Clock& clock, TransferState& state, Mailboxes& mailboxes, TransferHost& host,
                     Download& download, const bool& offline, UploadSupervision upload)
    : transport_(transport),
      clock_(clock),
      state_(state),
      mailboxes_(mailboxes),
      host_(host),
      download_(download),
      offline_(offline),
      upload_(std::move(upload)) {}

void Heartbeat::Tick() {
  // A message box inside a tick lets the timer fire again; a nested tick would
  // interleave its bytes with the running sequence and count a miss too early.
  if (ticking_) return;
  ticking_ = true;
  RunTick();
  ticking_ = false;
}

void Heartbeat::RunTick() {
  host_.UpdateClockRegisters();
  if (upload_.checkComplete) upload_.checkComplete();
  // The QT-MX is neither polled nor supervised.
  if (host_.SerialWindowMenuEnabled()) {
    if (state_.downloadRequested) {
      transport_.RearmIfNetwork();
      transport_.SendByte(kStatusRequest);
    }
    if (!offline_) {
      Poll();
      Check_Communication();
    }
  }
  // A failure above has dropped the download, so no step runs after it.
  if (state_.downloadRequested) download_.RunDownloadStep();
}

void Heartbeat::Poll() {
  if (state_.uploadActive) return;  // the upload's frames are the answers
  if (transport_.Mode() == LinkMode::Serial) {
    transport_.SendByte(kStatusRequest);
  } else if (state_.pollMissCount > kNetworkQuietChecks) {
    transport_.RearmIfNetwork();
    transport_.SendByte(kStatusRequest);
    clock_.Sleep(kNetworkPollSettleMs);
  }
}

void Heartbeat::Check_Communication() {
  if (!mailboxes_.status.empty()) {
    host_.ShowLinkState(true);
    state_.pollMissCount = 0;
    mailboxes_.status.clear();
    return;
  }
  ++state_.pollMissCount;
  host_.ShowMissedPolls(state_.pollMissCount);
  if (!state_.downloadRequested) {
    if (state_.pollMissCount < kIdleMissBudget) {
      if (state_.uploadActive) {
        transport_.RearmIfNetwork();
        transport_.SendByte(kUploadRequest);  // ask the unit again for its settings
      }
      return;
    }
  } else if (state_.pollMissCount < kDownloadMissBudget) {
    if (state_.uploadActive) transport_.SendByte(kStatusRequest);
    return;
  }
  Fail();
}

void Heartbeat::Fail() {
  host_.ShowLinkState(false);
  // Whichever button is pressed, the user reconnects through the connection window.
  host_.AskRetry(kFailTitle, kFailQuestion);
  mailboxes_.status.clear();
  state_.pollMissCount = 0;
  transport_.RearmIfNetwork();
  host_.StopMainTimer();
  host_.ShowConnectionWindow();
  if (state_.uploadActive) {
    clock_.Sleep(kStepGapMs);
    transport_.RearmIfNetwork();
    transport_.SendByte(kSeparator);
    clock_.Sleep(kStepGapMs);
    transport_.SendByte(kAbandonUpload);
    if (upload_.abandon) upload_.abandon();
    return;
  }
  transport_.SendByte(kSeparator);
  clock_.Sleep(kStepGapMs);
  state_.downloadRequested = false;
  state_.downloadStep = 0;
  host_.ProgressEnd();
  host_.RefreshWindow();
}

}  // namespace koral
