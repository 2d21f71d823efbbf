#include "udp_line.h"

#include <QHostAddress>
#include <QNetworkDatagram>

namespace koral::emu {

std::variant<std::unique_ptr<UdpLine>, std::string> UdpLine::Bind(const UdpListen& listen, LogSink log,
                                                                  ByteHandler onByte, UnitBaud unitBaud) {
  std::unique_ptr<UdpLine> line(new UdpLine(std::move(log), std::move(onByte), std::move(unitBaud)));
  // Shared so the emulator can run beside the program on one PC (listening on
  // 127.0.0.2, say, while the program holds 26482 on the other addresses).
  if (!line->socket_.bind(QHostAddress(QString::fromStdString(listen.address)), listen.port,
                          QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
    return listen.address + ":" + std::to_string(listen.port) + ": " + line->socket_.errorString().toStdString();
  }
  return line;
}

UdpLine::UdpLine(LogSink log, ByteHandler onByte, UnitBaud unitBaud)
    : log_(log), onByte_(std::move(onByte)), unitBaud_(std::move(unitBaud)), bridge_(log) {
  QObject::connect(&socket_, &QUdpSocket::readyRead, [this] { ReadDatagrams(); });
}

void UdpLine::ReadDatagrams() {
  while (socket_.hasPendingDatagrams()) {
    const QNetworkDatagram datagram = socket_.receiveDatagram();
    const QByteArray data = datagram.data();
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(data.constData()),
                                              static_cast<std::size_t>(data.size()));
    bool ipv4 = false;
    const quint32 sender = datagram.senderAddress().toIPv4Address(&ipv4);
    const Endpoint from{
        ipv4 ? QHostAddress(sender).toString().toStdString() : datagram.senderAddress().toString().toStdString(),
        static_cast<std::uint16_t>(datagram.senderPort())};
    const auto bridgeBaud = bridge_.Baud();
    if (const auto byte = bridge_.Receive(bytes, from)) onByte_(*byte);
    if (bridge_.Baud() != bridgeBaud) CompareSpeeds();
  }
}

void UdpLine::CompareSpeeds() {
  const auto unit = unitBaud_();
  if (!unit || *unit == bridge_.Baud()) return;
  log_("bridge: its serial side runs at " + std::to_string(*bridge_.Baud()) + " baud, the unit's at " +
       std::to_string(*unit) + ": real hardware would not understand each other (the emulator carries on)");
}

void UdpLine::Write(const Bytes& frame) {
  const auto to = bridge_.Destination();
  if (!to) {
    log_("no PC has spoken to the bridge yet; frame not sent");
    return;
  }
  const QByteArray data(reinterpret_cast<const char*>(frame.data()), static_cast<qsizetype>(frame.size()));
  if (socket_.writeDatagram(data, QHostAddress(QString::fromStdString(to->address)), to->port) < 0) {
    log_("datagram to " + to->address + ":" + std::to_string(to->port) +
         " not sent: " + socket_.errorString().toStdString());
  }
}

}  // namespace koral::emu
