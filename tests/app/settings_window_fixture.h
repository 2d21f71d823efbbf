// A settings window model over a fresh session, with a link and a clock that
// only record and answer what the tests set.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "app/session.h"
#include "app/settings_window_model.h"

namespace koral::testing_support {

class RecordingLink : public SettingsWindowLink {
 public:
  void FollowUnitBaudRate(int position) override { followedSpeeds.push_back(position); }
  void RequestStatus() override { ++statusRequests; }

  std::vector<int> followedSpeeds;
  int statusRequests = 0;
};

class FixedClock : public WallClock {
 public:
  LocalTime Now() const override { return now; }
  LocalTime now;
};

class SettingsWindowTest : public ::testing::Test {
 protected:
  // A window as the connection window leaves it: loaded and activated.
  void Open(UnitModel model = UnitModel::Qt1Rx, VideoStandard video = VideoStandard::Ntsc,
            LinkMode linkMode = LinkMode::Serial, int baudIndex = 2) {
    session.unitModel = model;
    session.videoStandard = video;
    session.linkMode = linkMode;
    session.linkBaudIndex = baudIndex;
    window.Load();
    window.Activate(false);
  }

  int Read(RegisterAddress address) const { return session.banks.ReadRegister(address); }
  int ReadBank(BankId bank, RegisterAddress address) const { return ReadRegister(session.banks.Bank(bank), address); }
  // Writes a register of one bank directly, as an upload or a file would.
  void Poke(BankId bank, RegisterAddress address, int value) {
    const BankId active = session.banks.ActiveBank();
    session.banks.SetActiveBank(bank);
    session.banks.WriteRegister(address, static_cast<std::uint8_t>(value));
    session.banks.SetActiveBank(active);
  }
  static int List(std::string_view control) { return SettingsWindowModel::ListIndex(control); }
  static int Number(std::string_view control) { return SettingsWindowModel::NumberIndex(control); }

  Session session;
  RecordingLink link;
  FixedClock clock;
  SettingsWindowModel window{session, link, clock};
};

}  // namespace koral::testing_support
