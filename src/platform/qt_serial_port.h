// The serial ports COM1..COM6 over Qt's QSerialPort.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "link/serial_port.h"
#include "platform/deferred_call.h"
#include "platform/serial_port_names.h"

class QSerialPort;

namespace koral {

// "COM1 (/dev/ttyUSB0): Permission denied", with advice on how to get access
// when the system refused it.
std::string SerialErrorText(const std::string& portName, const std::string& device, const std::string& reason,
                            bool permissionDenied);

// One port, bound to one device (or none) for the whole run.
//
// Writes leave at once, not when the event loop next runs, so that the
// protocol's waits between bytes hold on the line. A read takes what the system
// has received up to that moment, also while a blocking wait has kept the event
// loop from collecting it, and bytes a read leaves behind get a notification of
// their own once the running handler has returned. When the device goes away
// under an open port (a USB adapter pulled out, the other end of a
// pseudo-terminal closed) the port closes itself; the link's heartbeat then
// reports the silent unit. A line full of noise overruns a bounded input
// buffer, which is then emptied, so neither memory nor the backlog grows.
class QtSerialPort final : public SerialPort {
 public:
  QtSerialPort(std::string name, std::string device);
  ~QtSerialPort() override;
  QtSerialPort(const QtSerialPort&) = delete;
  QtSerialPort& operator=(const QtSerialPort&) = delete;

  bool SetBaudRate(int baud) override;
  bool IsOpen() const override;
  bool Open() override;
  void Close() override;
  void SetDtr(bool on) override;
  bool Write(std::span<const std::uint8_t> bytes) override;
  ByteString Read(std::size_t max) override;
  std::string ErrorText() const override;
  void SetReceiveHandler(std::function<void()> handler) override;

  const std::string& Name() const { return name_; }
  const std::string& Device() const { return device_; }
  // Bytes received and not read yet.
  std::size_t BytesWaiting() const;

 private:
  // Runs the receive handler unless this port is collecting bytes itself.
  void Notify();
  // Moves what the system holds into the port's buffer without notifying.
  void CollectWaitingBytes();
  // One more notification after the running handler, for bytes left unread.
  void NotifyAgainLater();
  void OnError();
  void Fail(const std::string& reason, bool permissionDenied = false);

  std::string name_;
  std::string device_;
  std::unique_ptr<QSerialPort> port_;
  std::optional<bool> dtr_;
  bool dtrUnsupported_ = false;  // the open device has no DTR line (a pseudo-terminal)
  bool closePending_ = false;
  bool collecting_ = false;
  std::string errorText_;
  std::function<void()> onReceive_;
  DeferredCall notifyAgain_;
  DeferredCall closeLater_;
};

class QtSerialPorts final : public SerialPorts {
 public:
  // The devices from KORAL_COMn and the system's port list.
  QtSerialPorts();
  explicit QtSerialPorts(const PortDevices& devices);

  SerialPort& Port(int number) override;
  QtSerialPort& QtPort(int number);
  const PortDevices& Devices() const { return devices_; }
  // One line per port, as DescribePorts.
  std::vector<std::string> Describe() const { return DescribePorts(devices_); }

 private:
  PortDevices devices_;
  std::array<std::unique_ptr<QtSerialPort>, kCount> ports_;
};

}  // namespace koral
