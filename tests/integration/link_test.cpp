// The link engine run headless against the emulated unit, over a real
// pseudo-terminal (COM1 through KORAL_COM1) and real UDP on loopback. The
// protocol's waits are real; tests wait for conditions, never on timing.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
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
    ASSERT_NO_FATAL_FAILURE(StartEmulator(line, std::move(options)));
    runner_ = std::make_unique<HeadlessRunner>(line.link);
  }
  // The unit alone, as when it is plugged in again for the same runner.
  void StartEmulator(const Line& line, QStringList options) {
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

// ---- the fault matrix ------------------------------------------------------------------

// Mid-transfer the unit's line vanishes (a USB adapter pulled out) and comes
// back at the same path, or the unit falls silent with its line still there.
// The program reports the failure once, sleeps in its timers while nobody
// answers, gives back the settings it had, and connects again from the
// connection window of the same run.
enum class Transfer { Download, Upload };

struct FaultCase {
  const char* name;
  Line line;
  int speedIndex;
  Transfer transfer;
  bool lineVanishes;              // else the unit falls silent after 5 upload frames (all of block 0x12)
  std::string faultWhenLogShows;  // the transfer is under way
};

void PrintTo(const FaultCase& c, std::ostream* out) {
  *out << c.name;
}

// Processor time this process has used, user and system, in milliseconds.
double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

class LinkFault : public LinkTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(LinkFault, midTransfer_reportedOnceSettingsKeptAndTheSamePathConnectsAgain) {
  constexpr int kUnitAddress = 0x25;
  constexpr double kMostCpuShareWhileWaiting = 0.25;
  const FaultCase& c = GetParam();
  QStringList options = {"--address", QString::number(kUnitAddress)};
  if (c.transfer == Transfer::Upload) {
    options = {"--load",
               QString::fromStdString(SettingsFile("unit.txt", c.line.link, {kUnitAddress, "UNIT DAY", "UNIT NIGHT"}))};
  }
  if (!c.lineVanishes)
    options << "--drop-after"
            << "5";
  ASSERT_NO_FATAL_FAILURE(StartUnit(c.line, options));
  ASSERT_NO_FATAL_FAILURE(ConnectAndSeeTheUnitAnswer(c.speedIndex));
  EditLikeAUser(Settings(), {kUnitAddress, "MINE DAY", "MINE NIGHT"});
  Settings().AfterBankSwitch(BankId::Night);
  const SettingsImage before = PcSettings();
  const bool modifiedBefore = GetSession().banks.SettingsModified();

  QElapsedTimer sinceFault;
  double cpuAtFault = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (sinceFault.isValid() || emulator_->Log().find(c.faultWhenLogShows) == std::string::npos) return;
    if (c.lineVanishes) emulator_->Stop();
    cpuAtFault = CpuMs();
    sinceFault.start();
  });
  watch.start(20);
  const TransferOutcome outcome =
      c.transfer == Transfer::Download ? runner_->Download(kTransferMs) : runner_->Upload(kTransferMs);
  watch.stop();

  ASSERT_TRUE(sinceFault.isValid()) << "the transfer never got under way";
  EXPECT_EQ(outcome, TransferOutcome::LinkFailure);
  const double wallMs = static_cast<double>(sinceFault.elapsed());
  EXPECT_LT(CpuMs() - cpuAtFault, kMostCpuShareWhileWaiting * wallMs) << "over " << wallMs << " ms";
  if (c.transfer == Transfer::Upload) {
    EXPECT_EQ(GetSession().transfer.uploadBlocks[0].size(), 5u * 11u) << "block 0x12 should have arrived whole";
  }
  EXPECT_EQ(DifferingLines(before, PcSettings()), "");
  EXPECT_EQ(GetSession().banks.ActiveBank(), BankId::Night);
  EXPECT_EQ(GetSession().banks.SettingsModified(), modifiedBefore);
  EXPECT_EQ(Settings().TitleText(), "MINE NIGHT");
  EXPECT_FALSE(runner_->MainTimerRunning());
  EXPECT_FALSE(runner_->UnpackTimerRunning());
  EXPECT_FALSE(GetSession().transfer.uploadActive);
  // Reported once, and nothing more while nobody answers the connection window.
  runner_->RunUntil([] { return false; }, 1500);
  const auto& dialogs = runner_->Dialogs();
  EXPECT_EQ(std::count(dialogs.begin(), dialogs.end(), kLinkFailure), 1);
  EXPECT_EQ(runner_->ConnectionWindowRequests(), 1);

  if (!c.lineVanishes) return;
  ASSERT_FALSE(emulator_->Running());
  ASSERT_NO_FATAL_FAILURE(StartEmulator(c.line, {}));
  const ConnectResult again = Connect(c.speedIndex);
  ASSERT_EQ(again.outcome, ConnectOutcome::Connected) << again.reason;
  Settings().SetCaption("");
  EXPECT_TRUE(
      runner_->RunUntil([&] { return Settings().Caption().ends_with(",Communication Complete ,Video OK"); }, kStepMs))
      << Settings().Caption();
  EXPECT_TRUE(runner_->MainTimerRunning());
  EXPECT_EQ(DifferingLines(before, PcSettings()), "");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, LinkFault,
    ::testing::Values(FaultCase{"LineVanishesDuringDownload", kPseudoTerminal, kBaud4800Index, Transfer::Download, true,
                                "download selection done"},
                      FaultCase{"UnitFallsSilentDuringUpload", kPseudoTerminal, kBaud4800Index, Transfer::Upload, false,
                                "falls silent after 5 upload frames"},
                      // At 1200 baud the heartbeat ticks every 300 ms, so its fifteen silent checks run out quickly.
                      FaultCase{"UnitFallsSilentDuringNetworkUpload", kUdpLoopback, kSlowestSpeed, Transfer::Upload,
                                false, "falls silent after 5 upload frames"}),
    [](const ::testing::TestParamInfo<FaultCase>& p) { return std::string(p.param.name); });

// ---- koral-emu's own lines ----------------------------------------------------------

const ByteString kStatusOk = {0x01, 0x11, 0xBA, 0x18, 0x03};

// The PC's end of the emulator's pseudo-terminal, opened by its path, raw.
class PcEnd {
 public:
  explicit PcEnd(const std::string& path) : fd_(open(path.c_str(), O_RDWR | O_NOCTTY)) {
    termios raw{};
    if (fd_ >= 0 && tcgetattr(fd_, &raw) == 0) {
      cfmakeraw(&raw);
      tcsetattr(fd_, TCSANOW, &raw);
    }
  }
  ~PcEnd() {
    if (fd_ >= 0) close(fd_);
  }
  PcEnd(const PcEnd&) = delete;
  PcEnd& operator=(const PcEnd&) = delete;
  bool IsOpen() const { return fd_ >= 0; }

  // Writes `bytes`, then reads `count` bytes or what has come within kStepMs.
  ByteString Ask(const ByteString& bytes, std::size_t count) {
    ByteString got;
    if (write(fd_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return got;
    QElapsedTimer elapsed;
    elapsed.start();
    while (got.size() < count && elapsed.elapsed() < kStepMs) {
      pollfd ready{fd_, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      std::array<std::uint8_t, 64> buffer{};
      const ssize_t n = read(fd_, buffer.data(), std::min(buffer.size(), count - got.size()));
      if (n > 0) got.insert(got.end(), buffer.begin(), buffer.begin() + n);
    }
    return got;
  }

 private:
  int fd_;
};

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
  PcEnd pc(link);
  ASSERT_TRUE(pc.IsOpen()) << link;
  const auto ask = [&] { return pc.Ask({0xBA}, kStatusOk.size()); };
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
