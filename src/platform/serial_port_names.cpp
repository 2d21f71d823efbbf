#include "platform/serial_port_names.h"

#include <QSerialPortInfo>
#include <QtGlobal>
#include <algorithm>
#include <cctype>
#include <span>
#include <string_view>

namespace koral {
namespace {

constexpr std::string_view kUsbPrefixes[] = {"ttyUSB", "ttyACM", "cu.usbserial", "cu.usbmodem"};
constexpr std::string_view kOnBoardPrefixes[] = {"ttyS"};

enum class PortKind { Usb, OnBoard, Other };

std::string_view FileName(std::string_view path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool StartsWithAny(std::string_view name, std::span<const std::string_view> prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(), [name](std::string_view p) { return name.starts_with(p); });
}

PortKind KindOf(std::string_view path) {
  const std::string_view name = FileName(path);
  if (StartsWithAny(name, kUsbPrefixes)) return PortKind::Usb;
  if (StartsWithAny(name, kOnBoardPrefixes)) return PortKind::OnBoard;
  return PortKind::Other;
}

// "/dev/ttyUSB10" splits into "/dev/ttyUSB" and "10", so that ttyUSB2 can sort first.
struct NaturalKey {
  std::string_view stem;
  std::string_view number;  // without leading zeros

  explicit NaturalKey(std::string_view path) {
    std::size_t digits = path.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(path[digits - 1])) != 0)
      --digits;
    stem = path.substr(0, digits);
    number = path.substr(digits);
    number.remove_prefix(std::min(number.find_first_not_of('0'), number.size()));
  }
};

bool NaturalLess(const std::string& a, const std::string& b) {
  const NaturalKey keyA(a);
  const NaturalKey keyB(b);
  if (keyA.stem != keyB.stem) return keyA.stem < keyB.stem;
  if (keyA.number.size() != keyB.number.size()) return keyA.number.size() < keyB.number.size();
  if (keyA.number != keyB.number) return keyA.number < keyB.number;
  return a < b;
}

std::string EnvironmentName(int number) {
  return "KORAL_COM" + std::to_string(number);
}

}  // namespace

std::string PortName(int number) {
  return "COM" + std::to_string(number);
}

PortDevices AssignPortDevices(const PortOverrides& overrides, const std::vector<std::string>& available) {
  std::vector<std::string> usb;
  std::vector<std::string> onBoard;
  for (const std::string& path : available) {
    switch (KindOf(path)) {
      case PortKind::Usb:
        usb.push_back(path);
        break;
      case PortKind::OnBoard:
        onBoard.push_back(path);
        break;
      case PortKind::Other:
        break;
    }
  }
  std::sort(usb.begin(), usb.end(), NaturalLess);
  std::sort(onBoard.begin(), onBoard.end(), NaturalLess);
  usb.erase(std::unique(usb.begin(), usb.end()), usb.end());
  onBoard.erase(std::unique(onBoard.begin(), onBoard.end()), onBoard.end());

  PortDevices devices;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    if (overrides[i]) {
      devices[i] = {*overrides[i], "from " + EnvironmentName(number)};
    } else if (i < usb.size()) {
      devices[i] = {usb[i], "USB serial, from the port list"};
    } else if (i < usb.size() + onBoard.size()) {
      devices[i] = {onBoard[i - usb.size()], "serial port, from the port list"};
    }
  }
  return devices;
}

PortDevices FindPortDevices() {
  PortOverrides overrides;
  for (std::size_t i = 0; i < overrides.size(); ++i) {
    const std::string name = EnvironmentName(static_cast<int>(i) + 1);
    if (qEnvironmentVariableIsSet(name.c_str())) overrides[i] = qEnvironmentVariable(name.c_str()).toStdString();
  }
#ifdef Q_OS_WIN
  PortDevices devices = AssignPortDevices(overrides, {});
  for (std::size_t i = 0; i < devices.size(); ++i) {
    if (!overrides[i]) devices[i] = {PortName(static_cast<int>(i) + 1), "Windows port name"};
  }
  return devices;
#else
  std::vector<std::string> available;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    available.push_back(info.systemLocation().toStdString());
  return AssignPortDevices(overrides, available);
#endif
}

std::vector<std::string> DescribePorts(const PortDevices& devices) {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const PortDevice& port = devices[i];
    std::string line = PortName(static_cast<int>(i) + 1) + " = ";
    if (port.device.empty()) {
      line += "(none)";
    } else {
      line += port.device + " (" + port.origin + ")";
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<std::string> DescribePorts() {
  return DescribePorts(FindPortDevices());
}

}  // namespace koral
