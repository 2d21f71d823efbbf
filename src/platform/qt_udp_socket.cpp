#include "platform/qt_udp_socket.h"

#include <QHostInfo>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <algorithm>

namespace koral {
namespace {

constexpr int kRouteLookupMs = 1000;

// Dotted IPv4 text, also for an IPv4 address carried as IPv6 (::ffff:a.b.c.d).
std::string DottedAddress(const QHostAddress& address) {
  bool isIpv4 = false;
  const quint32 ipv4 = address.toIPv4Address(&isIpv4);
  return (isIpv4 ? QHostAddress(ipv4) : address).toString().toStdString();
}

// An address as typed, or the first IPv4 address of a host name. Text without
// letters (a mistyped address such as "192.168.0.") is not looked up.
QHostAddress ResolveIpv4(const QString& text) {
  const QHostAddress literal(text);
  if (!literal.isNull()) return literal;
  const bool hasLetter = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
  if (!hasLetter) return {};
  for (const QHostAddress& address : QHostInfo::fromName(text).addresses()) {
    if (address.protocol() == QAbstractSocket::IPv4Protocol) return address;
  }
  return {};
}

}  // namespace

QtUdpSocket::QtUdpSocket() : socket_(std::make_unique<QUdpSocket>()) {
  QObject::connect(socket_.get(), &QUdpSocket::readyRead, socket_.get(), [this] { ReceivePending(); });
}

QtUdpSocket::~QtUdpSocket() {
  QObject::disconnect(socket_.get(), nullptr, nullptr, nullptr);
}

void QtUdpSocket::Close() {
  HoldPending();
  socket_->close();
}

void QtUdpSocket::SetLocalPort(std::uint16_t port) {
  if (port == localPort_) return;
  localPort_ = port;
  Close();  // the next send binds the new port
}

void QtUdpSocket::SetRemote(const std::string& host, std::uint16_t port) {
  remotePort_ = port;
  remote_ = ResolveIpv4(QString::fromStdString(host).trimmed());
  ownAddress_ = LocalAddress();
}

void QtUdpSocket::Send(std::span<const std::uint8_t> bytes) {
  if (remote_.isNull() || !Bind()) return;
  socket_->writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()), remote_,
                         remotePort_);
}

std::string QtUdpSocket::LocalAddress() const {
  if (remote_.isNull()) return {};
  // Connecting a UDP socket sends nothing; it only makes the system pick the
  // route, and with it our address on that route.
  QUdpSocket probe;
  probe.connectToHost(remote_, remotePort_);
  if (probe.state() != QAbstractSocket::ConnectedState && !probe.waitForConnected(kRouteLookupMs)) return {};
  const QHostAddress local = probe.localAddress();
  return local.isNull() ? std::string() : DottedAddress(local);
}

std::uint16_t QtUdpSocket::LocalPort() const {
  return IsBound() ? socket_->localPort() : localPort_;
}

void QtUdpSocket::SetDatagramHandler(std::function<void(const Datagram&)> handler) {
  onDatagram_ = std::move(handler);
  if (onDatagram_) Bind();
}

bool QtUdpSocket::IsBound() const {
  return socket_->state() == QAbstractSocket::BoundState;
}

bool QtUdpSocket::Bind() {
  if (IsBound()) return true;
  if (!socket_->bind(QHostAddress::AnyIPv4, localPort_,
                     QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint)) {
    return false;
  }
  // SetRemote found it already, unless the route was not there yet: every
  // lookup is a socket of its own, and the upload binds anew for each
  // acknowledgement.
  if (ownAddress_.empty()) ownAddress_ = LocalAddress();
  return true;
}

bool QtUdpSocket::Take(Datagram& datagram) {
  const QNetworkDatagram received = socket_->receiveDatagram();
  if (!received.isValid()) return false;
  datagram.senderAddress = DottedAddress(received.senderAddress());
  datagram.senderPort = static_cast<std::uint16_t>(received.senderPort());
  if (datagram.senderPort == LocalPort() && datagram.senderAddress == ownAddress_) return false;  // our own
  const QByteArray data = received.data();
  datagram.bytes.assign(data.begin(), data.end());
  return true;
}

void QtUdpSocket::ReceivePending() {
  // A handler may close the socket (a re-arm): Close() then holds what is
  // still waiting, and this loop ends.
  while (IsBound() && socket_->hasPendingDatagrams()) {
    Datagram datagram;
    if (!Take(datagram) || !onDatagram_) continue;
    const auto handler = onDatagram_;  // the handler may replace itself
    handler(datagram);
  }
}

void QtUdpSocket::HoldPending() {
  while (IsBound() && socket_->hasPendingDatagrams()) {
    Datagram datagram;
    if (Take(datagram)) held_.push_back(std::move(datagram));
  }
  if (!held_.empty()) deliverHeld_.Schedule();
}

void QtUdpSocket::DeliverHeld() {
  std::vector<Datagram> held;
  held.swap(held_);
  for (const Datagram& datagram : held) {
    if (!onDatagram_) return;
    const auto handler = onDatagram_;
    handler(datagram);
  }
}

}  // namespace koral
