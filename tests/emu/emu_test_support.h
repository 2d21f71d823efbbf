// The emulated unit on virtual time, a harness playing the PC's side that
// records each frame with its time, and the PC's transfer byte sequences.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "model/data_byte.h"
#include "unit/download_receiver.h"
#include "unit/unit.h"
#include "unit/upload_sender.h"

namespace koral::emu::test {

class ManualClock final : public UnitClock {
 public:
  std::int64_t NowMs() const override { return now; }
  std::int64_t now = 0;
};

struct Sent {
  std::int64_t atMs;
  Bytes bytes;
  friend bool operator==(const Sent&, const Sent&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Sent& sent) {
  return out << "{" << sent.atMs << " ms: " << Hex(sent.bytes) << "}";
}

inline constexpr CivilTime kStartTime{2025, 12, 25, 9, 30, 45};

// A unit that shows no motion unless a test wants it, on a serial line.
inline UnitConfig QuietConfig(UnitModel model = UnitModel::Qt1Rx, LinkMode link = LinkMode::Serial) {
  UnitConfig config;
  config.model = model;
  config.link = link;
  config.still = true;
  config.startTime = kStartTime;
  return config;
}

inline RegisterBanks Factory(std::uint8_t address = 0, LinkMode link = LinkMode::Serial) {
  return FactoryBanks(VideoStandard::Ntsc, link, address);
}

inline constexpr int kPcByteMs = 10;  // the PC waits this long after every byte

class UnitHarness {
 public:
  explicit UnitHarness(const UnitConfig& config = QuietConfig(), const RegisterBanks& banks = Factory())
      : unit(config, banks, clock, [this](const std::string& line) { log.push_back(line); }) {}

  // Runs virtual time on to `ms`, as the program's timer would.
  void RunUntil(std::int64_t ms) {
    for (int guard = 0; guard < 1'000'000; ++guard) {
      const auto wake = unit.NextWakeMs();
      if (!wake || *wake > ms) break;
      clock.now = std::max(clock.now, *wake);
      Collect();
    }
    clock.now = std::max(clock.now, ms);
    Collect();
  }
  void RunFor(std::int64_t ms) { RunUntil(clock.now + ms); }

  // The PC's bytes, one every `gapMs`, each followed by what the unit sends.
  void Send(const std::vector<std::uint8_t>& bytes, int gapMs = kPcByteMs) {
    for (const std::uint8_t byte : bytes) {
      unit.Receive(byte);
      Collect();
      RunFor(gapMs);
    }
  }
  void Send(std::initializer_list<std::uint8_t> bytes, int gapMs = kPcByteMs) {
    Send(std::vector<std::uint8_t>(bytes), gapMs);
  }

  std::vector<Bytes> SentBytes() const {
    std::vector<Bytes> bytes;
    for (const Sent& s : sent)
      bytes.push_back(s.bytes);
    return bytes;
  }
  bool Logged(const std::string& line) const { return std::find(log.begin(), log.end(), line) != log.end(); }

  ManualClock clock;
  std::vector<std::string> log;
  std::vector<Sent> sent;
  Unit unit;

 private:
  void Collect() {
    for (Bytes& frame : unit.Poll())
      sent.push_back({clock.now, std::move(frame)});
  }
};

// ---- the PC's side ----------------------------------------------------------

inline Bytes Pair(std::uint8_t value) {
  return {HighDataByte(value), LowDataByte(value)};
}

template <typename Range>
Bytes DownloadFrameBytes(std::uint8_t address, std::uint8_t count, std::uint8_t block, const Range& data) {
  Bytes frame = {0xC0};
  for (const std::uint8_t v : {address, count, block}) {
    const Bytes pair = Pair(v);
    frame.insert(frame.end(), pair.begin(), pair.end());
  }
  frame.push_back(0xD0);
  frame.push_back(0xD0);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(0xCF);
  return frame;
}

template <std::size_t N>
Bytes Slice(const std::array<std::uint8_t, N>& bytes, std::size_t first, std::size_t end) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(first), bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

inline void Append(Bytes& to, const Bytes& more) {
  to.insert(to.end(), more.begin(), more.end());
}

// A download as the PC sends it, one entry per main-timer tick (steps 1..7).
inline std::vector<Bytes> DownloadSteps(const RegisterBanks& pc, std::uint8_t address) {
  const RegisterBank& day = pc.Bank(BankId::Day);
  const RegisterBank& night = pc.Bank(BankId::Night);
  const auto dateTime = DownloadFrameBytes(0x80, 9, 0, day.dateTime);
  const auto registerA = DownloadFrameBytes(address, 20, 1, Slice(day.registers, 0, 40));
  const auto registerB = [&](const RegisterBank& b) {
    return DownloadFrameBytes(address, 58, 2, Slice(b.registers, 40, 156));
  };
  const auto title = [&](const RegisterBank& b) { return DownloadFrameBytes(address, 17, 3, b.title); };
  const auto zones = [&](const RegisterBank& b) {
    Bytes both = DownloadFrameBytes(address, 72, 4, Slice(b.zones, 0, 144));
    Append(both, DownloadFrameBytes(address, 72, 5, Slice(b.zones, 144, 288)));
    return both;
  };
  const std::uint8_t a = address;
  std::vector<Bytes> steps(7);
  steps[0] = {0x98, 0x98, 0xA1, 0xA0, a, a, a, 0xA1};
  Append(steps[0], dateTime);
  steps[0].push_back(a);
  const auto step = [a](std::initializer_list<Bytes> parts) {
    Bytes bytes = {a};
    for (const Bytes& part : parts)
      Append(bytes, part);
    return bytes;
  };
  steps[1] = step({registerA, {a}});
  steps[2] = step({title(day), {a}});
  steps[3] = step({zones(day), {a}, registerB(day), {a}});
  steps[4] = step({zones(night), {a}});
  steps[5] = step({title(night), {a}});
  steps[6] = step({registerB(night), {0xA0, 0xA1, 0xA1, 0xA0, 0xA0, 0xBA, 0xA0, 0xBA}});
  return steps;
}

inline std::vector<std::uint8_t> UploadOpening(std::uint8_t address) {
  return {0x98, 0x98, 0xA0, 0xA8, address, address, address, 0xBB};
}

// What the PC makes of the upload frames: appended per block, unpacked by
// data position, then the values that travel once reach the other bank.
inline RegisterBanks UnpackUpload(const std::vector<Bytes>& frames, RegisterBanks pc) {
  std::map<std::uint8_t, Bytes> data;
  for (const Bytes& frame : frames) {
    if (frame.size() < 3 || frame.front() != 0x01 || frame.back() != 0x03) continue;
    Bytes& block = data[frame[1]];
    block.insert(block.end(), frame.begin() + 2, frame.end() - 1);
  }
  RegisterBank& day = pc.Bank(BankId::Day);
  RegisterBank& night = pc.Bank(BankId::Night);
  const auto put = [&](std::uint8_t block, std::size_t from, auto& target, std::size_t first, std::size_t count) {
    const Bytes& bytes = data[block];
    for (std::size_t i = 0; i < count && from + i < bytes.size(); ++i)
      target[first + i] = bytes[from + i];
  };
  put(0x12, 0, day.registers, 0, 40);
  for (std::uint8_t q = 0; q < 4; ++q) {
    put(static_cast<std::uint8_t>(0x13 + q), 0, day.zones, 72u * q, 72);
    put(static_cast<std::uint8_t>(0x1A + q), 0, night.zones, 72u * q, 72);
  }
  put(0x17, 0, day.title, 0, 32);
  put(0x18, 0, day.registers, 40, 108);
  put(0x19, 0, day.registers, 148, 8);
  put(0x1E, 0, night.title, 0, 32);
  put(0x1F, 0, night.registers, 40, 108);
  put(0x20, 0, day.dateTime, 14, 4);
  put(0x20, 0, night.dateTime, 14, 4);
  put(0x20, 4, night.registers, 148, 8);
  put(0x23, 0, day.title, 32, 2);
  put(0x23, 0, night.title, 32, 2);
  std::copy(day.registers.begin(), day.registers.begin() + 40, night.registers.begin());
  return pc;
}

// Banks that differ wherever they can, so a misplaced byte shows.
inline RegisterBanks Distinct(std::uint8_t address) {
  RegisterBanks banks = Factory(address);
  int n = 0;
  for (const BankId id : {BankId::Day, BankId::Night}) {
    RegisterBank& bank = banks.Bank(id);
    for (auto& b : bank.zones)
      b = ToDataByte(static_cast<unsigned>(n++ % 9));
    for (std::size_t i = 0; i < bank.title.size(); ++i)
      bank.title[i] = ToDataByte(static_cast<unsigned>(n++));
    for (std::size_t i = 0; i < bank.registers.size(); ++i)
      bank.registers[i] = ToDataByte(static_cast<unsigned>(n++ * 7));
    for (std::size_t i = 0; i < bank.dateTime.size(); ++i)
      bank.dateTime[i] = ToDataByte(static_cast<unsigned>(n++ * 3));
  }
  // Values shared by both banks are the same in both, as the PC keeps them.
  RegisterBank& day = banks.Bank(BankId::Day);
  RegisterBank& night = banks.Bank(BankId::Night);
  std::copy(day.registers.begin(), day.registers.begin() + 40, night.registers.begin());
  std::copy(day.dateTime.begin() + 14, day.dateTime.end(), night.dateTime.begin() + 14);
  for (const std::size_t i : {78u, 79u, 80u, 81u})  // Registers 39 and 40
    night.registers[i] = day.registers[i];
  for (RegisterBank* bank : {&day, &night}) {
    bank->registers[80] = HighDataByte(address);  // Register 40, the unit address
    bank->registers[81] = LowDataByte(address);
    bank->registers[82] = LowDataByte(0);  // Register 41: no output data to get in the way
    bank->registers[83] = LowDataByte(0);
  }
  return banks;
}

// Everything of two banks but the clock registers 0..6 and the parameter sets.
inline bool SameSettings(const RegisterBank& a, const RegisterBank& b) {
  return a.registers == b.registers && a.title == b.title && a.zones == b.zones &&
         std::equal(a.dateTime.begin() + 14, a.dateTime.end(), b.dateTime.begin() + 14);
}

}  // namespace koral::emu::test
