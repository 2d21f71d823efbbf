#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

const Bytes kReplyDayEnabledVideoOk = {0x01, 0x11, 0xBA, 0x18, 0x03};

TEST(StatusRequest, freshUnit_answersDayAlarmEnabledVideoOkAFrameApart) {
  UnitHarness h;
  h.Send({0xBA});
  EXPECT_EQ(h.log, (std::vector<std::string>{"<- 0xBA status request",
                                             "-> status reply (DAY, alarm enabled, video OK): 01 11 BA 18 03"}));
  h.Send({0xBA});
  h.RunFor(1000);
  EXPECT_EQ(h.sent, (std::vector<Sent>{{0, kReplyDayEnabledVideoOk}, {150, kReplyDayEnabledVideoOk}}));
}

TEST(StatusRequest, silentOrSlowUnit_neverAnswersOrAnswersThatMuchLater) {
  UnitConfig silent = QuietConfig();
  silent.faults.silent = true;
  UnitConfig slow = QuietConfig();
  slow.faults.slowMs = 400;
  UnitHarness s(silent), w(slow);
  for (UnitHarness* h : {&s, &w}) {
    h->Send({0xBA});
    h->RunFor(1000);
  }
  EXPECT_TRUE(s.sent.empty());
  EXPECT_TRUE(s.Logged("-> status reply (DAY, alarm enabled, video OK) not sent (silent)"));
  EXPECT_EQ(w.sent, (std::vector<Sent>{{400, kReplyDayEnabledVideoOk}}));
}

struct StatusCase {
  const char* name;
  std::vector<std::uint8_t> keys;
  bool videoLost;
  std::uint8_t status;
};

TEST(StatusRequest, keysAndVideo_setTheStatusByte) {
  const StatusCase cases[] = {{"fresh", {}, false, 0x18},
                              {"night", {0xA2}, false, 0x10},
                              {"nightThenDay", {0xA2, 0xA1}, false, 0x18},
                              {"disabled", {0xA5}, false, 0x08},
                              {"disabledThenEnabled", {0xA5, 0xA4}, false, 0x18},
                              {"videoLost", {}, true, 0x98},
                              {"nightDisabledVideoLost", {0xA2, 0xA5}, true, 0x80}};
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.name);
    UnitHarness h;
    h.Send(c.keys);
    h.unit.SetVideoLost(c.videoLost);
    h.RunFor(1000);  // the output data telling of the changes goes first
    h.sent.clear();
    h.Send({0xBA});
    h.RunFor(1000);
    ASSERT_EQ(h.sent.size(), 1u);
    EXPECT_EQ(h.sent[0].bytes, (Bytes{0x01, 0x11, 0xBA, c.status, 0x03}));
  }
}

// Each byte as logged: the byte is the first "0x" in its line.
TEST(KeypadKey, key_isLoggedByName) {
  const std::string lines[] = {"<- 0x91 key RIGHT",
                               "<- 0x92 key LEFT",
                               "<- 0x94 key MENU",
                               "<- 0x98 key ALARM",
                               "<- 0xA0 key UNADDRESS (no effect on a QT-1RX)",
                               "<- 0xA1 key DAY: running the DAY bank",
                               "<- 0xA2 key NIGHT: running the NIGHT bank",
                               "<- 0xA4 key ENABLE: alarm enabled",
                               "<- 0xA5 key DISABLE: alarm disabled",
                               "<- 0xA8 key CLEAR: alarms cleared",
                               "<- 0xB0 key EXIT",
                               "<- 0xB4 key DOWN",
                               "<- 0xB5 key UP",
                               "<- 0xB6 key LEFT (QT-MX)",
                               "<- 0xB7 key RIGHT (QT-MX)",
                               "<- 0xBD key LOG",
                               "<- 0xB3 key end of address selection (no effect on a QT-1RX)",
                               "<- address 0x25 (no effect on a QT-1RX)",
                               "<- 0xBC acknowledgement outside an upload, ignored",
                               "<- 0xD5 outside a download frame, ignored",
                               "<- 0x80 unknown command, ignored"};
  for (const std::string& line : lines) {
    UnitHarness h;
    h.Send({static_cast<std::uint8_t>(std::stoi(line.substr(line.find("0x") + 2, 2), nullptr, 16))});
    h.RunFor(2000);
    ASSERT_FALSE(h.log.empty());
    EXPECT_EQ(h.log[0], line);
  }
}

// A lone 0x98 is the ALARM key once its pause has passed or another key comes;
// two of them open a transfer.
TEST(AlarmKey, transferOpeningByte_isTheAlarmKeyUnlessASecondFollows) {
  UnitHarness lone, keyed, twice;
  lone.Send({0x98});
  lone.RunFor(TransferSession::kOpeningPauseMs - 100);
  EXPECT_FALSE(lone.Logged("<- 0x98 key ALARM"));
  lone.RunFor(100);
  EXPECT_TRUE(lone.Logged("<- 0x98 key ALARM"));
  keyed.Send({0x98, 0xA2});
  ASSERT_GE(keyed.log.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(keyed.log.begin(), keyed.log.begin() + 2),
            (std::vector<std::string>{"<- 0x98 key ALARM", "<- 0xA2 key NIGHT: running the NIGHT bank"}));
  twice.Send({0x98, 0x98}, 500);
  EXPECT_EQ(twice.log, (std::vector<std::string>{"<- 98 98 transfer opening"}));
  EXPECT_TRUE(twice.unit.InTransfer());
}

// ---- QT-MX address selection --------------------------------------------------

struct SelectionCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  bool answers;
};

TEST(QtMxSelection, onlyTheSelectedAddressAnswers) {
  const SelectionCase cases[] = {{"fresh", {}, false},
                                 {"firstSelect", {0x25, 0x25, 0xB3}, true},
                                 {"select", {0x25, 0xB3}, true},
                                 {"spinnerThenSelect", {0x20, 0x25, 0xB3}, true},
                                 {"otherAddress", {0x26, 0xB3}, false},
                                 {"selectThenOther", {0x25, 0xB3, 0x26, 0xB3}, false},
                                 {"addressWithoutEnd", {0x25}, false},
                                 {"selectThenUnaddress", {0x25, 0xB3, 0xA0}, false}};
  for (const SelectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    UnitHarness h(QuietConfig(UnitModel::QtMx), Factory(0x25));
    h.Send(c.bytes);
    h.sent.clear();
    h.Send({0xBA});
    h.RunFor(1000);
    EXPECT_EQ(h.unit.Selected(), c.answers);
    EXPECT_EQ(h.sent.size(), c.answers ? 1u : 0u);
  }
}

TEST(QtMxSelection, unselectedUnit_ignoresKeysButNotAnUploadToItsAddress) {
  UnitHarness h(QuietConfig(UnitModel::QtMx), Factory(0x25));
  h.Send({0xA2});
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Day);
  EXPECT_TRUE(h.Logged("<- 0xA2 key NIGHT: unit not selected, ignored"));
  h.Send({0x25, 0xB3, 0xA2});
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Night);
  EXPECT_TRUE(h.Logged("<- 0xB3 key end of address selection: 0x25, this unit selected"));
  UnitHarness unselected(QuietConfig(UnitModel::QtMx), Factory(0x25));
  unselected.Send(UploadOpening(0x25));
  EXPECT_EQ(unselected.sent.size(), 1u) << "an upload names its own address, selected or not";
}

}  // namespace
}  // namespace koral::emu::test
