#include "link/upload.h"

#include <span>
#include <string>
#include <string_view>
#include <tuple>

#include "model/data_byte.h"

namespace koral {
namespace {

// ---- where each block id goes ----

constexpr std::uint8_t kFirstUploadBlockId = 0x12;
constexpr std::uint8_t kRelayTitleBlockId = 0x23;
constexpr int kProgressLastBlock = 100;
constexpr int kProgressRelayTitle = 98;
// Progress after a frame of ids 0x12..0x1F.
constexpr std::array<int, kLastBlockIndex> kBlockProgress = {7, 14, 21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 90, 95};

// Whole frame lengths: 0x01, the id, 8 or 12 data bytes (2 for the relay title), 0x03.
constexpr std::size_t kShortFrame = 11;
constexpr std::size_t kLongFrame = 15;
constexpr std::size_t kRelayTitleFrame = 5;
// By block index 0..14 (ids 0x12..0x20).
constexpr std::array<std::size_t, kLastBlockIndex + 1> kFrameLengths = {
    kShortFrame, kLongFrame, kLongFrame, kLongFrame, kLongFrame,  kShortFrame, kLongFrame, kShortFrame,
    kLongFrame,  kLongFrame, kLongFrame, kLongFrame, kShortFrame, kLongFrame,  kLongFrame};

struct BlockSlot {
  int index;
  bool replaces;  // the relay title block keeps only its newest frame
  int progress;
  std::size_t frameLength;
};

std::optional<BlockSlot> SlotOf(std::uint8_t id) {
  if (id >= kFirstUploadBlockId && id < kLastUploadBlockId) {
    const auto index = static_cast<std::size_t>(id - kFirstUploadBlockId);
    return BlockSlot{static_cast<int>(index), false, kBlockProgress[index], kFrameLengths[index]};
  }
  if (id == kLastUploadBlockId)
    return BlockSlot{kLastBlockIndex, false, kProgressLastBlock, kFrameLengths[kLastBlockIndex]};
  if (id == kRelayTitleBlockId) return BlockSlot{kRelayTitleIndex, true, kProgressRelayTitle, kRelayTitleFrame};
  return std::nullopt;
}

std::string Hex(unsigned value) {
  constexpr std::string_view kDigits = "0123456789ABCDEF";
  return {'0', 'x', kDigits[(value >> 4) & 0xF], kDigits[value & 0xF]};
}

// The protocol has no checksum, but a frame of the wrong length or a data byte
// that is not a DataByte is damage anyone can see. Empty when the frame looks sound.
std::string DamageIn(const ByteString& frame, const BlockSlot& slot) {
  const std::string block = "block " + Hex(frame[1]);
  if (frame.size() != slot.frameLength) {
    return block + " came in a frame of " + std::to_string(frame.size()) + " bytes instead of " +
           std::to_string(slot.frameLength);
  }
  for (std::size_t i = 2; i + 1 < frame.size(); ++i) {
    if (!IsDataByte(frame[i])) return block + " carried the byte " + Hex(frame[i]) + ", which is not a setting value";
  }
  return {};
}

// ---- how each block unpacks ----

enum class Field { Registers, Title, Zones, DateTime };
enum class Banks { Day, Night, Both };

// `frames` runs of `perFrame` data bytes; the first starts at 1-based position
// `firstPosition` of the block, each next one a whole frame later.
struct BlockLayout {
  int block;
  int firstPosition;
  int frames;
  int perFrame;
  Banks banks;
  Field field;
  int destination;
};

constexpr int kDataStart = 3;      // after 0x01 and the id
constexpr int kFrameOverhead = 3;  // 0x01, id, 0x03

constexpr std::array<BlockLayout, 16> kLayouts = {{
    {0, kDataStart, 5, 8, Banks::Day, Field::Registers, 0},
    {1, kDataStart, 6, 12, Banks::Day, Field::Zones, 0},
    {2, kDataStart, 6, 12, Banks::Day, Field::Zones, 72},
    {3, kDataStart, 6, 12, Banks::Day, Field::Zones, 144},
    {4, kDataStart, 6, 12, Banks::Day, Field::Zones, 216},
    {5, kDataStart, 4, 8, Banks::Day, Field::Title, 0},
    {6, kDataStart, 9, 12, Banks::Day, Field::Registers, 40},
    {7, kDataStart, 1, 8, Banks::Day, Field::Registers, 148},
    {8, kDataStart, 6, 12, Banks::Night, Field::Zones, 0},
    {9, kDataStart, 6, 12, Banks::Night, Field::Zones, 72},
    {10, kDataStart, 6, 12, Banks::Night, Field::Zones, 144},
    {11, kDataStart, 6, 12, Banks::Night, Field::Zones, 216},
    {12, kDataStart, 4, 8, Banks::Night, Field::Title, 0},
    {13, kDataStart, 9, 12, Banks::Night, Field::Registers, 40},
    // The last block: 4 kept Date-Time bytes, then the end of the NIGHT registers.
    {kLastBlockIndex, kDataStart, 1, 4, Banks::Both, Field::DateTime, kFirstKeptDateTimeByte},
    {kLastBlockIndex, kDataStart + 4, 1, 8, Banks::Night, Field::Registers, 148},
}};
// Title bytes 32 and 33 (the relay state), both banks.
constexpr BlockLayout kRelayTitleLayout = {kRelayTitleIndex, kDataStart, 1, 2, Banks::Both, Field::Title, 32};

std::span<std::uint8_t> FieldOf(RegisterBank& bank, Field field) {
  switch (field) {
    case Field::Registers:
      return bank.registers;
    case Field::Title:
      return bank.title;
    case Field::Zones:
      return bank.zones;
    case Field::DateTime:
      return bank.dateTime;
  }
  return {};
}

constexpr std::size_t FieldSize(Field field) {
  switch (field) {
    case Field::Registers:
      return std::tuple_size_v<decltype(RegisterBank::registers)>;
    case Field::Title:
      return std::tuple_size_v<decltype(RegisterBank::title)>;
    case Field::Zones:
      return std::tuple_size_v<decltype(RegisterBank::zones)>;
    case Field::DateTime:
      return std::tuple_size_v<decltype(RegisterBank::dateTime)>;
  }
  return 0;
}

constexpr bool FitsItsField(const BlockLayout& layout) {
  return layout.destination + layout.frames * layout.perFrame <= static_cast<int>(FieldSize(layout.field));
}
static_assert(FitsItsField(kRelayTitleLayout));
static_assert([] {
  for (const auto& layout : kLayouts)
    if (!FitsItsField(layout)) return false;
  return true;
}());

void UnpackLayout(const ByteString& block, const BlockLayout& layout, std::span<std::uint8_t> destination) {
  const int stride = layout.perFrame + kFrameOverhead;
  for (int frame = 0; frame < layout.frames; ++frame) {
    for (int k = 0; k < layout.perFrame; ++k) {
      const auto position = static_cast<std::size_t>(layout.firstPosition - 1 + frame * stride + k);
      if (position >= block.size()) return;  // the rest has not arrived: left as it is
      destination[static_cast<std::size_t>(layout.destination + frame * layout.perFrame + k)] = block[position];
    }
  }
}

void UnpackLayout(const UploadBlocks& blocks, const BlockLayout& layout, RegisterBanks& banks) {
  const ByteString& block = blocks[static_cast<std::size_t>(layout.block)];
  if (layout.banks != Banks::Night) UnpackLayout(block, layout, FieldOf(banks.Bank(BankId::Day), layout.field));
  if (layout.banks != Banks::Day) UnpackLayout(block, layout, FieldOf(banks.Bank(BankId::Night), layout.field));
}

// ---- the opening and closing sequences ----

constexpr std::uint8_t kOpenTransfer = 0x98;
constexpr std::uint8_t kSeparator = 0xA0;
constexpr std::uint8_t kUploadSelect = 0xA8;
constexpr std::uint8_t kUploadRequest = 0xBB;
constexpr std::uint8_t kStatusRequest = 0xBA;
constexpr int kAddressRepeats = 3;

constexpr int kOpenWaitMs = 500;
constexpr int kStepWaitMs = 100;
constexpr int kCompletionWaitMs = 1000;
constexpr int kUnpackIntervalMs = 1000;
constexpr int kTimerStopped = 0;

constexpr std::string_view kAskTitle = "Upload";
constexpr std::string_view kAskText = "Do you want to upload to PC setting from the QT1-RX ?";
constexpr std::string_view kDoneTitle = "Communication";
constexpr std::string_view kDoneText = "Upload  Completed";
constexpr std::string_view kDamagedText = "The upload arrived damaged: ";
constexpr std::string_view kDamagedResult = ".\nNothing of it was kept; the settings you had before are back.";

}  // namespace

// ---- UploadCollector ----

UploadCollector::UploadCollector(Transport& transport, TransferState& state, Mailboxes& mailboxes, TransferHost& host)
    : transport_(transport), state_(state), mailboxes_(mailboxes), host_(host) {}

void UploadCollector::Store(const ByteString& frame) {
  if (!IsFramed(frame)) return;  // so the id, byte 2, exists
  const auto slot = SlotOf(frame[1]);
  if (!slot) return;
  if (state_.uploadActive && state_.uploadDamage.empty()) state_.uploadDamage = DamageIn(frame, *slot);
  ByteString& block = state_.uploadBlocks[static_cast<std::size_t>(slot->index)];
  if (slot->replaces) block.clear();
  block.insert(block.end(), frame.begin(), frame.end());
  host_.SetProgress(slot->progress);
}

void UploadCollector::CollectUploadFrame(const ByteString& frame) {
  if (!IsFramed(frame)) return;
  Store(frame);
  if (!state_.uploadActive) return;
  transport_.SendByte(kUploadAck);
  mailboxes_.monitor.clear();
  mailboxes_.alarm.clear();
}

void UploadCollector::CollectNetworkUploadFrame(const ByteString& frame) {
  Store(frame);
}

// ---- DecodeUploadBlocks ----

void DecodeUploadBlocks(const UploadBlocks& blocks, RegisterBanks& banks) {
  for (const auto& layout : kLayouts)
    UnpackLayout(blocks, layout, banks);
  UnpackLayout(blocks, kRelayTitleLayout, banks);
}

// ---- Upload ----

Upload::Upload(Transport& transport, Clock& clock, TransferState& state, Mailboxes& mailboxes, RegisterBanks& banks,
               TransferHost& host, const bool& offline)
    : transport_(transport),
      clock_(clock),
      state_(state),
      mailboxes_(mailboxes),
      banks_(banks),
      host_(host),
      offline_(offline) {}

void Upload::StartUpload() {
  if (offline_) {
    host_.ShowConnectionWindow();
    return;
  }
  host_.ShowPleaseWait();
  if (!host_.AskOkCancel(kAskTitle, kAskText)) return;

  transport_.RearmIfNetwork();
  transport_.SendByte(kOpenTransfer);
  clock_.Sleep(kOpenWaitMs);
  transport_.SendByte(kOpenTransfer);
  clock_.Sleep(kOpenWaitMs);

  // A second Start while one runs must not take the half-uploaded banks for the user's.
  if (!state_.uploadActive) {
    before_ =
        Snapshot{banks_.Bank(BankId::Day), banks_.Bank(BankId::Night), banks_.ActiveBank(), banks_.SettingsModified()};
  }
  host_.ReloadFactorySettings();

  const auto address = static_cast<std::uint8_t>(host_.UnitAddress());
  transport_.RearmIfNetwork();
  transport_.SendByte(kSeparator);
  clock_.Sleep(kStepWaitMs);
  transport_.RearmIfNetwork();
  transport_.SendByte(kUploadSelect);
  clock_.Sleep(kStepWaitMs);
  transport_.RearmIfNetwork();
  for (int i = 0; i < kAddressRepeats; ++i) {
    transport_.SendByte(address);
    clock_.Sleep(kStepWaitMs);
  }

  for (int i = 0; i <= kLastBlockIndex; ++i)  // the relay title block is replaced, never emptied
    state_.uploadBlocks[static_cast<std::size_t>(i)].clear();
  state_.uploadDamage.clear();
  // A frame half-assembled before this upload must not be glued to its first bytes.
  mailboxes_.rx.clear();
  host_.SetUnpackTimer(kUnpackIntervalMs);
  host_.SetSerialMonitorPolling(false);

  transport_.RearmIfNetwork();
  state_.uploadActive = true;
  transport_.SendByte(kUploadRequest);
  host_.ProgressStart();
}

void Upload::CheckComplete() {
  if (!state_.uploadActive) return;
  const ByteString& last = state_.uploadBlocks[kLastBlockIndex];
  if (last.empty() || last.front() != kFrameStart) {
    host_.RefreshWindow();  // shows what the unpack timer has filed so far
    return;
  }
  if (transport_.Mode() == LinkMode::Udp) {
    CompleteNetwork();
  } else {
    CompleteSerial();
  }
}

void Upload::CompleteSerial() {
  host_.ProgressEnd();
  clock_.Sleep(kCompletionWaitMs);
  transport_.SendByte(kSeparator);
  TellOutcome();
  state_.uploadActive = false;
  host_.SetSerialMonitorPolling(true);
  host_.SetUnpackTimer(kTimerStopped);
  if (state_.uploadDamage.empty()) Unpack();
  transport_.SendByte(kSeparator);
  KeepOrRestore();
}

void Upload::CompleteNetwork() {
  host_.ProgressEnd();
  clock_.Sleep(kCompletionWaitMs);
  transport_.RearmIfNetwork();
  transport_.SendByte(kSeparator);
  TellOutcome();
  transport_.RearmIfNetwork();
  transport_.SendByte(kSeparator);
  clock_.Sleep(kStepWaitMs);
  state_.uploadActive = false;
  host_.SetUnpackTimer(kTimerStopped);
  if (state_.uploadDamage.empty()) Unpack();
  transport_.RearmIfNetwork();
  const bool restoring = !state_.uploadDamage.empty() && before_;
  const bool modifiedBefore = restoring && before_->modified;
  KeepOrRestore();
  transport_.RearmIfNetwork();
  transport_.SendByte(kStatusRequest);
  host_.RefreshWindow();
  // The refresh's change handlers mark the banks modified; restored ones are as they were.
  if (restoring) banks_.SetSettingsModified(modifiedBefore);
}

void Upload::Abandon() {
  host_.SetUnpackTimer(kTimerStopped);
  state_.uploadActive = false;
  host_.SetSerialMonitorPolling(true);
  host_.ProgressEnd();
  RestoreBanks();
}

// A damaged upload ends on the wire as a sound one does; only what the user is
// told and what the banks keep differ.
void Upload::TellOutcome() {
  if (state_.uploadDamage.empty()) {
    host_.ShowMessage(kDoneTitle, kDoneText);
  } else {
    host_.ShowMessage(kAskTitle, std::string(kDamagedText) + state_.uploadDamage + std::string(kDamagedResult));
  }
}

void Upload::KeepOrRestore() {
  if (state_.uploadDamage.empty()) {
    before_.reset();
    host_.AdoptIncomingSettings();
  } else {
    RestoreBanks();
  }
}

void Upload::RestoreBanks() {
  if (!before_) {
    host_.RefreshWindow();
    return;
  }
  banks_.Bank(BankId::Day) = before_->day;
  banks_.Bank(BankId::Night) = before_->night;
  banks_.SetActiveBank(before_->active);
  host_.RefreshWindow();
  // After the refresh: its change handlers mark the banks modified.
  banks_.SetSettingsModified(before_->modified);
  before_.reset();
}

}  // namespace koral
