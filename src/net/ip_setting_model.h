// The IP address tool: over a serial cable at 4800 baud it writes a new IPv4
// address into a network unit and reads back the one present. Two windows,
// both captioned "IP Address Setting": the port chooser (setIP) and the
// address window (setIPAdd). Its bytes go straight to the port, paced 10 ms
// apart, without the DTR toggling of the settings link.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/byte_string.h"
#include "link/clock.h"
#include "link/transport.h"

namespace koral {

using IpOctets = std::array<std::uint8_t, 4>;

inline constexpr std::uint8_t kIpWriteKind = 0x10;
// An octet of 3 cannot travel inside a frame; it goes as these four bytes.
inline constexpr std::array<std::uint8_t, 4> kIpEscapedThree = {0x00, 0x1F, 0x2F, 0x3F};
inline constexpr std::array<std::uint8_t, 6> kIpQueryMessage = {0x01, 0x0F, 0xD3, 0xE6, 0xFF, 0x03};

// The four octets of an address text: fields split at ".", blanks and line
// ends around a field ignored, a field that is not a decimal byte 0..255 and a
// missing field give 0, fields after the fourth are ignored.
IpOctets ParseIpOctets(std::string_view text);

// The address part of the write message: the four octets, 3 escaped.
ByteString Setmacaddress(const IpOctets& octets);
// 01 10, Setmacaddress, 03.
ByteString IpWriteMessage(const IpOctets& octets);

// Received bytes as decimal numbers joined by "." ("192.168.0.100").
std::string FormatIpReply(const ByteString& bytes);

inline constexpr std::string_view kIpToolCaption = "IP Address Setting";
inline constexpr int kIpToolBaud = 4800;

// setIP: item i opens COM(i + 1) at 4800.
inline constexpr std::array<std::string_view, SerialPorts::kCount> kIpPortEntries = {
    "Com1 4800,n,8,1", "Com2 4800,n,8,1", "Com3 4800,n,8,1", "Com4 4800,n,8,1", "Com5 4800,n,8,1", "Com6 4800,n,8,1",
};

// setIPAdd, the address window.
class IpAddressModel {
 public:
  static constexpr std::string_view kCaption = kIpToolCaption;
  static constexpr std::string_view kPrompt = "Please Insert IP Address ";    // Label1
  static constexpr std::string_view kSetIp = "Set_IP";                        // Command4
  static constexpr std::string_view kPresentLabel = "IP Address Present =>";  // Label3
  static constexpr std::string_view kStartText = "192.168.0.100\r\n";
  static constexpr std::size_t kMaxAddressCharacters = 15;
  static constexpr int kReadBackMs = 1000;  // Timer1, one-shot
  static constexpr int kByteGapMs = 10;     // after every byte, written or not
  static constexpr std::size_t kReadLimit = 30;

  IpAddressModel(Transport& transport, Clock& clock);

  // Shows the window, loading it first: on load the read-back timer starts.
  void Show();
  bool Visible() const { return visible_; }
  // Every activation: the present address is cleared and asked for again. The
  // timer is not restarted, so the answer waits for its next run.
  void Activate();

  // txtdisplay: the new address as typed, at most 15 characters.
  const std::string& AddressText() const { return addressText_; }
  void SetAddressText(std::string_view text);

  // "Set_IP": the write message, then the query, then the timer once more.
  // Nothing happens while the address text is empty.
  void SetIp();

  // txtDisp: the address the unit answered with.
  const std::string& PresentAddress() const { return presentAddress_; }

  // The one-shot read-back timer: 0 = stopped. StartedAtMs tells a restart at
  // the same period apart.
  int TimerPeriodMs() const { return timerPeriodMs_; }
  std::int64_t TimerStartedAtMs() const { return timerStartedAtMs_; }
  // Reads every byte waiting on the send port, shows them and stops the timer.
  void TimerTick();

 private:
  // SerialOut1: the byte to the send port if one was opened, then 10 ms.
  void SerialOut(std::uint8_t byte);
  template <typename Bytes>
  void SerialOutAll(const Bytes& bytes) {
    for (const std::uint8_t byte : bytes)
      SerialOut(byte);
  }
  void StartTimer();

  Transport& transport_;
  Clock& clock_;
  bool loaded_ = false;
  bool visible_ = false;
  std::string addressText_{kStartText};
  std::string presentAddress_;
  int timerPeriodMs_ = 0;
  std::int64_t timerStartedAtMs_ = 0;
};

struct PortOpenFailure {
  std::string title;  // "KORAL"
  std::string text;   // the platform's description
  friend bool operator==(const PortOpenFailure&, const PortOpenFailure&) = default;
};

// setIP, the port chooser.
class IpPortModel {
 public:
  static constexpr std::string_view kCaption = kIpToolCaption;
  static constexpr std::string_view kPrompt = "Please Select Comport";  // Label31
  static constexpr std::string_view kErrorTitle = "KORAL";

  IpPortModel(Transport& transport, IpAddressModel& addressWindow);

  bool Visible() const { return visible_; }
  // cmbSelectcom
  static std::span<const std::string_view> Entries() { return kIpPortEntries; }
  std::optional<int> Selection() const { return selection_; }
  // Opens the item's port at 4800, hides this window and shows the address
  // window, also when the port failed: the failure comes back to be shown
  // first, in a message box with an OK button.
  std::optional<PortOpenFailure> Choose(int position);

 private:
  Transport& transport_;
  IpAddressModel& addressWindow_;
  std::optional<int> selection_;
  bool visible_ = true;
};

}  // namespace koral
