// Factory defaults of a bank and of the motion parameter sets.
#pragma once

#include "model/register_bank.h"
#include "model/unit_profile.h"

namespace koral {

// What the defaults depend on, as chosen in the connection windows.
struct DefaultsContext {
  VideoStandard video = VideoStandard::Ntsc;
  LinkMode link = LinkMode::Serial;
  int linkBaudIndex = 0;  // written into the unit's baud-rate register
};

MotionParameterSet DefaultNormalParameterSet();
MotionParameterSet DefaultPtzParameterSet();

// Fills all four parameter sets of both banks with the defaults, then loads the
// active bank's registers 46..77 from its set.
void SetDefaultMotionParameterSets(RegisterBanks& banks);

// Writes every default of the active bank through WriteRegister, so shared
// registers reach the other bank too. The unit address is never written.
void LoadDefaults(RegisterBanks& banks, const DefaultsContext& context);

// Window load: NIGHT then DAY defaults, DAY left active, nothing modified yet.
void LoadFactorySettings(RegisterBanks& banks, const DefaultsContext& context);

}  // namespace koral
