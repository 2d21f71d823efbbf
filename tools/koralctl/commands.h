// The commands of koralctl, each taking the words after its own name.
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace koralctl {

struct CommandStreams {
  std::ostream& out;
  std::ostream& err;
};

int RunShow(std::span<const std::string_view> args, CommandStreams io);
int RunDiff(std::span<const std::string_view> args, CommandStreams io);

}  // namespace koralctl
