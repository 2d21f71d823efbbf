#include "platform/system_hardware_addresses.h"

#include <QHostAddress>
#include <QNetworkInterface>
#include <QStringList>
#include <algorithm>

namespace koral {

std::optional<HardwareAddress> ParseHardwareAddress(const std::string& text) {
  const QStringList parts = QString::fromStdString(text).split(QLatin1Char(':'));
  HardwareAddress address{};
  if (parts.size() != static_cast<qsizetype>(address.size())) return std::nullopt;
  for (std::size_t i = 0; i < address.size(); ++i) {
    const QString& part = parts[static_cast<qsizetype>(i)];
    bool ok = false;
    const uint value = part.toUInt(&ok, 16);
    if (!ok || part.size() != 2 || value > 0xFF) return std::nullopt;
    address[i] = static_cast<std::uint8_t>(value);
  }
  if (std::all_of(address.begin(), address.end(), [](std::uint8_t b) { return b == 0; })) return std::nullopt;
  return address;
}

std::optional<HardwareAddress> SystemHardwareAddresses::Lookup(const std::string& ipv4) const {
  const QHostAddress wanted(QString::fromStdString(ipv4));
  if (wanted.protocol() != QAbstractSocket::IPv4Protocol) return std::nullopt;
  for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
    const auto entries = interface.addressEntries();
    const bool owns = std::any_of(entries.begin(), entries.end(), [&wanted](const QNetworkAddressEntry& entry) {
      return entry.ip().isEqual(wanted, QHostAddress::ConvertV4MappedToIPv4);
    });
    if (!owns) continue;
    if (interface.flags().testFlag(QNetworkInterface::IsLoopBack)) return std::nullopt;
    return ParseHardwareAddress(interface.hardwareAddress().toStdString());
  }
  return std::nullopt;
}

}  // namespace koral
