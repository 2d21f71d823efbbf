// The commands of koralctl, each taking the words after its own name.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace koralctl {

struct CommandStreams {
  std::ostream& out;
  std::ostream& err;
  // Progress goes to `err` only when a person watches it.
  bool errIsTerminal = false;
};

int RunShow(std::span<const std::string_view> args, CommandStreams io);
int RunDiff(std::span<const std::string_view> args, CommandStreams io);

// The commands that talk to a unit; they need a Qt event loop (a
// QCoreApplication) to run on.
int RunUpload(std::span<const std::string_view> args, CommandStreams io);
int RunDownload(std::span<const std::string_view> args, CommandStreams io);
int RunMonitor(std::span<const std::string_view> args, CommandStreams io);
int RunKeys(std::span<const std::string_view> args, CommandStreams io);
int RunSetIp(std::span<const std::string_view> args, CommandStreams io);
int RunGetIp(std::span<const std::string_view> args, CommandStreams io);

}  // namespace koralctl
