// The link engine run headless against the emulated unit, over a real
// pseudo-terminal (COM1 through KORAL_COM1) and real UDP on loopback. The
// protocol's waits are real; tests wait for conditions, never on timing.
#include <gtest/gtest.h>
#include <signal.h>

#include <QHostAddress>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <array>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <regex>

#include "emulator_process.h"
#include "model/settings_file.h"
#include "monitor/output_decoder.h"
#include "monitor/serial_monitor_model.h"
#include "platform/platform_test_support.h"
#include "runtime/headless_runner.h"
#include "user_settings.h"

namespace koral {

void PrintTo(ConnectOutcome outcome, std::ostream* out) {
  constexpr std::array<const char*, 3> kNames = {"Connected", "PortError", "NoAnswer"};
  *out << kNames[static_cast<std::size_t>(outcome)];
}
void PrintTo(TransferOutcome outcome, std::ostream* out) {
  constexpr std::array<const char*, 5> kNames = {"Completed", "Cancelled", "NotStarted", "LinkFailure", "TimedOut"};
  *out << kNames[static_cast<std::size_t>(outcome)];
}

namespace integration {
namespace {

constexpr int kSerialPort = 1;      // COM1 reaches the emulator's pseudo-terminal
constexpr int kSlowestSpeed = 0;    // 1200 baud: the network link's fastest main timer
constexpr int kStepMs = 5000;       // a connection or one look at the unit
constexpr int kTransferMs = 60000;  // a whole download or upload with the protocol's real waits
constexpr int kFailureMs = 30000;   // fifteen silent ticks and the failure sequence
constexpr int kMonitorMs = 10000;   // a few frames of a unit that streams once a second
constexpr char kLoopback[] = "127.0.0.1";

const std::string kCommunicationComplete = "DAY ,Communication Complete ,Video OK";
const std::string kCommunicationFail = "DAY ,Communication Fail ,Video OK";
const ShownDialog kLinkFailure{ShownDialog::Kind::RetryQuestion, "Communication Fail", "Do you want to retry ?"};

// How the unit's frames reach the PC: whole, or (on the serial line) each in
// two pieces 30 ms apart, as a USB serial adapter hands over what it has
// received while the rest of a frame is still on the line.
struct Line {
  const char* name;
  LinkMode link;
  bool inPieces;
};

constexpr Line kPseudoTerminal{"PseudoTerminal", LinkMode::Serial, false};
constexpr Line kPseudoTerminalInPieces{"PseudoTerminalInPieces", LinkMode::Serial, true};
constexpr Line kUdpLoopback{"UdpLoopback", LinkMode::Udp, false};
constexpr int kPiecesPerFrame = 2;
constexpr char kPiecesNote[] = "(in 2 pieces 30 ms apart)";  // what koral-emu logs after such a frame

void PrintTo(const Line& line, std::ostream* out) {
  *out << line.name;
}

std::string LineName(const ::testing::TestParamInfo<Line>& info) {
  return info.param.name;
}

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void TearDown() override {
    runner_.reset();
    if (!emulator_) return;
    emulator_->Stop();
    if (HasFailure()) std::cerr << "koral-emu's log:\n" << emulator_->Log();
    for (int n = 1; n <= SerialPorts::kCount; ++n)
      qunsetenv(("KORAL_COM" + std::to_string(n)).c_str());
  }

  // The unit on `line`, nothing moving in its picture, with these options; and
  // the runner that will reach it.
  void StartUnit(const Line& line, QStringList options) {
    const LinkMode link = line.link;
    link_ = link;
    inPieces_ = line.inPieces;
    options << "--still";
    if (line.inPieces) options << "--pieces" << QString::number(kPiecesPerFrame);
    if (link == LinkMode::Serial) {
      options << "--link" << QString::fromStdString(Scratch("com1"));
    } else {
      options << "--udp" << QString(kLoopback) + ":0";
    }
    emulator_ = std::make_unique<EmulatorProcess>(options, Scratch("koral-emu.log"));
    ASSERT_TRUE(emulator_->Start()) << emulator_->Problem();
    if (link == LinkMode::Serial) {
      // COM1 is the unit's line; no other port reaches a device.
      qputenv("KORAL_COM1", QByteArray::fromStdString(Scratch("com1")));
      for (int n = 2; n <= SerialPorts::kCount; ++n)
        qputenv(("KORAL_COM" + std::to_string(n)).c_str(), QByteArray());
    } else {
      localPort_ = UnusedUdpPort();
      ASSERT_NE(localPort_, 0);
      ASSERT_NE(localPort_, emulator_->UdpPort());
    }
    runner_ = std::make_unique<HeadlessRunner>(link);
  }

  ConnectResult Connect(int speedIndex = kBaud4800Index, UnitModel model = UnitModel::Qt1Rx) {
    if (link_ == LinkMode::Serial) return runner_->ConnectSerial(kSerialPort, speedIndex, model);
    return runner_->ConnectNetwork(kLoopback, emulator_->UdpPort(), localPort_, speedIndex, model);
  }

  void ConnectAndSeeTheUnitAnswer(int speedIndex = kBaud4800Index) {
    const ConnectResult connected = Connect(speedIndex);
    ASSERT_EQ(connected.outcome, ConnectOutcome::Connected) << connected.reason;
    ASSERT_TRUE(CaptionBecomes(kCommunicationComplete)) << Settings().Caption();
  }

  bool CaptionBecomes(const std::string& caption) {
    return runner_->RunUntil([&] { return Settings().Caption() == caption; }, kStepMs);
  }

  bool LogShows(const std::string& text) {
    return runner_->RunUntil([&] { return emulator_->Log().find(text) != std::string::npos; }, kStepMs);
  }

  // On a line in pieces the unit did split its frames, so a pass means something.
  bool FramesWentAsAsked() { return !inPieces_ || LogShows(kPiecesNote); }

  std::string Scratch(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  SettingsWindowModel& Settings() { return runner_->Engine().Settings(); }
  Session& GetSession() { return runner_->GetSession(); }
  SettingsImage PcSettings() { return ComposeSettingsImage(GetSession().banks); }

  // Written to a file in the test's folder, for the unit's --load.
  std::string SettingsFile(const std::string& name, LinkMode link, const UserEdits& edits) {
    std::string path = Scratch(name);
    EXPECT_FALSE(WriteSettingsFile(path, EditedSettings(link, edits)).has_value());
    return path;
  }

  QTemporaryDir dir_;
  LinkMode link_ = LinkMode::Serial;
  bool inPieces_ = false;
  std::uint16_t localPort_ = 0;
  std::unique_ptr<EmulatorProcess> emulator_;
  std::unique_ptr<HeadlessRunner> runner_;
};

class EveryLink : public LinkTest, public ::testing::WithParamInterface<Line> {
 protected:
  LinkMode Link() const { return GetParam().link; }
};

INSTANTIATE_TEST_SUITE_P(Link, EveryLink, ::testing::Values(kPseudoTerminal, kPseudoTerminalInPieces, kUdpLoopback),
                         LineName);

TEST_P(EveryLink, connect_unitAnswersAndTheHeartbeatShowsCommunicationComplete) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(GetParam(), {}));
  const ConnectResult connected = Connect();
  ASSERT_EQ(connected.outcome, ConnectOutcome::Connected) << connected.reason;
  EXPECT_TRUE(runner_->DialogShown("Communication  Completed"));
  EXPECT_TRUE(runner_->MainTimerRunning());
  EXPECT_EQ(runner_->MainTimerInterval(), Link() == LinkMode::Serial ? 1000 : 450);
  EXPECT_TRUE(CaptionBecomes(kCommunicationComplete)) << Settings().Caption();
  EXPECT_FALSE(GetSession().offline);
  EXPECT_TRUE(FramesWentAsAsked());
}

TEST_P(EveryLink, download_unitHoldsThePcSettingsAfterwards) {
  constexpr int kUnitAddress = 0x25;
  const std::string dump = Scratch("unit.txt");
  ASSERT_NO_FATAL_FAILURE(
      StartUnit(GetParam(), {"--address", QString::number(kUnitAddress), "--dump", QString::fromStdString(dump)}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer());
  EditLikeAUser(Settings(), {kUnitAddress, "SENT DAY", "SENT NIGHT"});
  ASSERT_EQ(runner_->Download(kTransferMs), TransferOutcome::Completed);
  EXPECT_TRUE(runner_->DialogShown("Download Completed"));
  ASSERT_TRUE(runner_->RunUntil([&] { return std::filesystem::exists(dump); }, kStepMs)) << "no dump after a download";
  // The file holds no clock registers: everything else must have arrived.
  const SettingsImage unit = ImageOfFile(dump);
  EXPECT_EQ(DifferingLines(PcSettings(), unit), "");
  EXPECT_EQ(TitleOf(unit, BankId::Day), "SENT DAY");
  EXPECT_EQ(TitleOf(unit, BankId::Night), "SENT NIGHT");
  EXPECT_TRUE(runner_->MainTimerRunning());
  EXPECT_TRUE(FramesWentAsAsked());
}

TEST_P(EveryLink, upload_pcHoldsTheUnitSettingsAfterwards) {
  constexpr int kUnitAddress = 0x25;
  const std::string unitFile = SettingsFile("unit.txt", Link(), {kUnitAddress, "FETCHED DAY", "FETCHED NIGHT"});
  ASSERT_NO_FATAL_FAILURE(StartUnit(GetParam(), {"--load", QString::fromStdString(unitFile)}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer());
  Settings().SetNumber(SettingsWindowModel::NumberIndex("udAddr"), kUnitAddress);
  ASSERT_EQ(runner_->Upload(kTransferMs), TransferOutcome::Completed);
  EXPECT_TRUE(runner_->DialogShown("Upload  Completed"));
  EXPECT_EQ(Settings().TitleText(), "FETCHED DAY");
  EXPECT_EQ(DifferingLines(ImageOfFile(unitFile), PcSettings()), "");
  EXPECT_FALSE(runner_->UnpackTimerRunning());
  EXPECT_TRUE(runner_->MainTimerRunning());
  EXPECT_TRUE(FramesWentAsAsked());
}

TEST_P(EveryLink, silentUnit_checkFindsNoAnswerAndOffersTheConnectionDialog) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(GetParam(), {"--silent"}));
  const ConnectResult connected = Connect();
  EXPECT_EQ(connected.outcome, ConnectOutcome::NoAnswer);
  ASSERT_FALSE(runner_->WindowSteps().empty());
  EXPECT_EQ(runner_->WindowSteps().back().next, NextWindow::ShowConnectionDialog);
  EXPECT_EQ(Settings().Caption(), kCommunicationFail);
  EXPECT_FALSE(runner_->MainTimerRunning());
  EXPECT_FALSE(runner_->DialogShown("Communication  Completed"));
}

// The serial monitor window, polled every 100 ms as its timer does, with the
// unit streaming once a second in pieces (koralctl's tests see whole frames).
struct MonitorCase {
  const char* name;
  Line line;
  int outputType;
  std::vector<std::string> frameLines;  // patterns of the lines one frame shows, top-down
};

void PrintTo(const MonitorCase& c, std::ostream* out) {
  *out << c.name;
}

class SerialMonitor : public LinkTest, public ::testing::WithParamInterface<MonitorCase> {};

TEST_P(SerialMonitor, unitStreaming_everyFrameIsShownWhole) {
  constexpr std::size_t kFrames = 3;
  const MonitorCase& c = GetParam();
  const std::string unitFile = Scratch("unit.txt");
  ASSERT_FALSE(WriteSettingsFile(unitFile, StreamingSettings(c.outputType)).has_value());
  ASSERT_NO_FATAL_FAILURE(StartUnit(c.line, {"--load", QString::fromStdString(unitFile)}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer());
  SerialMonitorModel& monitor = runner_->Engine().SerialMonitor();
  monitor.SelectType(c.outputType);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [this] { runner_->Engine().MonitorPollTick(); });
  poll.start(SerialMonitorModel::kPollMs);
  const std::size_t perFrame = c.frameLines.size();
  EXPECT_TRUE(runner_->RunUntil([&] { return monitor.Display().LineCount() >= kFrames * perFrame; }, kMonitorMs))
      << monitor.Display().LineCount() << " lines: " << monitor.Display().Text();
  const MonitorDisplay& display = monitor.Display();
  EXPECT_EQ(display.LineCount() % perFrame, 0u) << display.Text();
  for (std::size_t i = 0; i < display.LineCount(); ++i) {
    const std::string line(display.Line(i));
    EXPECT_TRUE(std::regex_match(line, std::regex(c.frameLines[i % perFrame]))) << "line " << i << ": " << line;
  }
  EXPECT_TRUE(FramesWentAsAsked());
}

const std::vector<std::string> kAllFlagsLines = {"MOVE    = ( - ){8}\r\n", "TRIGGER = ( - ){8}\r\n",
                                                 "ALARM   = ( - ){8}\r\n",
                                                 "STATUS  = Day Mode , Alarm Enable , Video OK \r\n"};
const std::vector<std::string> kEventLogLines = {"\\d\\d:\\d\\d:\\d\\d MOVE --------\r\n"};

INSTANTIATE_TEST_SUITE_P(
    OutputTypes, SerialMonitor,
    ::testing::Values(MonitorCase{"AllFlagsInPieces", kPseudoTerminalInPieces, kAllFlags, kAllFlagsLines},
                      MonitorCase{"EventLogInPieces", kPseudoTerminalInPieces, kEventLog, kEventLogLines}),
    [](const ::testing::TestParamInfo<MonitorCase>& p) { return std::string(p.param.name); });

class SerialLink : public LinkTest {};

TEST_F(SerialLink, unitSpeedChanged_pcFollowsOnTheSamePortAndChecksTheUnitAgain) {
  constexpr int k9600 = 3;
  ASSERT_NO_FATAL_FAILURE(StartUnit(kPseudoTerminal, {}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer());
  const std::size_t stepsBefore = runner_->WindowSteps().size();
  Settings().SelectListItem(SettingsWindowModel::ListIndex("cmbBaudRate"), k9600);
  EXPECT_EQ(runner_->Engine().GetTransport().SerialSettings(), "9600,n,8,1");
  EXPECT_EQ(runner_->Engine().GetTransport().SendPort(), kSerialPort);
  EXPECT_EQ(GetSession().linkBaudIndex, k9600);
  const auto& steps = runner_->WindowSteps();
  ASSERT_TRUE(runner_->RunUntil(
      [&] { return steps.size() > stepsBefore && steps.back().next == NextWindow::ShowSettingsWindow; }, kStepMs));
  EXPECT_EQ(steps[stepsBefore].next, NextWindow::RunConnectionCheck);
  EXPECT_TRUE(runner_->MainTimerRunning());
  Settings().SetCaption("");
  EXPECT_TRUE(CaptionBecomes(kCommunicationComplete)) << Settings().Caption();
}

// The network link at 1200 baud: the heartbeat ticks every 300 ms there, so
// its budget of fifteen silent checks runs out quickly.
class NetworkLink : public LinkTest {};

TEST_F(NetworkLink, unitGoneSilent_heartbeatReportsTheFailureAndAsksForTheConnectionWindow) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(kUdpLoopback, {}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer(kSlowestSpeed));
  ASSERT_EQ(runner_->MainTimerInterval(), 300);
  emulator_->Stop();
  ASSERT_TRUE(runner_->RunUntil([&] { return runner_->ConnectionWindowRequests() > 0; }, kFailureMs));
  const auto& dialogs = runner_->Dialogs();
  EXPECT_NE(std::find(dialogs.begin(), dialogs.end(), kLinkFailure), dialogs.end());
  EXPECT_EQ(Settings().Caption(), kCommunicationFail);
  EXPECT_FALSE(runner_->MainTimerRunning());
  EXPECT_EQ(GetSession().transfer.pollMissCount, 0);
}

TEST_F(NetworkLink, uploadCutShort_givesThePcBackTheSettingsItHadBefore) {
  constexpr int kUnitAddress = 0x25;
  constexpr int kFramesBeforeSilence = 5;  // all of block 0x12
  const std::string unitFile = SettingsFile("unit.txt", LinkMode::Udp, {kUnitAddress, "UNIT DAY", "UNIT NIGHT"});
  ASSERT_NO_FATAL_FAILURE(StartUnit(kUdpLoopback, {"--load", QString::fromStdString(unitFile), "--drop-after",
                                                   QString::number(kFramesBeforeSilence)}));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer(kSlowestSpeed));
  EditLikeAUser(Settings(), {kUnitAddress, "MINE DAY", "MINE NIGHT"});
  Settings().AfterBankSwitch(BankId::Night);
  const SettingsImage before = PcSettings();
  const bool modifiedBefore = GetSession().banks.SettingsModified();
  ASSERT_EQ(runner_->Upload(kTransferMs), TransferOutcome::LinkFailure);
  EXPECT_TRUE(LogShows("falls silent after 5 upload frames"));
  EXPECT_EQ(GetSession().transfer.uploadBlocks[0].size(), 5u * 11u) << "block 0x12 should have arrived whole";
  EXPECT_EQ(DifferingLines(before, PcSettings()), "");
  EXPECT_EQ(GetSession().banks.ActiveBank(), BankId::Night);
  EXPECT_EQ(GetSession().banks.SettingsModified(), modifiedBefore);
  EXPECT_EQ(Settings().TitleText(), "MINE NIGHT");
  const auto& dialogs = runner_->Dialogs();
  EXPECT_NE(std::find(dialogs.begin(), dialogs.end(), kLinkFailure), dialogs.end());
  EXPECT_GE(runner_->ConnectionWindowRequests(), 1);
  EXPECT_FALSE(runner_->MainTimerRunning());
  EXPECT_FALSE(runner_->UnpackTimerRunning());
  EXPECT_FALSE(GetSession().transfer.uploadActive);
}

// A QT-MX shares its line with other units: it answers only once the keypad
// has selected its address, and takes only the download frames addressed to it.
class QtMxUnit : public LinkTest {};

TEST_F(QtMxUnit, answersOnceSelectedAndTakesADownloadToItsAddress) {
  constexpr int kUnitAddress = 21;  // group 1, address 5
  const std::string dump = Scratch("unit.txt");
  ASSERT_NO_FATAL_FAILURE(StartUnit(kPseudoTerminal, {"--model", "qt-mx", "--address", QString::number(kUnitAddress),
                                                      "--dump", QString::fromStdString(dump)}));
  const ConnectResult connected = Connect(kBaud4800Index, UnitModel::QtMx);
  ASSERT_EQ(connected.outcome, ConnectOutcome::Connected) << connected.reason;
  EXPECT_FALSE(runner_->DialogShown("Communication  Completed")) << "a QT-MX is not checked";
  KeypadModel& keypad = runner_->Keypad();
  keypad.Load();
  keypad.SetGroup(1);
  keypad.SetAddress(4);
  keypad.Select();
  Settings().OpenSettingsFile(std::nullopt);  // File > Open, cancelled: asks for the status
  EXPECT_TRUE(LogShows("0xBA status request: unit not selected, no answer"));
  keypad.SetAddress(5);
  keypad.Select();
  Settings().OpenSettingsFile(std::nullopt);
  EXPECT_TRUE(runner_->RunUntil([&] { return !GetSession().mailboxes.lastStatus.empty(); }, kStepMs));
  EditLikeAUser(Settings(), {kUnitAddress, "QT-MX DAY", "QT-MX NIGHT"});
  ASSERT_EQ(runner_->Download(kTransferMs), TransferOutcome::Completed);
  ASSERT_TRUE(runner_->RunUntil([&] { return std::filesystem::exists(dump); }, kStepMs)) << "no dump after a download";
  const SettingsImage unit = ImageOfFile(dump);
  EXPECT_EQ(DifferingLines(PcSettings(), unit), "");
  EXPECT_EQ(TitleOf(unit, BankId::Day), "QT-MX DAY");
}

// ---- koral-emu's own lines ----------------------------------------------------------

const ByteString kStatusOk = {0x01, 0x11, 0xBA, 0x18, 0x03};

// The pseudo-terminal it makes answers, tells of a lost video on SIGUSR1, and
// goes away with its link when the emulator stops, leaving its dump.
TEST_F(LinkTest, emulatorOnAPseudoTerminal_answersStatusReportsVideoLossAndCleansUpOnExit) {
  const std::string link = Scratch("com1");
  const std::string dump = Scratch("dump.txt");
  emulator_ = std::make_unique<EmulatorProcess>(
      QStringList{"--still", "--link", QString::fromStdString(link), "--dump", QString::fromStdString(dump)},
      Scratch("koral-emu.log"));
  ASSERT_TRUE(emulator_->Start()) << emulator_->Problem();
  EXPECT_EQ(std::filesystem::read_symlink(link).string(), emulator_->TerminalPath());
  testing_support::LineEnd pc;
  ASSERT_TRUE(pc.Open(link)) << pc.ErrorText();
  std::size_t seen = 0;  // bytes of the answers so far
  const auto ask = [&] {
    pc.Write({0xBA});
    const ByteString all = pc.WaitForReceived(seen + kStatusOk.size());
    if (all.size() < seen + kStatusOk.size()) return ByteString{};
    seen = all.size();
    return ByteString(all.end() - static_cast<std::ptrdiff_t>(kStatusOk.size()), all.end());
  };
  EXPECT_EQ(ask(), kStatusOk);
  emulator_->Signal(SIGUSR1);
  const ByteString videoLost = {0x01, 0x11, 0xBA, 0x98, 0x03};
  bool lost = false;
  for (int tries = 0; tries < 50 && !lost; ++tries)
    lost = ask() == videoLost;
  EXPECT_TRUE(lost);
  EXPECT_EQ(emulator_->Stop(), 0);
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  std::ifstream saved(dump);
  int lines = 0;
  for (std::string text; std::getline(saved, text);)
    ++lines;
  EXPECT_EQ(lines, kSettingsFileLines);
}

TEST_F(LinkTest, emulatedBridge_afterARegistrationAnswersTheRegisteredPort) {
  emulator_ = std::make_unique<EmulatorProcess>(QStringList{"--still", "--udp", "127.0.0.1:0"}, Scratch("emu.log"));
  ASSERT_TRUE(emulator_->Start()) << emulator_->Problem();
  QUdpSocket pc;
  QUdpSocket listener;
  ASSERT_TRUE(pc.bind(QHostAddress::LocalHost, 0) && listener.bind(QHostAddress::LocalHost, 0));
  const auto port = listener.localPort();
  const QHostAddress bridge(QHostAddress::LocalHost);
  const auto send = [&](std::initializer_list<int> bytes) {
    QByteArray datagram;
    for (const int b : bytes)
      datagram.append(static_cast<char>(b));
    pc.writeDatagram(datagram, bridge, emulator_->UdpPort());
  };
  send({0x0E, 0xF1, 0xD0, 0x02, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 127, 0, 0, 1, port & 0xFF, port >> 8, 0, 0, 0});
  send({0x01, 0xFE, 0x15, 0xFF, 0x01, 0x00, 0x00, 0x00});
  send({0x01, 0xFE, 0x19, 0xFF, 0xBA, 0x00, 0x00, 0x00});
  send({0x01, 0xFE, 0x15, 0xFF, 0x00, 0x00, 0x00, 0x00});
  ASSERT_TRUE(listener.waitForReadyRead(kStepMs));
  QByteArray reply(static_cast<qsizetype>(listener.pendingDatagramSize()), '\0');
  listener.readDatagram(reply.data(), reply.size());
  EXPECT_EQ(ByteString(reply.begin(), reply.end()), kStatusOk);
  EXPECT_EQ(emulator_->Stop(), 0);
}

}  // namespace
}  // namespace integration
}  // namespace koral
