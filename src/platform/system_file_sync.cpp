#include "platform/system_file_sync.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace koral {

#ifdef _WIN32

bool SystemFileSync::SyncFile(const std::filesystem::path& file) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(handle) != 0;
  CloseHandle(handle);
  return flushed;
}

// NTFS journals a rename itself.
void SystemFileSync::SyncFolder(const std::filesystem::path&) {}

#else

namespace {

bool SyncPath(const std::filesystem::path& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace

// fsync on any descriptor of the file writes out all of its data.
bool SystemFileSync::SyncFile(const std::filesystem::path& file) {
  return SyncPath(file, O_RDONLY);
}

// Without it the rename may still be only in memory when the power goes; a
// folder that cannot be synced leaves the save as good as it was without.
void SystemFileSync::SyncFolder(const std::filesystem::path& folder) {
  SyncPath(folder, O_RDONLY | O_DIRECTORY);
}

#endif

}  // namespace koral
