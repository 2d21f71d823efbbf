// Exit codes of koralctl; scripts rely on them.
#pragma once

namespace koralctl {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitLinkFailure = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitFileError = 3;

}  // namespace koralctl
