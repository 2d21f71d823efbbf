#include "user_settings.h"

#include <array>
#include <functional>
#include <iostream>
#include <variant>

#include "model/title_charset.h"
#include "model/unit_profile.h"

namespace koral {
void PrintTo(LinkMode link, std::ostream* out) {
  *out << (link == LinkMode::Serial ? "serial link" : "network link");
}
}  // namespace koral

namespace koral::integration {
namespace {

constexpr int kMaxReportedLines = 20;

class NoLink final : public SettingsWindowLink {
 public:
  void FollowUnitBaudRate(int) override {}
  void RequestStatus() override {}
};

class FixedWallClock final : public WallClock {
 public:
  LocalTime Now() const override { return {2024, 5, 17, 9, 30, 0, 6}; }
};

// Where a settings file line lives, for the failure messages.
std::string Place(int line) {
  struct Part {
    const char* name;
    int size;
    int firstByte;
  };
  constexpr std::array<Part, 4> kBankParts = {
      {{"zone cells", kZoneCellCount, 0},
       {"title bytes", 2 * kTitleCount, 0},
       {"date-time bytes", 2 * kDateTimeCount - kFirstKeptDateTimeByte, kFirstKeptDateTimeByte},
       {"registers byte", 2 * kRegisterCount, 0}}};
  int first = 0;
  for (const char* bank : {"DAY", "NIGHT"}) {
    for (const Part& part : kBankParts) {
      if (line < first + part.size) {
        return std::string(bank) + " " + part.name + " " + std::to_string(line - first + part.firstByte);
      }
      first += part.size;
    }
  }
  return "motion parameter sets byte " + std::to_string(line - first);
}

}  // namespace

void EditLikeAUser(SettingsWindowModel& window, const UserEdits& edits) {
  window.SetNumber(SettingsWindowModel::NumberIndex("udAddr"), edits.unitAddress);
  window.SetNumber(SettingsWindowModel::NumberIndex("udEntDelay"), 12);
  window.SelectListItem(SettingsWindowModel::ListIndex("cmbRelay"), 3);     // TIMER1
  window.SelectListItem(SettingsWindowModel::ListIndex("cmbCalendar"), 2);  // YY-MMM-DD
  window.SetTimeHour(0, 6);
  window.SetTitleText(edits.dayTitle);
  window.SetSensitivity(0, 77);
  window.SetTriggerLevel(0, 300);
  window.SetTrackTime(0, 6);
  window.SelectPaintZone(0);
  window.PressCell(20);
  window.DragOverCell(21);
  window.DragOverCell(22);
  window.ReleaseStroke();
  window.AfterBankSwitch(BankId::Night);
  window.SetTitleText(edits.nightTitle);
  window.SetSensitivity(0, 33);
  window.SetNumber(SettingsWindowModel::NumberIndex("udExitDelay"), 7);
  window.PressCell(100);
  window.ReleaseStroke();
  window.AfterBankSwitch(BankId::Day);
}

namespace {

// A freshly loaded settings window for a unit at 4800 baud on `link`, edited.
SettingsImage MadeInTheWindow(LinkMode link, const std::function<void(SettingsWindowModel&)>& edit) {
  Session session;
  session.linkMode = link;
  session.linkBaudIndex = kBaud4800Index;
  NoLink noLink;
  FixedWallClock clock;
  SettingsWindowModel window(session, noLink, clock);
  window.Load();
  edit(window);
  return ComposeSettingsImage(session.banks);
}

}  // namespace

SettingsImage EditedSettings(LinkMode link, const UserEdits& edits) {
  return MadeInTheWindow(link, [&edits](SettingsWindowModel& window) { EditLikeAUser(window, edits); });
}

SettingsImage StreamingSettings(int outputType, LinkMode link) {
  constexpr int kContinuous = 2;
  return MadeInTheWindow(link, [outputType](SettingsWindowModel& window) {
    window.SelectListItem(SettingsWindowModel::ListIndex("cmbOutputRate"), kContinuous);
    window.SelectListItem(SettingsWindowModel::ListIndex("cmbOutputData"), outputType);
  });
}

SettingsImage ImageOfFile(const std::string& path) {
  auto read = ReadSettingsFile(path);
  if (const auto* image = std::get_if<SettingsImage>(&read)) return *image;
  std::cerr << std::get<SettingsFileError>(read).message << "\n";
  return {};
}

std::string TitleOf(const SettingsImage& image, BankId bank) {
  RegisterBanks banks;
  DistributeSettingsImage(image, banks);
  banks.SetActiveBank(bank);
  std::array<std::uint8_t, kTitleLength> codes{};
  for (int p = 0; p < kTitleLength; ++p)
    codes[static_cast<std::size_t>(p)] = banks.ReadRegister(title::Character(p));
  std::string text = DecodeTitle(codes);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

std::string DifferingLines(const SettingsImage& expected, const SettingsImage& actual) {
  std::string report;
  int reported = 0;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (expected[i] == actual[i]) continue;
    if (++reported > kMaxReportedLines) {
      report += "...\n";
      break;
    }
    const int line = static_cast<int>(i);
    report += "line " + std::to_string(line + 1) + " (" + Place(line) + "): expected " + std::to_string(expected[i]) +
              ", got " + std::to_string(actual[i]) + "\n";
  }
  return report;
}

}  // namespace koral::integration
