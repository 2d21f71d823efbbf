// Which device each of COM1..COM6 addresses on this PC, and how to tell the user.
//
// KORAL_COMn (n = 1..6), when set, names the device of COMn (any path, such as a
// pseudo-terminal of the unit emulator; an empty value leaves COMn without one).
// Otherwise COMn is the Windows port of that name, and elsewhere the n-th entry
// of the system's port list: USB adapters first, then on-board ports, each group
// in natural order (ttyUSB2 before ttyUSB10).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"

namespace koral {

struct PortDevice {
  std::string device;  // empty when the port has none
  std::string origin;  // how the device was chosen, for the user
  friend bool operator==(const PortDevice&, const PortDevice&) = default;
};

using PortDevices = std::array<PortDevice, SerialPorts::kCount>;
using PortOverrides = std::array<std::optional<std::string>, SerialPorts::kCount>;

// "COM1".."COM6".
std::string PortName(int number);

// The environment's choices first, the rest from the ports the system lists
// (device paths such as "/dev/ttyUSB0"); paths of other kinds are not used.
PortDevices AssignPortDevices(const PortOverrides& overrides, const std::vector<std::string>& available);

// The devices for this run, from KORAL_COMn and the operating system.
PortDevices FindPortDevices();

// One line per port: "COM1 = /dev/ttyUSB0 (USB serial, from the port list)",
// "COM2 = /tmp/x (from KORAL_COM2)", "COM3 = (none)".
std::vector<std::string> DescribePorts(const PortDevices& devices);
std::vector<std::string> DescribePorts();

}  // namespace koral
