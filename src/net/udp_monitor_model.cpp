#include "net/udp_monitor_model.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace koral {
namespace {

std::string Reason(int error, std::string_view fallback) {
  return error != 0 ? std::generic_category().message(error) : std::string(fallback);
}

}  // namespace

std::optional<std::string> SaveMonitorText(const std::filesystem::path& path, std::string_view text) {
  const auto fail = [&](int error, std::string_view fallback) {
    return std::optional<std::string>(path.string() + " cannot be saved: " + Reason(error, fallback));
  };
  errno = 0;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return fail(errno, "it cannot be created");
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (!out) return fail(errno, "write error");
  out.close();
  if (!out) return fail(errno, "write error");
  return std::nullopt;
}

UdpMonitorModel::UdpMonitorModel(Mailboxes& mailboxes, bool& videoLost, Transport& transport)
    : mailboxes_(mailboxes), videoLost_(videoLost), transport_(transport) {}

void UdpMonitorModel::Show() {
  EnsureLoaded();
  visible_ = true;
}

void UdpMonitorModel::EnsureLoaded() {
  if (loaded_) return;
  loaded_ = true;
  transport_.RegisterWithBridge();
}

void UdpMonitorModel::OnEvent() {
  recievedata(mailboxes_, decoded_);
  if (decoded_.lines.empty()) return;
  EnsureLoaded();
  display_.PrependBlock(decoded_.lines);
  if (decoded_.videoLost) videoLost_ = *decoded_.videoLost;
}

}  // namespace koral
