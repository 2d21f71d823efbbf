// What the settings window asks of the link, implemented by the link layer.
#pragma once

namespace koral {

class SettingsWindowLink {
 public:
  virtual ~SettingsWindowLink() = default;

  // The unit is about to run at another speed (position 0..5 of the speed
  // list): the serial link follows it on the same COM port.
  virtual void FollowUnitBaudRate(int position) = 0;

  // The status request that follows File > Open and Save: re-arm the socket on
  // the network link, then 0xBA.
  virtual void RequestStatus() = 0;
};

}  // namespace koral
