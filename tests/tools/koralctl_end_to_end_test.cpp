// koralctl as a script runs it, against the emulated unit over a real
// pseudo-terminal and real UDP on loopback, or against the far end of a
// pseudo-terminal of our own where the bytes are the point. Waits are bounded; nothing is timed.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QNetworkInterface>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <variant>
#include <vector>

#include "integration/emulator_process.h"
#include "integration/user_settings.h"
#include "koralctl/printable_text.h"
#include "koralctl_process.h"
#include "model/defaults.h"
#include "model/register_map.h"
#include "model/settings_file.h"
#include "pty_peer.h"

namespace koral::integration {
namespace {

using testing_support::PtyPeer;
using testing_support::WaitUntil;

constexpr char kLoopback[] = "127.0.0.1";

// The Output Data that streams event datagrams, and a unit address.
constexpr int kEventDatagramOutput = 15;
constexpr int kUnitAddress = 37;
constexpr int k9600Position = 3;

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    ++count;
  return count;
}

// "MOVE    = " and eight cells, zone n showing its letter or "-".
std::string FlagsPattern(const std::string& label) {
  std::string pattern = "^" + label;
  for (char zone = 'A'; zone <= 'H'; ++zone)
    pattern += std::string("( [") + zone + "-] )";
  return pattern + "$";
}

const std::string kMovePattern = FlagsPattern("MOVE    = ");
const std::string kTriggerPattern = FlagsPattern("TRIGGER = ");
const std::string kAlarmPattern = FlagsPattern("ALARM   = ");
const std::string kStatusPattern = "^STATUS  = (Day|Night) Mode , Alarm (Enable|Disable) , Video (OK|Lost) $";
const std::string kTimeStampPattern =
    "^.{4}  (JAN|FEB|MAR|APR|MAY|JUN|JUL|AUG|SEP|OCT|NOV|DEC)-[0-9]{2}-[0-9]{2}  [0-9]{1,2}:[0-9]{2}:[0-9]{2}$";

// Frames of `framePatterns.size()` lines each, every line matching its pattern.
void ExpectFrames(const std::string& out, const std::vector<std::string>& framePatterns, std::size_t frames) {
  const std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), frames * framePatterns.size()) << out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& pattern = framePatterns[i % framePatterns.size()];
    EXPECT_TRUE(std::regex_match(lines[i], std::regex(pattern)))
        << "line " << i + 1 << ": \"" << lines[i] << "\" does not match " << pattern;
  }
  EXPECT_EQ(out.find('\r'), std::string::npos) << "lines end in LF only";
}

// A non-loopback IPv4 address of this PC with a hardware address, where the
// bridge registration can be made; empty when there is none.
std::string NetworkAddressWithHardware() {
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto flags = interface.flags();
    if (flags.testFlag(QNetworkInterface::IsLoopBack) || !flags.testFlag(QNetworkInterface::IsUp) ||
        interface.hardwareAddress().isEmpty() || interface.hardwareAddress() == QStringLiteral("00:00:00:00:00:00")) {
      continue;
    }
    for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
      if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol) return entry.ip().toString().toStdString();
    }
  }
  return {};
}

class KoralctlTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
  void TearDown() override {
    if (!emulator_) return;
    emulator_->Stop();
    if (HasFailure()) std::cerr << "koral-emu's log:\n" << emulator_->Log();
  }

  // The unit on `link` with these options, reached by the options LinkArgs() gives.
  void StartUnit(LinkMode link, QStringList options, const std::string& bridgeAddress = kLoopback) {
    link_ = link;
    bridgeAddress_ = bridgeAddress;
    if (link == LinkMode::Serial) {
      options << "--link" << QString::fromStdString(Scratch("com1"));
    } else {
      options << "--udp" << QString::fromStdString(bridgeAddress + ":0");
    }
    emulator_ = std::make_unique<EmulatorProcess>(options, Scratch("koral-emu.log"));
    ASSERT_TRUE(emulator_->Start()) << emulator_->Problem();
    if (link == LinkMode::Udp) {
      localPort_ = UnusedUdpPort();
      ASSERT_NE(localPort_, 0);
      ASSERT_NE(localPort_, emulator_->UdpPort());
    }
  }

  QStringList LinkArgs() const {
    if (link_ == LinkMode::Serial) return {"--serial", QString::fromStdString(Scratch("com1"))};
    return {"--udp",         QString::fromStdString(bridgeAddress_),
            "--bridge-port", QString::number(emulator_->UdpPort()),
            "--local-port",  QString::number(localPort_)};
  }

  bool LogShows(const std::string& text, int limitMs = kCommandMs) {
    return WaitUntil([&] { return emulator_->Log().find(text) != std::string::npos; }, limitMs);
  }

  std::string Scratch(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QString ScratchArg(const std::string& name) const { return QString::fromStdString(Scratch(name)); }

  // Factory settings for `link` at 4800 baud with `edit` applied to the DAY bank.
  std::string SettingsFile(const std::string& name, const std::function<void(RegisterBanks&)>& edit) {
    RegisterBanks banks;
    LoadFactorySettings(banks, DefaultsContext{VideoStandard::Ntsc, link_, kBaud4800Index});
    edit(banks);
    std::string path = Scratch(name);
    EXPECT_FALSE(WriteSettingsFile(path, ComposeSettingsImage(banks)).has_value());
    return path;
  }
  // Settings under which the unit streams output data of `type` once a second.
  std::string Streaming(int type) {
    const std::string path = Scratch("streaming.txt");
    EXPECT_FALSE(WriteSettingsFile(path, StreamingSettings(type, link_)).has_value());
    return path;
  }

  QTemporaryDir dir_;
  LinkMode link_ = LinkMode::Serial;
  std::string bridgeAddress_ = kLoopback;
  std::uint16_t localPort_ = 0;
  std::unique_ptr<EmulatorProcess> emulator_;
};

// ---- backing up and restoring, on both links ---------------------------------------

class EveryLink : public KoralctlTest, public ::testing::WithParamInterface<LinkMode> {};

std::string LinkName(const ::testing::TestParamInfo<LinkMode>& info) {
  return info.param == LinkMode::Serial ? "PseudoTerminal" : "UdpLoopback";
}

INSTANTIATE_TEST_SUITE_P(Link, EveryLink, ::testing::Values(LinkMode::Serial, LinkMode::Udp), LinkName);

TEST_P(EveryLink, upload_savesTheSettingsTheUnitHolds) {
  const std::string unitFile = Scratch("unit.txt");
  ASSERT_FALSE(WriteSettingsFile(unitFile, EditedSettings(GetParam(), {kUnitAddress, "BACKUP DAY", "BACKUP NIGHT"})));
  const std::string dump = Scratch("dump.txt");
  ASSERT_NO_FATAL_FAILURE(StartUnit(
      GetParam(), {"--still", "--load", QString::fromStdString(unitFile), "--dump", QString::fromStdString(dump)}));
  const std::string backup = Scratch("backup.txt");
  const Outcome upload = RunKoralctl(
      QStringList{"upload", "-o", QString::fromStdString(backup), "--address", QString::number(kUnitAddress)}
          << LinkArgs(),
      kTransferMs);
  ASSERT_EQ(upload.exitCode, 0) << upload;
  EXPECT_EQ(upload.err, "") << "nothing on stderr when it is not a terminal";
  EXPECT_EQ(upload.out, "");
  emulator_->Stop();  // the unit writes its dump on the way out
  EXPECT_EQ(DifferingLines(ImageOfFile(dump), ImageOfFile(backup)), "");
  EXPECT_EQ(TitleOf(ImageOfFile(backup), BankId::Night), "BACKUP NIGHT");
  if (GetParam() == LinkMode::Udp) {
    EXPECT_TRUE(LogShows("from 127.0.0.1:" + std::to_string(localPort_))) << "koralctl sends from its --local-port";
  }
}

TEST_P(EveryLink, download_unitHoldsTheFilesSettingsAfterwards) {
  const std::string restore = Scratch("restore.txt");
  ASSERT_FALSE(WriteSettingsFile(restore, EditedSettings(GetParam(), {kUnitAddress, "SAVED DAY", "SAVED NIGHT"})));
  const std::string dump = Scratch("dump.txt");
  ASSERT_NO_FATAL_FAILURE(StartUnit(
      GetParam(), {"--still", "--address", QString::number(kUnitAddress), "--dump", QString::fromStdString(dump)}));
  const Outcome download =
      RunKoralctl(QStringList{"download", QString::fromStdString(restore)} << LinkArgs(), kTransferMs);
  ASSERT_EQ(download.exitCode, 0) << download;
  EXPECT_EQ(download.err, "");
  EXPECT_EQ(download.out, "");
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(dump); }, kCommandMs)) << "no dump after a download";
  EXPECT_EQ(DifferingLines(ImageOfFile(restore), ImageOfFile(dump)), "");
  EXPECT_EQ(TitleOf(ImageOfFile(dump), BankId::Day), "SAVED DAY");
}

// ---- monitoring ------------------------------------------------------------------------

struct MonitorCase {
  const char* name;  // of the test
  const char* type;  // as given to --type
  int unitOutput;    // Register 42
  std::vector<std::string> framePatterns;
};

class SerialMonitor : public KoralctlTest, public ::testing::WithParamInterface<MonitorCase> {};

void PrintTo(const MonitorCase& monitorCase, std::ostream* out) {
  *out << "--type \"" << monitorCase.type << "\"";
}

std::string MonitorCaseName(const ::testing::TestParamInfo<MonitorCase>& info) {
  return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(
    Type, SerialMonitor,
    ::testing::Values(
        MonitorCase{"AllFlags", "ALL FLAGS", 4, {kMovePattern, kTriggerPattern, kAlarmPattern, kStatusPattern}},
        MonitorCase{"MoveFlagsByIndex", "0", 0, {kMovePattern}},
        MonitorCase{"StatusFlags", "STAT FLAGS", 3, {kStatusPattern}},
        MonitorCase{"ZoneDelta", "AREA C DELTA", 7, {"^Zone C = [0-9]+$"}},
        MonitorCase{"TotalDeltaInSmallLetters", "total delta", 13, {"^Total Delta = [0-9]+$"}},
        MonitorCase{"EventLog", "14", 14, {"^[^\r\n]{22}$"}}),
    MonitorCaseName);

TEST_P(SerialMonitor, streamingUnit_printsEachFramesLinesTopDown) {
  constexpr int kFrames = 2;
  const std::string settings = Streaming(GetParam().unitOutput);
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Serial, {"--load", QString::fromStdString(settings)}));
  const Outcome monitor = RunKoralctl(
      QStringList{"monitor", "--type", GetParam().type, "--frames", QString::number(kFrames), "--seconds", "15"}
      << LinkArgs());
  ASSERT_EQ(monitor.exitCode, 0) << monitor;
  EXPECT_EQ(monitor.err, "");
  ExpectFrames(monitor.out, GetParam().framePatterns, kFrames);
}

// What the monitor prints of a line's text: anyone who can send a datagram
// chooses the bytes, so none may reach the terminal as a control character.
TEST(MonitorText, everyByteThatIsNotPrintable_showsAsItsHexCode) {
  const struct {
    std::string bytes;
    std::string printed;
  } cases[] = {{"Zone C = 17 ~", "Zone C = 17 ~"},          {"\x1B[2J\x07 ring", "\\x1B[2J\\x07 ring"},
               {std::string("A\0B", 3), "A\\x00B"},         {"ab\rcd\nef", "ab\\x0Dcd\\x0Aef"},
               {"caf\xE9 \x7F\xFF", "caf\\xE9 \\x7F\\xFF"}, {"C:\\x1B", "C:\\\\x1B"}};
  for (const auto& each : cases)
    EXPECT_EQ(koralctl::PrintableText(each.bytes), each.printed);
}

class NetworkMonitor : public KoralctlTest {};

TEST_F(NetworkMonitor, eventDatagrams_printTimeStampAndFlagsWhateverTheType) {
  constexpr int kFrames = 2;
  link_ = LinkMode::Udp;
  const std::string settings = Streaming(kEventDatagramOutput);
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Udp, {"--load", QString::fromStdString(settings)}));
  const Outcome monitor = RunKoralctl(
      QStringList{"monitor", "--type", "TOTAL DELTA", "--frames", QString::number(kFrames), "--seconds", "15"}
      << LinkArgs());
  ASSERT_EQ(monitor.exitCode, 0) << monitor;
  EXPECT_EQ(monitor.err, "");
  ExpectFrames(monitor.out, {kTimeStampPattern, kMovePattern, kTriggerPattern, kAlarmPattern, kStatusPattern}, kFrames);
}

TEST_F(NetworkMonitor, quietUnit_stopsAfterTheSecondsGivenWithNothingPrinted) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Udp, {"--still"}));
  const Outcome monitor = RunKoralctl(QStringList{"monitor", "--type", "ALL FLAGS", "--seconds", "1"} << LinkArgs());
  EXPECT_EQ(monitor.exitCode, 0) << monitor;
  EXPECT_EQ(monitor.out, "");
  EXPECT_EQ(monitor.err, "");
}

TEST_F(NetworkMonitor, unitGoneSilent_exitsOneWithTheReason) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Udp, {"--still"}));
  Koralctl monitor(QStringList{"monitor", "--type", "ALL FLAGS", "--baud", "1200"} << LinkArgs());
  // Two status requests come from "Connect"; the heartbeat sends the next one
  // only once the settings window is up.
  ASSERT_TRUE(WaitUntil([&] { return Count(emulator_->Log(), "<- 0xBA status request") >= 3; }, kCommandMs))
      << "the monitor did not connect";
  emulator_->Stop();
  const Outcome outcome = monitor.Finish(kCommandMs);
  EXPECT_EQ(outcome.exitCode, 1) << outcome;
  EXPECT_TRUE(IsOneLine(outcome.err)) << outcome;
  EXPECT_NE(outcome.err.find("stopped answering"), std::string::npos) << outcome;
}

// ---- a unit that fails --------------------------------------------------------------------

class FailingUnit : public KoralctlTest {};

TEST_F(FailingUnit, silentUnit_uploadGivesUpAfterTheStatusWaitWithNoFile) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Serial, {"--silent"}));
  const std::string backup = Scratch("backup.txt");
  const Outcome upload = RunKoralctl(QStringList{"upload", "-o", QString::fromStdString(backup)} << LinkArgs());
  EXPECT_EQ(upload.exitCode, 1) << upload;
  EXPECT_TRUE(IsOneLine(upload.err)) << upload;
  EXPECT_NE(upload.err.find("did not answer"), std::string::npos) << upload;
  EXPECT_FALSE(std::filesystem::exists(backup));
}

TEST_F(FailingUnit, downloadOfAFileAtAnotherSpeed_warnsBeforeConnecting) {
  const std::string fast = SettingsFile("fast.txt", [](RegisterBanks& banks) {
    banks.WriteRegister(reg::kUnitBaudRate, static_cast<std::uint8_t>(k9600Position));
  });
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Serial, {"--silent"}));
  const Outcome download = RunKoralctl(QStringList{"download", QString::fromStdString(fast)} << LinkArgs());
  EXPECT_EQ(download.exitCode, 1) << download;
  const std::vector<std::string> lines = Lines(download.err);
  ASSERT_EQ(lines.size(), 2u) << download;
  EXPECT_NE(lines[0].find("warning"), std::string::npos) << lines[0];
  EXPECT_NE(lines[0].find("9600"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("did not answer"), std::string::npos) << lines[1];
}

// ---- keys -----------------------------------------------------------------------------

class Keys : public KoralctlTest {};

TEST_F(Keys, qt1rx_keysReachTheUnitInOrder) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Udp, {"--still"}));
  const Outcome keys = RunKoralctl(QStringList{"keys", "NIGHT", "disable", "CLEAR"} << LinkArgs());
  ASSERT_EQ(keys.exitCode, 0) << keys;
  EXPECT_EQ(keys.err, "");
  ASSERT_TRUE(LogShows("key CLEAR"));
  const std::string log = emulator_->Log();
  const auto night = log.find("<- 0xA2 key NIGHT: running the NIGHT bank"),
             disable = log.find("<- 0xA5 key DISABLE: alarm disabled"), clear = log.find("<- 0xA8 key CLEAR");
  EXPECT_TRUE(night < disable && disable < clear && clear != std::string::npos) << log;
}

TEST_F(Keys, qtMxSelect_movesTheSpinnersThenSelectsTheUnit) {
  constexpr int kAddress = 21;  // group 1, address 5
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Serial, {"--still", "--model", "qt-mx", "--address", "21"}));
  const Outcome keys = RunKoralctl(
      QStringList{"keys", "SELECT=" + QString::number(kAddress), "NIGHT", "--model", "qt-mx", "--baud", "9600"}
      << LinkArgs());
  ASSERT_EQ(keys.exitCode, 0) << keys;
  const std::vector<std::string> notes = Lines(keys.err);
  ASSERT_EQ(notes.size(), 1u) << "one note: a QT-MX runs at 4800\n" << keys;
  EXPECT_NE(notes[0].find("4800"), std::string::npos) << notes[0];
  EXPECT_TRUE(LogShows("0x15, this unit selected"));
  EXPECT_TRUE(LogShows("<- 0xA2 key NIGHT: running the NIGHT bank"));
  const std::string log = emulator_->Log();
  EXPECT_LT(log.find("<- address 0x10"), log.find("<- address 0x15")) << "the group spinner moves first";
}

// ---- the network link's registration -----------------------------------------------------

class Registration : public KoralctlTest {};

TEST_F(Registration, localPortOtherThanTheDefault_isAnnouncedToTheBridge) {
  // On loopback the PC has no hardware address to register with; the bridge
  // then answers where the datagrams come from. Registering needs a network
  // interface.
  const std::string address = NetworkAddressWithHardware();
  if (address.empty()) GTEST_SKIP() << "this PC has no network interface with an IPv4 and a hardware address";
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Udp, {"--still"}, address));
  const Outcome keys = RunKoralctl(QStringList{"keys", "DAY"} << LinkArgs());
  ASSERT_EQ(keys.exitCode, 0) << keys;
  EXPECT_TRUE(LogShows("bridge: registration of " + address + ":" + std::to_string(localPort_)));
}

// ---- the IP address tool ----------------------------------------------------------------

class IpTool : public KoralctlTest {};

TEST_F(IpTool, emulatedUnit_keepsTheAddressSetAndAnswersWithIt) {
  ASSERT_NO_FATAL_FAILURE(StartUnit(LinkMode::Serial, {"--still"}));
  const Outcome before = RunKoralctl(QStringList{"get-ip"} << LinkArgs());
  const Outcome set = RunKoralctl(QStringList{"set-ip"} << LinkArgs() << "10.0.3.1");
  const Outcome after = RunKoralctl(QStringList{"get-ip"} << LinkArgs());
  EXPECT_EQ(before.exitCode, 0) << before;
  EXPECT_EQ(before.out, "192.168.0.100\n");
  EXPECT_EQ(set.exitCode, 0) << set;
  EXPECT_EQ(set.out, "10.0.3.1\n");
  EXPECT_EQ(after.out, "10.0.3.1\n");
  EXPECT_TRUE(LogShows("<- IP address write 10.0.3.1"));
}

// ---- on a line whose far end is the test: what koralctl sends, and that a refused command sends nothing

// Runs `arguments` (with {LINE} standing for the line's device), expecting
// `exitCode` and one line on stderr containing `reason`.
class FarEndOfALine : public KoralctlTest {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(KoralctlTest::SetUp());
    ASSERT_TRUE(unit_.Open()) << unit_.Problem();
  }

  void ExpectRefused(QStringList arguments, int exitCode, const std::string& reason) {
    arguments.replaceInStrings("{LINE}", QString::fromStdString(unit_.DevicePath()));
    SCOPED_TRACE("koralctl " + arguments.join(' ').toStdString());
    const Outcome outcome = RunKoralctl(arguments);
    EXPECT_EQ(outcome.exitCode, exitCode) << outcome;
    EXPECT_TRUE(IsOneLine(outcome.err)) << outcome;
    EXPECT_NE(outcome.err.find(reason), std::string::npos) << "expected \"" << reason << "\"\n" << outcome;
    EXPECT_EQ(outcome.out, "");
  }

  // The query of get-ip, the first bytes to reach the far end, shows that the
  // commands before it sent nothing: the line keeps its order. Unanswered, it exits 1.
  void ExpectNothingReachedTheLine() {
    const Outcome outcome = RunKoralctl({"get-ip", "--serial", QString::fromStdString(unit_.DevicePath())});
    EXPECT_EQ(Received(unit_, 6), kIpQuery);
    EXPECT_EQ(outcome.exitCode, 1) << outcome;
    EXPECT_TRUE(IsOneLine(outcome.err) && outcome.out.empty()) << outcome;
  }

  PtyPeer unit_;
};

TEST_F(FarEndOfALine, setIp_writesTheMessageThenTheQueryAndPrintsTheReply) {
  ByteString expected = {0x01, 0x10, 0x0A, 0x00, 0x00, 0x1F, 0x2F, 0x3F, 0x01, 0x03};
  expected.insert(expected.end(), kIpQuery.begin(), kIpQuery.end());
  Koralctl setIp({"set-ip", "--serial", QString::fromStdString(unit_.DevicePath()), "10.0.3.1"});
  const ByteString received = Received(unit_, expected.size());
  unit_.Reply(ByteString{10, 0, 3, 1});
  const Outcome outcome = setIp.Finish(kCommandMs);
  EXPECT_EQ(received, expected);
  EXPECT_EQ(outcome.exitCode, 0) << outcome;
  EXPECT_EQ(outcome.out, "10.0.3.1\n");
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(unit_.Bytes(), expected) << "nothing after the query";
}

TEST_F(FarEndOfALine, usageErrors_exitTwoWithTheReason) {
  const QString backup = ScratchArg("backup.txt");
  const QString restore = ScratchArg("restore.txt");
  ASSERT_FALSE(WriteSettingsFile(Scratch("restore.txt"), EditedSettings(LinkMode::Serial, {0, "A", "B"})));
  ExpectRefused({"upload", "-o", backup, "--serial", "{LINE}", "--colour"}, 2, "unknown option '--colour'");
  ExpectRefused({"download", restore}, 2, "no link");
  ExpectRefused({"download", restore, "--serial", "{LINE}", "--udp", "127.0.0.1"}, 2, "give one");
  ExpectRefused({"keys", "DAY", "--udp", "bridge.local"}, 2, "IPv4");
  ExpectRefused({"keys", "DAY", "--serial", "{LINE}", "--local-port", "5000"}, 2, "goes with --udp");
  ExpectRefused({"upload", "-o", backup, "--serial", "{LINE}", "--baud", "9601"}, 2, "--baud");
  ExpectRefused({"upload", "-o", backup, "--serial", "{LINE}", "--model", "qt-mx"}, 2, "QT-MX has no upload");
  ExpectRefused({"upload", "--serial", "{LINE}"}, 2, "-o FILE");
  ExpectRefused({"upload", "-o", backup, "--address", "128", "--serial", "{LINE}"}, 2, "--address");
  ExpectRefused({"monitor", "--type", "ALL FLAGS", "--serial", "{LINE}", "--model", "qt-mx"}, 2,
                "QT-MX has no monitor");
  ExpectRefused({"monitor", "--serial", "{LINE}"}, 2, "--type");
  ExpectRefused({"monitor", "--type", "ALL", "--serial", "{LINE}"}, 2, "not 'ALL'");
  ExpectRefused({"monitor", "--type", "15", "--serial", "{LINE}"}, 2, "not '15'");
  ExpectRefused({"monitor", "--type", "4", "--frames", "0", "--serial", "{LINE}"}, 2, "--frames");
  ExpectRefused({"keys", "UNADDRESS", "--serial", "{LINE}"}, 2, "QT-1RX keypad disables UNADDRESS");
  ExpectRefused({"keys", "DAY", "MENU", "--serial", "{LINE}", "--model", "qt-mx"}, 2, "QT-MX keypad disables MENU");
  ExpectRefused({"keys", "SELECT=5", "--serial", "{LINE}"}, 2, "SELECT is a QT-MX key");
  ExpectRefused({"keys", "SELECT=128", "--serial", "{LINE}", "--model", "qt-mx"}, 2, "SELECT=N");
  ExpectRefused({"keys", "PLAY", "--serial", "{LINE}"}, 2, "unknown key 'PLAY'");
  ExpectRefused({"keys", "--serial", "{LINE}"}, 2, "no key");
  ExpectRefused({"set-ip", "--serial", "{LINE}"}, 2, "no address");
  ExpectRefused({"get-ip", "--serial", "{LINE}", "--baud", "9600"}, 2, "unknown option '--baud'");
  ExpectRefused({"reboot"}, 2, "unknown command 'reboot'");
  ExpectRefused({}, 2, "no command");
  ExpectNothingReachedTheLine();
}

TEST(KoralctlHelp, everyCommand_printsItsUsageOnStdout) {
  const char* const commands[] = {"upload", "download", "monitor", "keys", "set-ip", "get-ip", "show", "diff"};
  for (const char* command : commands) {
    SCOPED_TRACE(command);
    const Outcome help = RunKoralctl({command, "--help"});
    EXPECT_EQ(help.exitCode, 0) << help;
    EXPECT_EQ(help.out.rfind(std::string("usage: koralctl ") + command, 0), 0u) << help;
    EXPECT_EQ(help.err, "");
  }
  const Outcome overview = RunKoralctl({"--help"});
  EXPECT_EQ(overview.exitCode, 0);
  for (const char* command : commands)
    EXPECT_NE(overview.out.find(std::string("  ") + command + " "), std::string::npos) << command;
}

}  // namespace
}  // namespace koral::integration
