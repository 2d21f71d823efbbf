// The state every window shares for the whole run: how the unit is reached,
// which unit it is, and the two register banks. One object, passed to whoever
// needs it; nothing lives in globals.
#pragma once

#include "link/mailboxes.h"
#include "link/transfer_state.h"
#include "model/defaults.h"
#include "model/file_sync.h"
#include "model/register_bank.h"
#include "model/unit_profile.h"

namespace koral {

struct Session {
  LinkMode linkMode = LinkMode::Serial;
  UnitModel unitModel = UnitModel::Qt1Rx;
  VideoStandard videoStandard = VideoStandard::Ntsc;
  int linkBaudIndex = 0;   // 0..5, see kLinkBaudRates
  bool offline = false;    // the user chose to work without a unit
  bool videoLost = false;  // the unit last reported a lost video signal
  RegisterBanks banks;
  Mailboxes mailboxes;
  TransferState transfer;
  FileSync* fileSync = nullptr;  // forces saved files onto the disk; the program sets it

  DefaultsContext Defaults() const { return {videoStandard, linkMode, linkBaudIndex}; }
};

// The banks as the settings window has them right after it loads.
void LoadFactorySettings(Session& session);

}  // namespace koral
