// The link engine, run headless as the desktop program runs it, against a
// serial line that fails for real: the unit's pseudo-terminal vanishes in the
// middle of a transfer (a USB adapter pulled out) and comes back at the same
// path, or the unit falls silent with its line still there. The program must
// report the failure once, keep running without burning the processor, leave
// or give back the settings it had, and connect again from the connection
// window without a restart.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <iostream>
#include <memory>

#include "emulator_process.h"
#include "model/settings_file.h"
#include "runtime/headless_runner.h"
#include "user_settings.h"

namespace koral::integration {
namespace {

constexpr int kSerialPort = 1;
constexpr int kUnitAddress = 0x25;
constexpr int kStepMs = 5000;
constexpr int kTransferMs = 60000;
// While it waits for a unit that is gone, the program sleeps in its timers.
constexpr double kMostCpuShareWhileWaiting = 0.25;
const std::string kCommunicationComplete = "DAY ,Communication Complete ,Video OK";
const ShownDialog kLinkFailure{ShownDialog::Kind::RetryQuestion, "Communication Fail", "Do you want to retry ?"};

// Processor time this process has used, user and system, in milliseconds.
double CpuMs() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_usec) / 1000.0;
  };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

enum class Transfer { Download, Upload };
enum class Fault {
  LineVanishes,  // the unit's end of the line closes; a new line appears at the same path later
  UnitFallsSilent,
};

struct FaultCase {
  const char* name;
  Transfer transfer;
  Fault fault;
  QStringList unitOptions;
  std::string faultWhenLogShows;  // the transfer is under way
};

void PrintTo(const FaultCase& c, std::ostream* out) {
  *out << c.name;
}

class SerialFault : public ::testing::TestWithParam<FaultCase> {
 protected:
  void TearDown() override {
    runner_.reset();
    if (emulator_ && HasFailure()) std::cerr << "koral-emu's log:\n" << emulator_->Log();
    emulator_.reset();
    qunsetenv("KORAL_COM1");
  }

  void StartUnit(QStringList options) {
    ASSERT_TRUE(dir_.isValid());
    options << "--still"
            << "--link" << QString::fromStdString(Scratch("com1"));
    emulator_ = std::make_unique<EmulatorProcess>(options, Scratch("koral-emu-" + std::to_string(++starts_) + ".log"));
    ASSERT_TRUE(emulator_->Start()) << emulator_->Problem();
  }

  ConnectResult Connect() { return runner_->ConnectSerial(kSerialPort, kBaud4800Index, UnitModel::Qt1Rx); }
  bool CaptionBecomes(const std::string& caption) {
    return runner_->RunUntil([&] { return Settings().Caption() == caption; }, kStepMs);
  }
  std::size_t LinkFailuresReported() const {
    const auto& dialogs = runner_->Dialogs();
    return static_cast<std::size_t>(std::count(dialogs.begin(), dialogs.end(), kLinkFailure));
  }
  std::string Scratch(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  SettingsWindowModel& Settings() { return runner_->Engine().Settings(); }
  SettingsImage PcSettings() { return ComposeSettingsImage(runner_->GetSession().banks); }

  QTemporaryDir dir_;
  int starts_ = 0;
  std::unique_ptr<EmulatorProcess> emulator_;
  std::unique_ptr<HeadlessRunner> runner_;
};

TEST_P(SerialFault, midTransfer_reportedOnceSettingsKeptAndTheSamePathConnectsAgain) {
  const FaultCase& c = GetParam();
  ASSERT_TRUE(dir_.isValid());
  QStringList options = c.unitOptions;
  if (c.transfer == Transfer::Upload) {
    const std::string unitFile = Scratch("unit.txt");
    ASSERT_FALSE(
        WriteSettingsFile(unitFile, EditedSettings(LinkMode::Serial, {kUnitAddress, "UNIT DAY", "UNIT NIGHT"})));
    options << "--load" << QString::fromStdString(unitFile);
  }
  ASSERT_NO_FATAL_FAILURE(StartUnit(options));
  qputenv("KORAL_COM1", QByteArray::fromStdString(Scratch("com1")));
  runner_ = std::make_unique<HeadlessRunner>(LinkMode::Serial);
  const ConnectResult connected = Connect();
  ASSERT_EQ(connected.outcome, ConnectOutcome::Connected) << connected.reason;
  ASSERT_TRUE(CaptionBecomes(kCommunicationComplete)) << Settings().Caption();
  EditLikeAUser(Settings(), {kUnitAddress, "MINE DAY", "MINE NIGHT"});
  const SettingsImage before = PcSettings();

  // The fault strikes once the unit's log shows the transfer under way.
  QElapsedTimer sinceFault;
  double cpuAtFault = 0;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (sinceFault.isValid() || emulator_->Log().find(c.faultWhenLogShows) == std::string::npos) return;
    if (c.fault == Fault::LineVanishes) emulator_->Stop();
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
  EXPECT_EQ(LinkFailuresReported(), 1u);
  EXPECT_EQ(runner_->ConnectionWindowRequests(), 1);
  EXPECT_EQ(DifferingLines(before, PcSettings()), "");
  EXPECT_EQ(Settings().TitleText(), "MINE DAY");
  EXPECT_FALSE(runner_->MainTimerRunning());
  EXPECT_FALSE(runner_->UnpackTimerRunning());
  // Nothing more is reported while nobody answers the connection window.
  runner_->RunUntil([] { return false; }, 1500);
  EXPECT_EQ(LinkFailuresReported(), 1u);

  if (c.fault != Fault::LineVanishes) return;
  // Plugged in again: a new line at the same path, chosen again in the
  // connection window of the same run.
  ASSERT_FALSE(emulator_->Running());
  ASSERT_NO_FATAL_FAILURE(StartUnit({}));
  const ConnectResult again = Connect();
  ASSERT_EQ(again.outcome, ConnectOutcome::Connected) << again.reason;
  Settings().SetCaption("");
  EXPECT_TRUE(CaptionBecomes(kCommunicationComplete)) << Settings().Caption();
  EXPECT_TRUE(runner_->MainTimerRunning());
  EXPECT_EQ(DifferingLines(before, PcSettings()), "");
}

INSTANTIATE_TEST_SUITE_P(Faults, SerialFault,
                         ::testing::Values(FaultCase{"LineVanishesDuringDownload",
                                                     Transfer::Download,
                                                     Fault::LineVanishes,
                                                     {"--address", QString::number(kUnitAddress)},
                                                     "download selection done"},
                                           FaultCase{"UnitFallsSilentDuringUpload",
                                                     Transfer::Upload,
                                                     Fault::UnitFallsSilent,
                                                     {"--drop-after", "5"},
                                                     "falls silent after 5 upload frames"}),
                         [](const ::testing::TestParamInfo<FaultCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace koral::integration
