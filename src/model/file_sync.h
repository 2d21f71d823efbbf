// Forcing written bytes onto the disk is an operating-system call, which this
// core does not make: the program hands in an implementation.
#pragma once

#include <filesystem>

namespace koral {

class FileSync {
 public:
  virtual ~FileSync() = default;
  // Every byte written so far to `file` is on the disk when this returns true.
  virtual bool SyncFile(const std::filesystem::path& file) = 0;
  // The entries of `folder` (a file just renamed into it) are on the disk.
  virtual void SyncFolder(const std::filesystem::path& folder) = 0;
};

}  // namespace koral
