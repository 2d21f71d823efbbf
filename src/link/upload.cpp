#include "link/upload.h"

#include <span>
#include <string_view>
#include <tuple>

namespace koral {
namespace {

// ---- where each block id goes ----

constexpr std::uint8_t kFirstUploadBlockId = 0x12;
constexpr std::uint8_t kRelayTitleBlockId = 0x23;
constexpr int kProgressLastBlock = 100;
constexpr int kProgressRelayTitle = 98;
// Progress after a frame of ids 0x12..0x1F.
constexpr std::array<int, kLastBlockIndex> kBlockProgress = {7, 14, 21, 28, 35, 42, 50, 57, 64, 71, 78, 85, 90, 95};

struct BlockSlot {
  int index;
  bool replaces;  // the relay title block keeps only its newest frame
  int progress;
};

std::optional<BlockSlot> SlotOf(std::uint8_t id) {
  if (id >= kFirstUploadBlockId && id < kLastUploadBlockId) {
    const int index = id - kFirstUploadBlockId;
    return BlockSlot{index, false, kBlockProgress[static_cast<std::size_t>(index)]};
  }
  if (id == kLastUploadBlockId) return BlockSlot{kLastBlockIndex, false, kProgressLastBlock};
  if (id == kRelayTitleBlockId) return BlockSlot{kRelayTitleIndex, true, kProgressRelayTitle};
  return std::nullopt;
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

}  // namespace

// ---- UploadCollector ----

UploadCollector::UploadCollector(Transport& transport, TransferState& state, Mailboxes& mailboxes, TransferHost& host)
    : transport_(transport), state_(state), mailboxes_(mailboxes), host_(host) {}

void UploadCollector::Store(const ByteString& frame) {
  if (!IsFramed(frame)) return;  // so the id, byte 2, exists
  const auto slot = SlotOf(frame[1]);
  if (!slot) return;
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
  before_.reset();
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
  host_.ShowMessage(kDoneTitle, kDoneText);
  state_.uploadActive = false;
  host_.SetSerialMonitorPolling(true);
  host_.SetUnpackTimer(kTimerStopped);
  Unpack();
  transport_.SendByte(kSeparator);
  host_.AdoptIncomingSettings();
}

void Upload::CompleteNetwork() {
  host_.ProgressEnd();
  clock_.Sleep(kCompletionWaitMs);
  transport_.RearmIfNetwork();
  transport_.SendByte(kSeparator);
  host_.ShowMessage(kDoneTitle, kDoneText);
  transport_.RearmIfNetwork();
  transport_.SendByte(kSeparator);
  clock_.Sleep(kStepWaitMs);
  state_.uploadActive = false;
  host_.SetUnpackTimer(kTimerStopped);
  Unpack();
  transport_.RearmIfNetwork();
  host_.AdoptIncomingSettings();
  transport_.RearmIfNetwork();
  transport_.SendByte(kStatusRequest);
  host_.RefreshWindow();
}

void Upload::Abandon() {
  host_.SetUnpackTimer(kTimerStopped);
  state_.uploadActive = false;
  host_.SetSerialMonitorPolling(true);
  host_.ProgressEnd();
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
