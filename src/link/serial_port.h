// A serial port as the link needs it. The platform layer adapts the real
// ports; tests use an in-memory fake.
#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string>

#include "link/byte_string.h"

namespace koral {

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Line settings: the speed, no parity, 8 data bits, 1 stop bit.
  virtual bool SetBaudRate(int baud) = 0;
  virtual bool IsOpen() const = 0;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // DTR may be switched whether the port is open or not; failures are ignored.
  virtual void SetDtr(bool on) = 0;
  virtual bool Write(std::span<const std::uint8_t> bytes) = 0;
  // One read of at most `max` bytes of what has arrived; empty when nothing has.
  virtual ByteString Read(std::size_t max) = 0;
  // The platform's description of the last failure.
  virtual std::string ErrorText() const = 0;
  // Called on the user-interface thread when bytes have arrived.
  virtual void SetReceiveHandler(std::function<void()> handler) = 0;
};

// The six ports COM1..COM6, each bound to one device for the whole run.
class SerialPorts {
 public:
  static constexpr int kCount = 6;
  virtual ~SerialPorts() = default;
  virtual SerialPort& Port(int number) = 0;  // 1..6
};

}  // namespace koral
