// The disk sync that saves rely on: it works on a file and its folder, and says
// so when the file is not there to sync.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "model/settings_file.h"
#include "platform/system_file_sync.h"

namespace koral {
namespace {

TEST(SystemFileSync, syncsAFileAndSaysWhenThereIsNone) {
  const auto folder = std::filesystem::temp_directory_path();
  const auto file = folder / ("koral-file-sync-" + std::to_string(std::random_device{}()) + ".txt");
  std::ofstream(file) << "x";
  SystemFileSync sync;
  EXPECT_TRUE(sync.SyncFile(file));
  sync.SyncFolder(folder);
  std::filesystem::remove(file);
  EXPECT_FALSE(sync.SyncFile(file));
  // A whole save through it.
  EXPECT_FALSE(WriteSettingsFile(file, SettingsImage{}, &sync));
  EXPECT_TRUE(std::filesystem::is_regular_file(file));
  std::filesystem::remove(file);
}

}  // namespace
}  // namespace koral
