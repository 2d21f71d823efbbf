// Saved settings files reach the disk before they replace the old ones: a power
// cut right after a save leaves the old file or the new one, never an empty one.
#pragma once

#include "model/file_sync.h"

namespace koral {

class SystemFileSync final : public FileSync {
 public:
  bool SyncFile(const std::filesystem::path& file) override;
  void SyncFolder(const std::filesystem::path& folder) override;
};

}  // namespace koral
