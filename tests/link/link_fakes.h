// In-memory stand-ins for the clock, the serial ports and the UDP socket. They
// run on virtual time and record every byte with the moment it left.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "link/clock.h"
#include "link/serial_port.h"
#include "link/udp_socket.h"

namespace koral::testing_support {

class FakeClock : public Clock {
 public:
  std::int64_t NowMs() const override { return now; }
  void Sleep(int ms) override {
    sleeps.push_back(ms);
    now += ms;
    if (auto arrive = std::exchange(onSleep, nullptr)) arrive();
  }
  void Advance(std::int64_t ms) { now += ms; }

  std::int64_t now = 0;
  std::vector<int> sleeps;
  std::function<void()> onSleep;  // once, at the next wait: bytes arriving while the receiver waits
};

struct SentBytes {
  std::int64_t atMs;
  ByteString bytes;
  friend bool operator==(const SentBytes&, const SentBytes&) = default;
};

class FakeSerialPort : public SerialPort {
 public:
  explicit FakeSerialPort(const Clock& clock) : clock_(clock) {}

  bool SetBaudRate(int rate) override {
    baud = rate;
    return true;
  }
  bool IsOpen() const override { return open; }
  bool Open() override {
    ++openCount;
    if (failOpen) {
      error = "Access is denied.";
      return false;
    }
    open = true;
    return true;
  }
  void Close() override { open = false; }
  void SetDtr(bool on) override { dtr.push_back(on); }
  bool Write(std::span<const std::uint8_t> bytes) override {
    written.push_back({clock_.NowMs(), ByteString(bytes.begin(), bytes.end())});
    return open;
  }
  ByteString Read(std::size_t max) override {
    ByteString chunk;
    while (!incoming.empty() && chunk.size() < max) {
      chunk.push_back(incoming.front());
      incoming.pop_front();
    }
    return chunk;
  }
  std::string ErrorText() const override { return error; }
  void SetReceiveHandler(std::function<void()> handler) override { onReceive = std::move(handler); }

  // Bytes from the unit; the notification fires when asked to.
  void Feed(const ByteString& bytes, bool notify = true) {
    incoming.insert(incoming.end(), bytes.begin(), bytes.end());
    if (notify && onReceive) onReceive();
  }
  // Every byte written, in order, without times.
  ByteString WrittenBytes() const {
    ByteString all;
    for (const auto& w : written)
      all.insert(all.end(), w.bytes.begin(), w.bytes.end());
    return all;
  }

  int baud = 0;
  bool open = false;
  bool failOpen = false;
  int openCount = 0;
  std::string error;
  std::vector<bool> dtr;
  std::vector<SentBytes> written;
  std::deque<std::uint8_t> incoming;
  std::function<void()> onReceive;

 private:
  const Clock& clock_;
};

class FakeSerialPorts : public SerialPorts {
 public:
  explicit FakeSerialPorts(const Clock& clock) {
    for (auto& port : ports_)
      port = std::make_unique<FakeSerialPort>(clock);
  }
  SerialPort& Port(int number) override { return *ports_[static_cast<std::size_t>(number - 1)]; }
  FakeSerialPort& Fake(int number) { return *ports_[static_cast<std::size_t>(number - 1)]; }

 private:
  std::array<std::unique_ptr<FakeSerialPort>, kCount> ports_;
};

class FakeUdpSocket : public UdpSocket {
 public:
  explicit FakeUdpSocket(const Clock& clock) : clock_(clock) {}

  void Close() override {
    ++closes;
    events += 'R';
  }
  void SetLocalPort(std::uint16_t port) override { localPort = port; }
  void SetRemote(const std::string& host, std::uint16_t port) override {
    remoteHost = host;
    remotePort = port;
  }
  void Send(std::span<const std::uint8_t> bytes) override {
    sent.push_back({clock_.NowMs(), ByteString(bytes.begin(), bytes.end())});
    events += 'd';
  }
  std::string LocalAddress() const override { return localAddress; }
  std::uint16_t LocalPort() const override { return localPort; }
  void SetDatagramHandler(std::function<void(const Datagram&)> handler) override { onDatagram = std::move(handler); }

  void Deliver(const ByteString& bytes, const std::string& from, std::uint16_t port = kBridgePort) {
    if (onDatagram) onDatagram({bytes, from, port});
  }
  // The unit bytes carried by data-byte datagrams (01 FE 19 FF b 00 00 00), in order.
  ByteString UnitBytes() const {
    ByteString bytes;
    for (const auto& d : sent) {
      if (d.bytes.size() == 8 && d.bytes[0] == 0x01 && d.bytes[1] == 0xFE && d.bytes[2] == 0x19)
        bytes.push_back(d.bytes[4]);
    }
    return bytes;
  }

  int closes = 0;
  std::string events;  // re-arms ('R', the close that starts one) and datagrams ('d') in order
  std::uint16_t localPort = 0;
  std::string remoteHost;
  std::uint16_t remotePort = 0;
  std::string localAddress = "192.168.0.10";
  std::vector<SentBytes> sent;
  std::function<void(const Datagram&)> onDatagram;

 private:
  const Clock& clock_;
};

class FakeHardwareAddresses : public HardwareAddressLookup {
 public:
  std::optional<HardwareAddress> Lookup(const std::string& ipv4) const override {
    lookedUp = ipv4;
    return address;
  }
  std::optional<HardwareAddress> address = HardwareAddress{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  mutable std::string lookedUp;
};

}  // namespace koral::testing_support
