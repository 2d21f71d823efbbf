// The emulated detector: bytes from the line go in, frames for the line come
// out, each at its time on the injected clock. No I/O: the program around it
// moves the bytes and the tests drive it on virtual time.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "model/register_bank.h"
#include "model/unit_profile.h"
#include "unit/address_selection.h"
#include "unit/bytes.h"
#include "unit/commands.h"
#include "unit/ip_setting.h"
#include "unit/outbox.h"
#include "unit/output_data.h"
#include "unit/scene.h"
#include "unit/transfer_session.h"
#include "unit/unit_clock.h"
#include "unit/unit_date_clock.h"

namespace koral::emu {

inline constexpr int kSerialFrameGapMs = 150;  // the PC reads 100 ms after a first byte: one frame per read
inline constexpr int kNetworkFrameGapMs = 0;   // every frame is a datagram of its own
inline constexpr int kContinuousOutputMs = 1000;
inline constexpr int kAddressLookaheadMs = 1000;   // a 0x01 may start an IP message
inline constexpr int kUnfinishedMessageMs = 1000;  // the bytes of one frame or message come 10 ms apart
inline constexpr std::size_t kLongestDownloadFrame = 8 + 2 * 72 + 16;

struct UnitConfig {
  UnitModel model = UnitModel::Qt1Rx;
  LinkMode link = LinkMode::Serial;
  LineFaults faults;
  bool videoLost = false;
  bool still = false;  // the simulated picture shows no motion
  CivilTime startTime;
  Ipv4Address ipAddress = kFactoryIpAddress;
};

// The factory settings a unit leaves the works with, its address set.
RegisterBanks FactoryBanks(VideoStandard video, LinkMode link, std::uint8_t address);

class Unit {
 public:
  Unit(const UnitConfig& config, const RegisterBanks& banks, const UnitClock& clock, LogSink log);

  void Receive(std::uint8_t byte);
  void Receive(std::span<const std::uint8_t> bytes);
  // Runs the unit on to now; the frames due, each to be written on its own.
  std::vector<Bytes> Poll();
  // When Poll has something to do next.
  std::optional<std::int64_t> NextWakeMs() const;

  void SetVideoLost(bool lost);
  bool VideoLost() const { return videoLost_; }
  std::uint8_t Status() const;
  bool Selected() const { return selection_.Selected(); }
  bool InTransfer() const { return session_.InTransfer(); }
  const Ipv4Address& IpAddress() const { return ipAddress_; }
  const RegisterBanks& Banks() const { return banks_; }
  const Observation& Seen() const { return scene_.Seen(); }
  // True once after every completed download (time to save the banks).
  bool TakeDownloadCompleted();

 private:
  void Advance(std::int64_t nowMs);
  bool Unfinished() const { return downloadFrame_.has_value() || ipReader_.Active(); }
  void Handle(std::uint8_t byte, std::int64_t nowMs);
  void HandleStatusRequest();
  void HandleAddress(std::uint8_t address);
  void HandleKey(const Key& key);
  void HandleIpMessage(const IpMessageReader::Message& message);
  void FinishDownloadFrame(std::int64_t nowMs);
  void SendUploadFrame(const UploadFrame& frame);
  void RunScene(std::int64_t nowMs);
  bool Streaming() const;
  int OutputType() const;
  OutputRate Rate() const;
  void EmitOutput(OutputEvent event, int zone = 0);
  std::uint8_t OwnAddress() const;

  UnitConfig config_;
  RegisterBanks banks_;
  const UnitClock& clock_;
  LogSink log_;
  Outbox outbox_;
  TransferSession session_;
  AddressSelection selection_;
  IpMessageReader ipReader_;
  Scene scene_;
  UnitDateClock dateClock_;
  Ipv4Address ipAddress_;
  bool alarmEnabled_ = true;
  bool videoLost_ = false;
  bool downloadCompleted_ = false;
  std::optional<std::int64_t> pendingOneSinceMs_;  // a 0x01 that may open an IP message
  std::optional<Bytes> downloadFrame_;             // bytes after a 0xC0, until 0xCF
  std::int64_t lastByteMs_ = 0;
  std::int64_t nextPeriodicMs_;
};

}  // namespace koral::emu
