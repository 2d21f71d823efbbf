// The settings window's load, activation, captions, File menu, closing, bank
// switch, the Day/Night switcher and copies.
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/day_night_switcher_model.h"
#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the temporary directory, removed with everything in it.
struct TempFolder {
  TempFolder() {
    std::random_device random;
    do {
      path = fs::temp_directory_path() / ("koral-window-" + std::to_string(random()));
    } while (!fs::create_directory(path));
  }
  ~TempFolder() { fs::remove_all(path); }
  fs::path path;
};

// A second program run, to open what the first one saved.
struct FreshWindow {
  Session session;
  RecordingLink link;
  FixedClock clock;
  SettingsWindowModel window{session, link, clock};
};

TEST_F(SettingsWindowTest, loadShowsDayDefaultsUnmodified) {
  Open();
  EXPECT_FALSE(session.banks.SettingsModified());
  EXPECT_EQ(session.banks.ActiveBank(), BankId::Day);
  EXPECT_EQ(window.MotionModeList().position, 1);
  EXPECT_EQ(window.ZoneCaption(0), 'A');
  EXPECT_TRUE(window.ZoneButtonEnabled(0));
  EXPECT_FALSE(window.ZoneButtonEnabled(1));
  EXPECT_TRUE(window.ZoneButtonEnabled(8));
  EXPECT_TRUE(window.MotionRow(0).trigger.visible);
  EXPECT_FALSE(window.MotionRow(1).trigger.visible);
  EXPECT_EQ(window.MotionRow(7).triggerLabel.caption, "1867");
  EXPECT_EQ(window.TitleText(), "QT-1RX NTSC");
  EXPECT_EQ(window.Caption(), "KORAL ,DAY ,Video OK");
  EXPECT_EQ(window.List(List("cmbBaudRate")).position, 2);
}

TEST_F(SettingsWindowTest, dayNightSwitcher_opensOnTheActiveBankAndOnlyOkSwitches) {
  Open();
  DayNightSwitcherModel switcher;
  session.banks.SetActiveBank(BankId::Night);
  switcher.Open(session.banks.ActiveBank());
  EXPECT_EQ(switcher.Selected(), BankId::Night);
  switcher.Choose(BankId::Day);
  window.AfterBankSwitch(DayNightSwitcherModel::Cancel());
  EXPECT_EQ(session.banks.ActiveBank(), BankId::Night);
  window.AfterBankSwitch(switcher.Ok());
  EXPECT_EQ(session.banks.ActiveBank(), BankId::Day);
}

TEST_F(SettingsWindowTest, loadThenRefresh_leavesBanksAsLoaded) {
  const struct {
    const char* name;
    UnitModel model;
    VideoStandard video;
    LinkMode linkMode;
    int baudIndex;
  } cases[] = {{"qt1rxNtscSerial", UnitModel::Qt1Rx, VideoStandard::Ntsc, LinkMode::Serial, 2},
               {"qt1rxPalSerial", UnitModel::Qt1Rx, VideoStandard::Pal, LinkMode::Serial, 3},
               {"qtMxNtscNetwork", UnitModel::QtMx, VideoStandard::Ntsc, LinkMode::Udp, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open(c.model, c.video, c.linkMode, c.baudIndex);
    EXPECT_FALSE(session.banks.SettingsModified());
    const RegisterBank day = session.banks.Bank(BankId::Day);
    const RegisterBank night = session.banks.Bank(BankId::Night);
    window.RefreshWindow();
    EXPECT_EQ(session.banks.Bank(BankId::Day), day);
    EXPECT_EQ(session.banks.Bank(BankId::Night), night);
    const int vertical = Number("udVPosition");
    EXPECT_EQ(window.Number(vertical).value, Read(reg::kVerticalPosition));
  }
}

// Each case on a window of its own: a run's link and unit never change.
struct ActivationCase {
  const char* name;
  UnitModel model;
  LinkMode linkMode;
  int baudIndex, intervalMs;
  bool modelMenus, comPort, baudLocked;  // modelMenus: Serial Window, Upload, Alarm Window
};

class SettingsWindowActivationTest : public SettingsWindowTest, public ::testing::WithParamInterface<ActivationCase> {};

TEST_P(SettingsWindowActivationTest, activation_setsTimerMenusAndSpeedList) {
  const ActivationCase& c = GetParam();
  Open(c.model, VideoStandard::Ntsc, c.linkMode, c.baudIndex);
  EXPECT_TRUE(window.MainTimer().enabled);
  EXPECT_EQ(window.MainTimer().intervalMs, c.intervalMs);
  EXPECT_EQ(window.Menus().serialWindow, c.modelMenus);
  EXPECT_EQ(window.Menus().upload, c.modelMenus);
  EXPECT_EQ(window.Menus().alarmWindow, c.modelMenus);
  EXPECT_EQ(window.Menus().comPort, c.comPort);
  const int baud = List("cmbBaudRate");
  EXPECT_EQ(window.List(baud).position, c.baudIndex);
  EXPECT_EQ(window.List(baud).enabled, !c.baudLocked);
  const int other = (c.baudIndex + 1) % 6;
  window.SelectListItem(baud, other);
  EXPECT_EQ(window.List(baud).position, c.baudLocked ? c.baudIndex : other);
  EXPECT_EQ(Read(reg::kUnitBaudRate), c.baudLocked ? c.baudIndex : other);
  if (!c.baudLocked) {
    window.Activate(false);
    EXPECT_EQ(window.List(baud).position, c.baudIndex);
  }
  EXPECT_FALSE(window.Activate(false));
  EXPECT_TRUE(window.Activate(true));
}

INSTANTIATE_TEST_SUITE_P(
    SettingsWindowActivation, SettingsWindowActivationTest,
    ::testing::Values(ActivationCase{"serialSlowest", UnitModel::Qt1Rx, LinkMode::Serial, 0, 1000, true, true, false},
                      ActivationCase{"serialFastest", UnitModel::Qt1Rx, LinkMode::Serial, 5, 1000, true, true, false},
                      ActivationCase{"network0", UnitModel::Qt1Rx, LinkMode::Udp, 0, 300, true, false, false},
                      ActivationCase{"network1", UnitModel::Qt1Rx, LinkMode::Udp, 1, 400, true, false, false},
                      ActivationCase{"network2", UnitModel::Qt1Rx, LinkMode::Udp, 2, 450, true, false, false},
                      ActivationCase{"network3", UnitModel::Qt1Rx, LinkMode::Udp, 3, 500, true, false, false},
                      ActivationCase{"network4", UnitModel::Qt1Rx, LinkMode::Udp, 4, 600, true, false, false},
                      ActivationCase{"network5", UnitModel::Qt1Rx, LinkMode::Udp, 5, 850, true, false, false},
                      ActivationCase{"qtMxSerial", UnitModel::QtMx, LinkMode::Serial, 2, 1000, false, true, true}),
    [](const ::testing::TestParamInfo<ActivationCase>& p) { return std::string(p.param.name); });

TEST_F(SettingsWindowTest, caption_showsBankLinkStateAndVideo) {
  Open();
  window.AfterBankSwitch(BankId::Night);
  session.videoLost = true;
  window.Activate(false);
  EXPECT_EQ(window.Caption(), "KORAL ,NIGHT ,Video lost!");
  window.ShowLinkState(true);
  EXPECT_EQ(window.Caption(), "NIGHT ,Communication Complete ,Video lost!");
  window.AfterBankSwitch(BankId::Day);
  session.videoLost = false;
  window.ShowLinkState(false);
  EXPECT_EQ(window.Caption(), "DAY ,Communication Fail ,Video OK");
  window.Activate(false);
  EXPECT_EQ(window.Caption(), "KORAL ,DAY ,Video OK");
}

TEST_F(SettingsWindowTest, savedChangedWindow_opensByteIdenticalInFreshWindow) {
  TempFolder folder;
  const fs::path file = folder.path / "site.txt";
  Open();
  window.SelectListItem(List("cmbRelay"), 5);
  window.SetTitleText("GATE 4");
  window.SetNumber(Number("udAddr"), 9);
  window.AfterBankSwitch(BankId::Night);
  window.SelectListItem(List("cmbExtInp"), 6);
  window.SetTimeMinute(7, 45);
  window.SetSensitivity(0, 77);
  window.AfterBankSwitch(BankId::Day);
  EXPECT_EQ(window.SaveSettingsFile(file), std::nullopt);
  EXPECT_FALSE(session.banks.SettingsModified());
  EXPECT_EQ(link.statusRequests, 1);
  EXPECT_EQ(window.FileName(), file.string());
  FreshWindow fresh;
  fresh.session.linkBaudIndex = session.linkBaudIndex;
  fresh.window.Load();
  fresh.window.Activate(false);
  EXPECT_EQ(fresh.window.OpenSettingsFile(file), std::nullopt);
  EXPECT_TRUE(fresh.session.banks.Bank(BankId::Day) == session.banks.Bank(BankId::Day));
  EXPECT_TRUE(fresh.session.banks.Bank(BankId::Night) == session.banks.Bank(BankId::Night));
  EXPECT_EQ(fresh.window.TitleText(), "GATE 4");
  EXPECT_TRUE(fresh.session.banks.SettingsModified());
  EXPECT_EQ(fresh.link.statusRequests, 1);
}

enum class FileCommand { Open, Save };

TEST_F(SettingsWindowTest, failedFilePart_keepsBanksAndFlagButRequestsStatus) {
  const struct {
    const char* name;
    FileCommand command;
    const char* path;     // under the fresh folder; nullptr: dialog cancelled
    const char* content;  // written to the path first, if any
    const char* reason;   // what the reason mentions besides the file name
  } cases[] = {{"openCancelled", FileCommand::Open, nullptr, nullptr, ""},
               {"saveCancelled", FileCommand::Save, nullptr, nullptr, ""},
               {"openMissingFile", FileCommand::Open, "absent.txt", nullptr, ""},
               {"openValue300", FileCommand::Open, "bad.txt", " 12 \r\n 300 \r\n 7 \r\n", "line"},
               {"saveIntoMissingFolder", FileCommand::Save, "no-such/kept.txt", nullptr, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    link.statusRequests = 0;
    TempFolder folder;
    Open();
    window.SelectListItem(List("cmbRelay"), 3);
    const RegisterBank day = session.banks.Bank(BankId::Day), night = session.banks.Bank(BankId::Night);
    std::optional<fs::path> chosen;
    if (c.path) chosen = folder.path / c.path;
    if (c.content) std::ofstream(*chosen, std::ios::binary) << c.content;
    const auto reason =
        c.command == FileCommand::Open ? window.OpenSettingsFile(chosen) : window.SaveSettingsFile(chosen);
    EXPECT_EQ(reason.has_value(), chosen.has_value());
    if (reason) {
      EXPECT_NE(reason->find(chosen->filename().string()), std::string::npos) << *reason;
      EXPECT_NE(reason->find(c.reason), std::string::npos) << *reason;
    }
    EXPECT_TRUE(session.banks.Bank(BankId::Day) == day);
    EXPECT_TRUE(session.banks.Bank(BankId::Night) == night);
    EXPECT_EQ(window.TitleText(), "QT-1RX NTSC");
    EXPECT_TRUE(session.banks.SettingsModified());
    EXPECT_EQ(link.statusRequests, 1);
  }
}

enum class SaveTarget { Cancelled, Good, Failing };

TEST_F(SettingsWindowTest, answer_decidesEndAndSave) {
  const struct {
    const char* name;
    bool modified;
    CloseAnswer answer;
    SaveTarget target;
    bool endProgram, error, modifiedAfter;
  } cases[] = {{"unchanged", false, CloseAnswer::No, SaveTarget::Good, true, false, false},
               {"yesSaved", true, CloseAnswer::Yes, SaveTarget::Good, true, false, false},
               {"yesDialogCancelled", true, CloseAnswer::Yes, SaveTarget::Cancelled, false, false, true},
               {"yesSaveFails", true, CloseAnswer::Yes, SaveTarget::Failing, false, true, true},
               {"no", true, CloseAnswer::No, SaveTarget::Good, true, false, true},
               {"cancel", true, CloseAnswer::Cancel, SaveTarget::Good, false, false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    Open();
    window.SelectListItem(List("cmbRelay"), 3);
    session.banks.SetSettingsModified(c.modified);
    const RegisterBank day = session.banks.Bank(BankId::Day);
    std::optional<fs::path> saveTo;
    if (c.target == SaveTarget::Good) saveTo = folder.path / "exit.txt";
    if (c.target == SaveTarget::Failing) saveTo = folder.path / "gone" / "exit.txt";
    EXPECT_EQ(window.CloseNeedsQuestion(), c.modified);
    const CloseOutcome outcome = window.AnswerCloseQuestion(c.answer, saveTo);
    EXPECT_EQ(outcome.endProgram, c.endProgram);
    EXPECT_EQ(outcome.error.has_value(), c.error);
    if (outcome.error) {
      EXPECT_NE(outcome.error->find("exit.txt"), std::string::npos) << *outcome.error;
    }
    EXPECT_EQ(session.banks.SettingsModified(), c.modifiedAfter);
    const bool saved = c.answer == CloseAnswer::Yes && c.target == SaveTarget::Good;
    EXPECT_EQ(fs::exists(folder.path / "exit.txt"), saved);
    EXPECT_TRUE(session.banks.Bank(BankId::Day) == day);
  }
}

TEST_F(SettingsWindowTest, switcherReturn_refreshesKeepsModifiedFlagAndActivates) {
  const struct {
    const char* name;
    bool modified;
    std::optional<BankId> chosen;
    BankId active;
    int relayShown;
    const char* caption;
  } cases[] = {{"nightClean", false, BankId::Night, BankId::Night, 6, "KORAL ,NIGHT ,Video lost!"},
               {"nightModified", true, BankId::Night, BankId::Night, 6, "KORAL ,NIGHT ,Video lost!"},
               {"cancelModified", true, std::nullopt, BankId::Day, 4, "KORAL ,DAY ,Video lost!"},
               {"cancelClean", false, std::nullopt, BankId::Day, 4, "KORAL ,DAY ,Video lost!"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    Poke(BankId::Night, reg::kRelayOutput, 6);
    window.SelectListItem(List("cmbRelay"), 3);
    Poke(BankId::Day, reg::kRelayOutput, 4);  // behind the window's back: only a refresh shows it
    session.banks.SetSettingsModified(c.modified);
    // What the window showed before the switcher: a link failure.
    session.videoLost = true;
    window.ShowLinkState(false);
    window.StopMainTimer();
    window.AfterBankSwitch(c.chosen);
    EXPECT_EQ(session.banks.ActiveBank(), c.active);
    EXPECT_EQ(window.List(List("cmbRelay")).position, c.relayShown);
    EXPECT_EQ(session.banks.SettingsModified(), c.modified);
    EXPECT_EQ(window.Caption(), c.caption);
    EXPECT_TRUE(window.MainTimer().enabled);
  }
}

TEST_F(SettingsWindowTest, dayNightCopies_refreshAndLeaveSettingsModified) {
  for (const BankId from : {BankId::Day, BankId::Night}) {
    SCOPED_TRACE(BankName(from));
    Open();
    window.AfterBankSwitch(from);
    window.SelectListItem(List("cmbRelay"), 5);
    window.AfterBankSwitch(BankId::Day);
    session.banks.SetSettingsModified(false);
    from == BankId::Day ? window.CopyDayToNight() : window.CopyNightToDay();
    EXPECT_EQ(ReadBank(OtherBank(from), reg::kRelayOutput), 5);
    EXPECT_EQ(window.List(List("cmbRelay")).position, 5);
    EXPECT_TRUE(session.banks.SettingsModified());
  }
}

}  // namespace
}  // namespace koral::testing_support
