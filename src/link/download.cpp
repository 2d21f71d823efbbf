#include "link/download.h"

#include <span>
#include <string>

#include "model/data_byte.h"

namespace koral {
namespace {

// Command bytes; the unit gives them meaning only through the sequences below.
constexpr std::uint8_t kOpenTransfer = 0x98;  // sent twice to open a transfer
constexpr std::uint8_t kSeparator = 0xA0;
constexpr std::uint8_t kSelectUnit = 0xA1;
constexpr std::uint8_t kStatusRequest = 0xBA;
constexpr std::uint8_t kDownloadFrameStart = 0xC0;
constexpr std::uint8_t kDownloadFrameEnd = 0xCF;
constexpr std::uint8_t kDateTimeAddress = 0x80;  // the clock frame goes to every unit

// Pacing waits; the unit takes one byte at a time and needs them.
constexpr int kFirstOpenSettleMs = 500;
constexpr int kSecondOpenSettleMs = 400;
constexpr int kStepGapMs = 100;
constexpr int kZoneGapMs = 100;  // between the two zone frames
constexpr int kCloseSettleMs = 200;

// Progress bar values as the download goes.
constexpr int kProgressClockSent = 10;
constexpr int kProgressDayRegisterA = 20;
constexpr int kProgressDayTitle = 30;
constexpr int kProgressDayZones = 45;
constexpr int kProgressDayRegisterB = 60;
constexpr int kProgressNightZones = 75;
constexpr int kProgressNightTitle = 85;
constexpr int kProgressDone = 100;

constexpr int kRegisterASize = 40;  // Register bytes 0..39
constexpr int kHalfZoneCells = kZoneCellCount / 2;

constexpr char kTitle[] = "Download";
constexpr char kNetworkQuestion[] = "Do you want to download the QT1-RX setting to the PC ?";
constexpr char kDoneTitle[] = "Communication";
constexpr char kDoneText[] = "Download Completed";

std::span<const std::uint8_t> BlockData(DownloadBlock block, const RegisterBank& bank) {
  const std::span<const std::uint8_t> registers(bank.registers);
  const std::span<const std::uint8_t> zones(bank.zones);
  switch (block) {
    case DownloadBlock::DateTime:
      return bank.dateTime;
    case DownloadBlock::RegisterA:
      return registers.first(kRegisterASize);
    case DownloadBlock::RegisterB:
      return registers.subspan(kRegisterASize);
    case DownloadBlock::Title:
      return bank.title;
    case DownloadBlock::Zone1:
      return zones.first(kHalfZoneCells);
    case DownloadBlock::Zone2:
      return zones.subspan(kHalfZoneCells);
  }
  return {};
}

void AppendPair(ByteString& frame, std::uint8_t value) {
  frame.push_back(HighDataByte(value));
  frame.push_back(LowDataByte(value));
}

}  // namespace

ByteString DownloadFrame(DownloadBlock block, std::uint8_t unitAddress, const RegisterBank& bank) {
  const std::span<const std::uint8_t> data = BlockData(block, bank);
  ByteString frame{kDownloadFrameStart};
  AppendPair(frame, block == DownloadBlock::DateTime ? kDateTimeAddress : unitAddress);
  AppendPair(frame, static_cast<std::uint8_t>(data.size() / 2));
  AppendPair(frame, static_cast<std::uint8_t>(block));
  AppendPair(frame, 0);
  frame.insert(frame.end(), data.begin(), data.end());
  frame.push_back(kDownloadFrameEnd);
  return frame;
}

Download::Download(Transport& transport, Clock& clock, TransferState& state, const RegisterBanks& banks,
                   TransferHost& host, const bool& offline)
    : transport_(transport), clock_(clock), state_(state), banks_(banks), host_(host), offline_(offline) {}

void Download::StartDownload() {
  if (offline_) {
    host_.ShowConnectionWindow();
    return;
  }
  state_.downloadRequested = true;
  state_.downloadStep = 0;
  transport_.RearmIfNetwork();
  Send(kStatusRequest);
}

void Download::RunDownloadStep() {
  const int step = ++state_.downloadStep;
  if (step == 1) {
    RunOpeningStep();
    return;
  }
  transport_.RearmIfNetwork();
  SendAddress();
  switch (step) {
    case 2:
      SendFrame(DownloadBlock::RegisterA, BankId::Day);  // the shared registers travel once
      host_.SetProgress(kProgressDayRegisterA);
      SendAddress();
      break;
    case 3:
      SendFrame(DownloadBlock::Title, BankId::Day);
      host_.SetProgress(kProgressDayTitle);
      SendAddress();
      break;
    case 4:
      SendZoneFrames(BankId::Day);
      host_.SetProgress(kProgressDayZones);
      SendAddress();
      Wait(kStepGapMs);
      SendFrame(DownloadBlock::RegisterB, BankId::Day);
      SendAddress();
      host_.SetProgress(kProgressDayRegisterB);
      break;
    case 5:
      SendZoneFrames(BankId::Night);
      SendAddress();
      host_.SetProgress(kProgressNightZones);
      break;
    case 6:
      SendFrame(DownloadBlock::Title, BankId::Night);
      SendAddress();
      host_.SetProgress(kProgressNightTitle);
      break;
    default:
      RunClosingStep();
      break;
  }
}

void Download::RunOpeningStep() {
  host_.ShowPleaseWait();
  const std::string question = transport_.Mode() == LinkMode::Udp ? std::string(kNetworkQuestion)
                                                                  : "COM" + std::to_string(transport_.SendPort()) +
                                                                        " Baudrate " + transport_.SerialSettings();
  if (!host_.AskOkCancel(kTitle, question)) {
    host_.ProgressEnd();  // takes the "Please wait" notice down again
    EndWithSeparator();
    return;
  }
  transport_.RearmIfNetwork();
  Send(kOpenTransfer);
  Wait(kFirstOpenSettleMs);
  Send(kOpenTransfer);
  Wait(kSecondOpenSettleMs);
  host_.ProgressStart();
  Send(kSelectUnit);
  Wait(kStepGapMs);
  transport_.RearmIfNetwork();
  Send(kSeparator);
  Wait(kStepGapMs);
  for (int i = 0; i < 3; ++i) {
    SendAddress();
    Wait(kStepGapMs);
  }
  transport_.RearmIfNetwork();
  Send(kSelectUnit);
  Wait(kStepGapMs);
  // The window's clock tick writes only the bank on show; the frame carries DAY.
  host_.UpdateDayClockRegisters();
  SendFrame(DownloadBlock::DateTime, BankId::Day);
  host_.SetProgress(kProgressClockSent);
  SendAddress();
}

void Download::RunClosingStep() {
  SendFrame(DownloadBlock::RegisterB, BankId::Night);
  host_.SetProgress(kProgressDone);
  Wait(kStepGapMs);
  Send(kSeparator);
  Wait(kStepGapMs);
  Send(kSelectUnit);
  Wait(kStepGapMs);
  Send(kSelectUnit);
  Wait(kCloseSettleMs);
  host_.ProgressEnd();
  Wait(kStepGapMs);
  Send(kSeparator);
  Wait(kStepGapMs);
  host_.ShowMessage(kDoneTitle, kDoneText);
  Wait(kStepGapMs);
  Send(kSeparator);
  Wait(kStepGapMs);
  Send(kStatusRequest);
  if (transport_.Mode() == LinkMode::Udp) {
    // The unit may now run at the speed chosen on the settings page: the
    // bridge's serial side follows it.
    transport_.SendBridgeDivisor(host_.UnitBaudPosition());
  }
  EndWithSeparator();
}

void Download::EndWithSeparator() {
  Send(kSeparator);
  Wait(kStepGapMs);
  End();
}

void Download::End() {
  state_.downloadRequested = false;
  state_.downloadStep = 0;
  transport_.RearmIfNetwork();
  Send(kStatusRequest);
}

void Download::SendFrame(DownloadBlock block, BankId bank) {
  for (const std::uint8_t byte : DownloadFrame(block, Address(), banks_.Bank(bank)))
    Send(byte);
}

void Download::SendZoneFrames(BankId bank) {
  SendFrame(DownloadBlock::Zone1, bank);
  Wait(kZoneGapMs);
  SendFrame(DownloadBlock::Zone2, bank);
}

void Download::SendAddress() {
  Send(Address());
}

std::uint8_t Download::Address() const {
  return static_cast<std::uint8_t>(host_.UnitAddress());
}

}  // namespace koral
