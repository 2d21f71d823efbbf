#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

const Bytes kReplyDayEnabledVideoOk = {0x01, 0x11, 0xBA, 0x18, 0x03};

TEST(StatusRequest, freshUnit_answersDayAlarmEnabledVideoOk) {
  UnitHarness h;
  h.Send({0xBA});
  EXPECT_EQ(h.sent, (std::vector<Sent>{{0, kReplyDayEnabledVideoOk}}));
  EXPECT_EQ(h.log, (std::vector<std::string>{"<- 0xBA status request",
                                             "-> status reply (DAY, alarm enabled, video OK): 01 11 BA 18 03"}));
}

TEST(StatusRequest, requestsInQuickSuccession_areAnsweredAFrameApart) {
  UnitHarness h;
  h.Send({0xBA, 0xBA});
  h.RunFor(1000);
  EXPECT_EQ(h.sent, (std::vector<Sent>{{0, kReplyDayEnabledVideoOk}, {150, kReplyDayEnabledVideoOk}}));
}

TEST(StatusRequest, silentUnit_neverAnswers) {
  UnitConfig config = QuietConfig();
  config.faults.silent = true;
  UnitHarness h(config);
  h.Send({0xBA});
  h.RunFor(1000);
  EXPECT_TRUE(h.sent.empty());
  EXPECT_TRUE(h.Logged("-> status reply (DAY, alarm enabled, video OK) not sent (silent)"));
}

TEST(StatusRequest, slowUnit_answersThatMuchLater) {
  UnitConfig config = QuietConfig();
  config.faults.slowMs = 400;
  UnitHarness h(config);
  h.Send({0xBA});
  h.RunFor(1000);
  EXPECT_EQ(h.sent, (std::vector<Sent>{{400, kReplyDayEnabledVideoOk}}));
}

struct StatusCase {
  const char* name;
  std::vector<std::uint8_t> keys;
  bool videoLost;
  std::uint8_t status;
};

class StatusByteOfTheUnit : public testing::TestWithParam<StatusCase> {};

TEST_P(StatusByteOfTheUnit, keysAndVideo_setTheStatusByte) {
  UnitHarness h;
  h.Send(GetParam().keys);
  h.unit.SetVideoLost(GetParam().videoLost);
  h.RunFor(1000);  // the output data telling of the changes goes first
  h.sent.clear();
  h.Send({0xBA});
  h.RunFor(1000);
  ASSERT_EQ(h.sent.size(), 1u);
  EXPECT_EQ(h.sent[0].bytes, (Bytes{0x01, 0x11, 0xBA, GetParam().status, 0x03}));
}

INSTANTIATE_TEST_SUITE_P(Keys, StatusByteOfTheUnit,
                         testing::Values(StatusCase{"fresh", {}, false, 0x18}, StatusCase{"night", {0xA2}, false, 0x10},
                                         StatusCase{"nightThenDay", {0xA2, 0xA1}, false, 0x18},
                                         StatusCase{"disabled", {0xA5}, false, 0x08},
                                         StatusCase{"disabledThenEnabled", {0xA5, 0xA4}, false, 0x18},
                                         StatusCase{"videoLost", {}, true, 0x98},
                                         StatusCase{"nightDisabledVideoLost", {0xA2, 0xA5}, true, 0x80}),
                         [](const testing::TestParamInfo<StatusCase>& p) { return std::string(p.param.name); });

struct KeyCase {
  std::uint8_t byte;
  std::string logged;
};

class KeypadKey : public testing::TestWithParam<KeyCase> {};

TEST_P(KeypadKey, key_isLoggedByName) {
  UnitHarness h;
  h.Send({GetParam().byte});
  h.RunFor(2000);
  ASSERT_FALSE(h.log.empty());
  EXPECT_EQ(h.log[0], GetParam().logged);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeypadKey,
    testing::Values(
        KeyCase{0x91, "<- 0x91 key RIGHT"}, KeyCase{0x92, "<- 0x92 key LEFT"}, KeyCase{0x94, "<- 0x94 key MENU"},
        KeyCase{0x98, "<- 0x98 key ALARM"}, KeyCase{0xA0, "<- 0xA0 key UNADDRESS (no effect on a QT-1RX)"},
        KeyCase{0xA1, "<- 0xA1 key DAY: running the DAY bank"},
        KeyCase{0xA2, "<- 0xA2 key NIGHT: running the NIGHT bank"}, KeyCase{0xA4, "<- 0xA4 key ENABLE: alarm enabled"},
        KeyCase{0xA5, "<- 0xA5 key DISABLE: alarm disabled"}, KeyCase{0xA8, "<- 0xA8 key CLEAR: alarms cleared"},
        KeyCase{0xB0, "<- 0xB0 key EXIT"}, KeyCase{0xB4, "<- 0xB4 key DOWN"}, KeyCase{0xB5, "<- 0xB5 key UP"},
        KeyCase{0xB6, "<- 0xB6 key LEFT (QT-MX)"}, KeyCase{0xB7, "<- 0xB7 key RIGHT (QT-MX)"},
        KeyCase{0xBD, "<- 0xBD key LOG"}, KeyCase{0xB3, "<- 0xB3 key end of address selection (no effect on a QT-1RX)"},
        KeyCase{0x25, "<- address 0x25 (no effect on a QT-1RX)"},
        KeyCase{0xBC, "<- 0xBC acknowledgement outside an upload, ignored"},
        KeyCase{0xD5, "<- 0xD5 outside a download frame, ignored"}, KeyCase{0x80, "<- 0x80 unknown command, ignored"}),
    [](const testing::TestParamInfo<KeyCase>& p) { return "byte" + HexByte(p.param.byte).substr(2); });

TEST(AlarmKey, loneTransferOpening_isTheAlarmKeyOnceItsPauseHasPassed) {
  UnitHarness h;
  h.Send({0x98});
  h.RunFor(TransferSession::kOpeningPauseMs - 100);
  EXPECT_FALSE(h.Logged("<- 0x98 key ALARM"));
  h.RunFor(100);
  EXPECT_TRUE(h.Logged("<- 0x98 key ALARM"));
}

TEST(AlarmKey, transferOpeningFollowedByAKey_isAlarmThenThatKey) {
  UnitHarness h;
  h.Send({0x98, 0xA2});
  ASSERT_GE(h.log.size(), 2u);
  EXPECT_EQ(std::vector<std::string>(h.log.begin(), h.log.begin() + 2),
            (std::vector<std::string>{"<- 0x98 key ALARM", "<- 0xA2 key NIGHT: running the NIGHT bank"}));
}

TEST(AlarmKey, twoTransferOpenings_areNoKey) {
  UnitHarness h;
  h.Send({0x98, 0x98}, 500);
  EXPECT_EQ(h.log, (std::vector<std::string>{"<- 98 98 transfer opening"}));
  EXPECT_TRUE(h.unit.InTransfer());
}

// ---- QT-MX address selection --------------------------------------------------

struct SelectionCase {
  const char* name;
  std::vector<std::uint8_t> bytes;
  bool answers;
};

class QtMxSelection : public testing::TestWithParam<SelectionCase> {};

TEST_P(QtMxSelection, onlyTheSelectedAddressAnswers) {
  UnitHarness h(QuietConfig(UnitModel::QtMx), Factory(0x25));
  h.Send(GetParam().bytes);
  h.sent.clear();
  h.Send({0xBA});
  h.RunFor(1000);
  EXPECT_EQ(h.unit.Selected(), GetParam().answers);
  EXPECT_EQ(h.sent.size(), GetParam().answers ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Bytes, QtMxSelection,
                         testing::Values(SelectionCase{"fresh", {}, false},
                                         SelectionCase{"firstSelect", {0x25, 0x25, 0xB3}, true},
                                         SelectionCase{"select", {0x25, 0xB3}, true},
                                         SelectionCase{"spinnerThenSelect", {0x20, 0x25, 0xB3}, true},
                                         SelectionCase{"otherAddress", {0x26, 0xB3}, false},
                                         SelectionCase{"selectThenOther", {0x25, 0xB3, 0x26, 0xB3}, false},
                                         SelectionCase{"addressWithoutEnd", {0x25}, false},
                                         SelectionCase{"selectThenUnaddress", {0x25, 0xB3, 0xA0}, false}),
                         [](const testing::TestParamInfo<SelectionCase>& p) { return std::string(p.param.name); });

TEST(QtMxSelection, unselectedUnit_ignoresKeys) {
  UnitHarness h(QuietConfig(UnitModel::QtMx), Factory(0x25));
  h.Send({0xA2});
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Day);
  EXPECT_TRUE(h.Logged("<- 0xA2 key NIGHT: unit not selected, ignored"));
  h.Send({0x25, 0xB3, 0xA2});
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Night);
  EXPECT_TRUE(h.Logged("<- 0xB3 key end of address selection: 0x25, this unit selected"));
}

TEST(QtMxSelection, uploadNamesItsOwnAddress_selectedOrNot) {
  UnitHarness h(QuietConfig(UnitModel::QtMx), Factory(0x25));
  h.Send(UploadOpening(0x25));
  EXPECT_EQ(h.sent.size(), 1u);
}

}  // namespace
}  // namespace koral::emu::test
