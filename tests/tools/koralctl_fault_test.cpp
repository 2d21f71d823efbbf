// koralctl as a process on a link that fails for real: the serial line
// vanishing in the middle of a transfer, a unit spewing garbage, a flood of
// junk datagrams and datagrams from strangers, a kill in the middle of a save,
// and files no settings file should be. Each time it must say why on one line,
// exit with the right code, not spin, not grow, and lose nothing.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTemporaryDir>
#include <QUdpSocket>
#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <variant>
#include <vector>

#include "integration/emulator_process.h"
#include "integration/user_settings.h"
#include "koralctl_process.h"
#include "model/settings_file.h"
#include "monitor/output_decoder.h"
#include "pty_peer.h"

namespace koral::integration {
namespace {

using testing_support::PtyPeer;
using testing_support::WaitUntil;

constexpr int kSampleMs = 100;
constexpr int kUnitAddress = 37;
constexpr char kLoopback[] = "127.0.0.1";
constexpr char kStranger[] = "127.0.0.2";  // another host on loopback
// A process that waits for a unit in its timers and sleeps uses a small share
// of the wall time; one that spins uses all of it.
constexpr double kMostCpuShare = 0.25;
constexpr long kMostGrowthKb = 8 * 1024;
// AddressSanitizer keeps freed memory in quarantine (up to 256 MB) to catch
// late uses, so a sanitized koralctl grows with what it frees, not with what it
// holds. The bound is checked in the ordinary build only.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFreedMemoryIsHeld = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kFreedMemoryIsHeld = true;
#else
constexpr bool kFreedMemoryIsHeld = false;
#endif
#else
constexpr bool kFreedMemoryIsHeld = false;
#endif

std::vector<std::string> TemporariesBeside(const std::string& file) {
  std::vector<std::string> found;
  const std::filesystem::path path(file);
  const std::string start = "." + path.filename().string() + ".";
  for (const auto& entry : std::filesystem::directory_iterator(path.parent_path())) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(start, 0) == 0 && name.ends_with(".tmp")) found.push_back(name);
  }
  return found;
}

// One unit of koral-emu with the link options koralctl reaches it by.
struct Unit {
  std::unique_ptr<EmulatorProcess> emulator;
  QStringList linkArgs;
};

class KoralctlFault : public ::testing::Test {
 protected:
  void TearDown() override {
    for (auto& unit : units_) {
      unit.emulator->Stop();
      if (HasFailure()) std::cerr << "koral-emu's log:\n" << unit.emulator->Log();
    }
  }

  // A unit on its own serial line (`name` names the line and the log), or
  // behind a bridge on UDP loopback.
  Unit& StartUnit(const std::string& name, bool serial, QStringList options) {
    EXPECT_TRUE(dir_.isValid());
    options << "--still";
    if (serial) {
      options << "--link" << Arg(name);
    } else {
      options << "--udp" << QString(kLoopback) + ":0";
    }
    Unit& unit = units_.emplace_back();
    unit.emulator = std::make_unique<EmulatorProcess>(options, Scratch(name + ".log"));
    if (!unit.emulator->Start()) {
      ADD_FAILURE() << unit.emulator->Problem();
      return unit;
    }
    if (serial) {
      unit.linkArgs = {"--serial", Arg(name)};
    } else {
      unit.linkArgs = {"--udp",         kLoopback,
                       "--bridge-port", QString::number(unit.emulator->UdpPort()),
                       "--local-port",  QString::number(UnusedUdpPort())};
    }
    return unit;
  }

  std::string Scratch(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  QString Arg(const std::string& name) const { return QString::fromStdString(Scratch(name)); }

  QTemporaryDir dir_;
  std::vector<Unit> units_;
};

bool LogShows(const Unit& unit, const std::string& text, int limitMs = kCommandMs) {
  return WaitUntil([&] { return unit.emulator->Log().find(text) != std::string::npos; }, limitMs);
}

// ---- the serial line vanishes --------------------------------------------------------

// The serial line vanishing under a download or an upload, or a unit on the
// network falling silent in the middle of an upload: an existing backup stays
// as it was, and nothing is left beside it.
TEST_F(KoralctlFault, linkFailsMidTransfer_exitsOneWithOneLineDoesNotSpinAndKeepsTheBackup) {
  const QString address = QString::number(kUnitAddress);
  const struct {
    const char* name;
    bool serial;  // the line vanishes; else the unit falls silent behind its bridge
    QStringList options;
    QStringList command;
    std::string underWay;  // in the unit's log once the transfer has started
  } cases[] = {{"download", true, {"--address", address}, {"download", Arg("restore.txt")}, "download selection done"},
               {"upload",
                true,
                {"--address", address},
                {"upload", "-o", Arg("upload.txt"), "--address", address},
                "<- 0xBC acknowledgement ("},
               {"silent-upload",
                false,
                {"--drop-after", "5"},
                {"upload", "-o", Arg("silent-upload.txt"), "--baud", "1200"},
                "falls silent after 5 upload frames"}};
  ASSERT_TRUE(dir_.isValid());
  const std::string restore = Scratch("restore.txt");
  ASSERT_FALSE(WriteSettingsFile(restore, EditedSettings(LinkMode::Serial, {kUnitAddress, "DAY", "NIGHT"})));
  const std::string backupBefore = "last week's backup\r\n";

  // All at once, each on its own link: the heartbeat takes fifteen seconds to give up.
  std::vector<std::unique_ptr<Koralctl>> runs;
  for (const auto& c : cases) {
    Unit& unit = StartUnit(c.name, c.serial, c.options);
    ASSERT_TRUE(unit.emulator->Running());
    WriteText(Scratch(c.name + std::string(".txt")), backupBefore);
    runs.push_back(std::make_unique<Koralctl>(c.command + unit.linkArgs));
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    ASSERT_TRUE(LogShows(units_[i], cases[i].underWay, kTransferMs));
    if (cases[i].serial) units_[i].emulator->Stop();  // the far end of the line closes
    runs[i]->Mark();
  }
  for (std::size_t i = 0; i < runs.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    const Outcome outcome = runs[i]->Finish(kTransferMs);
    EXPECT_EQ(outcome.exitCode, 1) << outcome;
    EXPECT_TRUE(IsOneLine(outcome.err)) << outcome;
    EXPECT_LT(runs[i]->CpuShareSinceMark(), kMostCpuShare);
    const std::string backup = Scratch(cases[i].name + std::string(".txt"));
    EXPECT_EQ(FileText(backup), backupBefore);
    EXPECT_EQ(TemporariesBeside(backup), std::vector<std::string>{});
  }
}

// ---- a unit that spews garbage ---------------------------------------------------------

TEST_F(KoralctlFault, garbageAtFullSpeed_monitorNeitherSpinsNorGrowsAndShowsTheUnitAgainAfterwards) {
  constexpr int kGarbageSeconds = 10;
  ASSERT_TRUE(dir_.isValid());
  const std::string streaming = Scratch("streaming.txt");
  ASSERT_FALSE(WriteSettingsFile(streaming, StreamingSettings(kAllFlags)));
  Unit& unit = StartUnit("com1", true, {"--garbage", QString::number(kGarbageSeconds), "--load", Arg("streaming.txt")});
  ASSERT_TRUE(unit.emulator->Running());
  // Connecting, three seconds before the garbage, the garbage, and eight seconds after it.
  Koralctl monitor(QStringList{"monitor", "--type", "ALL FLAGS", "--seconds", "22"} << unit.linkArgs);
  ASSERT_TRUE(LogShows(unit, "garbage: random bytes"));
  monitor.Mark();

  ASSERT_TRUE(LogShows(unit, "garbage: over"));
  monitor.Sample();
  const std::size_t printedBefore = monitor.PrintedSoFar();
  const Outcome outcome = monitor.Finish(kTransferMs);

  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_LT(monitor.CpuShareSinceMark(), kMostCpuShare);
  if (!kFreedMemoryIsHeld) {
    EXPECT_LT(monitor.GrowthSinceMarkKb(), kMostGrowthKb) << "now " << monitor.LastKb() << " kB";
  }
  // The unit streams a frame a second: in the seconds after the garbage its
  // frames are shown again, not garbage held back.
  const std::vector<std::string> lines = Lines(outcome.out.substr(printedBefore));
  EXPECT_GE(lines.size(), 3u * 4u) << outcome.out.substr(printedBefore);
  const std::vector<std::string> starts = {"MOVE    = ", "TRIGGER = ", "ALARM   = ", "STATUS  = Day Mode"};
  for (std::size_t i = 0; i < lines.size(); ++i)
    EXPECT_EQ(lines[i].rfind(starts[i % 4], 0), 0u) << "line " << i << " after the garbage: " << lines[i];
  const Outcome check = RunKoralctl(QStringList{"keys", "DAY"} << unit.linkArgs);
  EXPECT_EQ(check.exitCode, 0) << check;
}

// ---- datagrams: a flood, and strangers ---------------------------------------------------

std::string EventDatagram(const char text[4], std::uint8_t moveFlags) {
  // Flags, status (day, alarm enabled), text, DEC-07-26 9:41:05.
  const std::array<std::uint8_t, 17> bytes = {0x01,
                                              0x21,
                                              moveFlags,
                                              0x00,
                                              0x00,
                                              0x18,
                                              std::uint8_t(text[0]),
                                              std::uint8_t(text[1]),
                                              std::uint8_t(text[2]),
                                              std::uint8_t(text[3]),
                                              0x12,
                                              0x07,
                                              0x26,
                                              0x09,
                                              0x41,
                                              0x05,
                                              0x03};
  return std::string(bytes.begin(), bytes.end());
}

TEST_F(KoralctlFault, datagramFlood_monitorStaysSmallIgnoresStrangersAndShowsTheNextEvent) {
  constexpr int kDatagrams = 100000;
  Unit& unit = StartUnit("bridge", false, {});
  ASSERT_TRUE(unit.emulator->Running());
  const auto localPort = static_cast<quint16>(unit.linkArgs.last().toUShort());
  // It stops at the first event it shows, which must be the one after the flood.
  Koralctl monitor(QStringList{"monitor", "--type", "ALL FLAGS", "--frames", "1", "--seconds", "30"} << unit.linkArgs);
  ASSERT_TRUE(LogShows(unit, "<- 0xBA status request"));
  QUdpSocket fromBridgeHost;  // the bridge's address, another port
  QUdpSocket fromStranger;
  ASSERT_TRUE(fromBridgeHost.bind(QHostAddress(kLoopback), 0));
  ASSERT_TRUE(fromStranger.bind(QHostAddress(kStranger), 0)) << "no 127.0.0.2 on this loopback";
  WaitUntil([] { return false; }, 1000);  // the settings window is up
  monitor.Mark();

  std::mt19937 random(7);
  const QHostAddress pc(kLoopback);
  for (int i = 0; i < kDatagrams; ++i) {
    std::string junk(1 + random() % 600, '\0');
    for (char& byte : junk)
      byte = static_cast<char>(random());
    if (i % 3 == 0) junk = EventDatagram("XXXX", 0xFF);  // strangers' events look right
    QUdpSocket& from = i % 3 == 0 ? fromStranger : fromBridgeHost;
    from.writeDatagram(junk.data(), static_cast<qint64>(junk.size()), pc, localPort);
    if (i % 100 == 0) usleep(1000);  // paced a little, so that more of it reaches the program
  }
  WaitUntil([] { return false; }, 1000);  // what the system still holds is read
  monitor.Sample();
  const std::string last = EventDatagram("LAST", 0x01);
  for (int i = 0; i < 3 && monitor.Running(); ++i) {
    fromBridgeHost.writeDatagram(last.data(), static_cast<qint64>(last.size()), pc, localPort);
    WaitUntil([&] { return !monitor.Running(); }, 1000);
  }
  const Outcome outcome = monitor.Finish(kCommandMs);

  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  if (!kFreedMemoryIsHeld) {
    EXPECT_LT(monitor.GrowthSinceMarkKb(), kMostGrowthKb) << "now " << monitor.LastKb() << " kB";
  }
  // Nothing of the flood: the strangers' events are ignored, the junk dropped.
  EXPECT_EQ(outcome.out.rfind("LAST  DEC-07-26  9:41:05\nMOVE    =  A  -  -  -  -  -  -  - \n", 0), 0u)
      << outcome.out.substr(0, 2000);
  EXPECT_EQ(std::count(outcome.out.begin(), outcome.out.end(), '\n'), 5);
}

// ---- killed in the middle of a save ---------------------------------------------------------

// A save watched in its folder, killed as soon as the folder sees `when`
// happen to a file whose name starts with `prefix`.
struct WatchedSave {
  const char* moment;
  std::uint32_t when;
  std::string prefix;
  std::string folder;
  std::unique_ptr<Koralctl> run;
  bool killed = false;
};

void KillAtTheirMoments(std::vector<WatchedSave>& saves, int limitMs) {
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  std::vector<int> watches;
  for (const WatchedSave& save : saves)
    watches.push_back(inotify_add_watch(watch, save.folder.c_str(), save.when));
  const auto anyRunning = [&] {
    return std::any_of(saves.begin(), saves.end(), [](WatchedSave& s) { return !s.killed && s.run->Running(); });
  };
  QElapsedTimer elapsed;
  elapsed.start();
  alignas(inotify_event) std::array<char, 4096> events{};
  while (anyRunning() && elapsed.elapsed() < limitMs) {
    pollfd ready{watch, POLLIN, 0};
    if (poll(&ready, 1, kSampleMs) <= 0) {
      for (WatchedSave& save : saves)
        save.run->Sample();  // lets QProcess see an end
      continue;
    }
    const ssize_t got = read(watch, events.data(), events.size());
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events.data() + at);
      const std::string name = event->len > 0 ? event->name : "";
      for (std::size_t i = 0; i < saves.size(); ++i) {
        WatchedSave& save = saves[i];
        if (event->wd != watches[i] || save.killed || name.rfind(save.prefix, 0) != 0) continue;
        kill(static_cast<pid_t>(save.run->Pid()), SIGKILL);
        save.killed = true;
      }
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
    }
  }
  close(watch);
}

TEST_F(KoralctlFault, killedDuringTheSave_leavesTheOldFileOrTheNewOneAndTheNextSaveCleansUp) {
  ASSERT_TRUE(dir_.isValid());
  const SettingsImage unitSettings = EditedSettings(LinkMode::Udp, {kUnitAddress, "UNIT DAY", "UNIT NIGHT"});
  ASSERT_FALSE(WriteSettingsFile(Scratch("unit.txt"), unitSettings));
  const std::string before = "the backup before\r\n";
  std::vector<WatchedSave> saves;
  saves.push_back({"temporary created", IN_CREATE, ".backup.txt.", Scratch("created"), nullptr});
  saves.push_back({"temporary written", IN_CLOSE_WRITE, ".backup.txt.", Scratch("written"), nullptr});
  saves.push_back({"renamed over the file", IN_MOVED_TO, "backup.txt", Scratch("renamed"), nullptr});
  std::vector<QStringList> links;
  for (WatchedSave& save : saves) {
    Unit& unit = StartUnit(std::string("unit-") + save.moment, false, {"--load", Arg("unit.txt")});
    ASSERT_TRUE(unit.emulator->Running());
    links.push_back(unit.linkArgs);
  }
  const auto upload = [&](std::size_t i) {
    return std::make_unique<Koralctl>(QStringList{"upload", "-o",
                                                  QString::fromStdString(saves[i].folder + "/backup.txt"), "--address",
                                                  QString::number(kUnitAddress)}
                                      << links[i]);
  };
  const auto expectOldOrNew = [&](const std::string& file) {
    const std::string text = FileText(file);
    if (text == before) return;
    const auto read = ReadSettingsFile(file);
    ASSERT_TRUE(std::holds_alternative<SettingsImage>(read)) << "a partial file:\n" << text;
    EXPECT_EQ(DifferingLines(unitSettings, std::get<SettingsImage>(read)), "");
  };
  // All at once, each in its own folder.
  for (std::size_t i = 0; i < saves.size(); ++i) {
    std::filesystem::create_directory(saves[i].folder);
    WriteText(saves[i].folder + "/backup.txt", before);
    saves[i].run = upload(i);
  }

  KillAtTheirMoments(saves, kTransferMs);

  for (WatchedSave& save : saves) {
    SCOPED_TRACE(save.moment);
    const Outcome outcome = save.run->Finish(kCommandMs);
    EXPECT_TRUE(save.killed) << outcome;
    expectOldOrNew(save.folder + "/backup.txt");
  }
  // The next save to each file: what the killed one left is old by then.
  for (std::size_t i = 0; i < saves.size(); ++i) {
    for (const std::string& name : TemporariesBeside(saves[i].folder + "/backup.txt")) {
      std::filesystem::last_write_time(saves[i].folder + "/" + name,
                                       std::filesystem::file_time_type::clock::now() - std::chrono::minutes(2));
    }
    saves[i].run = upload(i);
  }
  for (std::size_t i = 0; i < saves.size(); ++i) {
    SCOPED_TRACE(saves[i].moment);
    const std::string backup = saves[i].folder + "/backup.txt";
    const Outcome outcome = saves[i].run->Finish(kTransferMs);
    EXPECT_EQ(outcome.exitCode, 0) << outcome;
    EXPECT_NE(FileText(backup), before);
    expectOldOrNew(backup);
    EXPECT_EQ(TemporariesBeside(backup), std::vector<std::string>{});
  }
}

// ---- files no settings file should be -----------------------------------------------------

TEST_F(KoralctlFault, hostileFiles_exitThreeWithTheReasonAndNothingSent) {
  PtyPeer farEnd;
  ASSERT_TRUE(farEnd.Open()) << farEnd.Problem();
  ASSERT_TRUE(dir_.isValid());
  std::string nines;
  for (int i = 0; i < kSettingsFileLines; ++i)
    nines += "999\r\n";
  WriteText(Scratch("nines.txt"), nines);
  ASSERT_EQ(mkfifo(Scratch("fifo.txt").c_str(), 0600), 0);
  std::filesystem::create_symlink(Scratch("loop-b.txt"), Scratch("loop-a.txt"));
  std::filesystem::create_symlink(Scratch("loop-a.txt"), Scratch("loop-b.txt"));
  std::filesystem::create_directory(Scratch("folder"));
  std::filesystem::create_directory(Scratch("folder.txt"));
  const QString device = QString::fromStdString(farEnd.DevicePath());

  const struct {
    QStringList arguments;
    std::string reason;
  } cases[] = {
      {{"download", Arg("nines.txt"), "--serial", device}, "nines.txt: line 1: 999 is outside 0..255"},
      {{"download", Arg("fifo.txt"), "--serial", device}, "fifo.txt: is not a regular file"},
      {{"show", Arg("fifo.txt")}, "fifo.txt: is not a regular file"},
      {{"diff", Arg("fifo.txt"), Arg("nines.txt")}, "fifo.txt: is not a regular file"},
      {{"diff", Arg("folder"), "/dev/zero"}, "folder"},
      {{"download", Arg("loop-a.txt"), "--serial", device}, "loop-a.txt"},
      {{"upload", "-o", Arg("loop-a.txt"), "--serial", device}, "loop-a.txt"},
      {{"upload", "-o", "/dev/null", "--serial", device}, "/dev/null: cannot be saved: not a regular file"},
      {{"download", Arg("missing.txt"), "--serial", device}, "missing.txt: cannot be opened"},
      {{"show", "/dev/zero"}, "/dev/zero: is not a regular file"},
      {{"upload", "-o", Arg("no-such-folder/backup.txt"), "--serial", device}, "the folder does not exist"},
      {{"upload", "-o", Arg("folder.txt"), "--serial", device}, "not a regular file"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const Outcome outcome = RunKoralctl(c.arguments, kCommandMs);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.exitCode, 3) << outcome;
    EXPECT_TRUE(IsOneLine(outcome.err)) << outcome;
    EXPECT_NE(outcome.err.find(c.reason), std::string::npos) << "expected \"" << c.reason << "\"\n" << outcome;
    EXPECT_EQ(outcome.out, "");
  }
  // The first bytes on the line are those of a get-ip run afterwards.
  RunKoralctl({"get-ip", "--serial", device});
  EXPECT_EQ(Received(farEnd, 6), kIpQuery);
}

}  // namespace
}  // namespace koral::integration
