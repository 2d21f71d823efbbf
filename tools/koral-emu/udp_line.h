// The unit behind its serial-to-network bridge, on a UDP socket.
#pragma once

#include <QUdpSocket>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "options.h"
#include "unit/bridge.h"
#include "unit/bytes.h"

namespace koral::emu {

class UdpLine {
 public:
  using ByteHandler = std::function<void(std::uint8_t)>;
  // The speed of the unit's own serial port (Register 39), to compare with the bridge's.
  using UnitBaud = std::function<std::optional<int>()>;

  static std::variant<std::unique_ptr<UdpLine>, std::string> Bind(const UdpListen& listen, LogSink log,
                                                                  ByteHandler onByte, UnitBaud unitBaud);
  std::uint16_t Port() const { return socket_.localPort(); }
  // One frame of the unit as one datagram to the PC.
  void Write(const Bytes& frame);

 private:
  UdpLine(LogSink log, ByteHandler onByte, UnitBaud unitBaud);
  void ReadDatagrams();
  void CompareSpeeds();

  LogSink log_;
  ByteHandler onByte_;
  UnitBaud unitBaud_;
  Bridge bridge_;
  QUdpSocket socket_;
};

}  // namespace koral::emu
