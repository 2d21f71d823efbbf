// Reading and saving settings files, and whole round trips through the text.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "model/defaults.h"
#include "model/settings_file.h"

namespace koral {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Put(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::vector<fs::path> Entries(const fs::path& folder) {
  std::vector<fs::path> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

// The message of a failed save, empty when the save worked.
std::string SaveError(const fs::path& path, const SettingsImage& image) {
  const auto error = WriteSettingsFile(path, image);
  return error ? error->message : std::string();
}

SettingsImage Sample() {
  SettingsImage image{};
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>((i * 37 + 11) % 256);
  return image;
}

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("koral-settings-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(dir_));
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ec)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow, ec);
    }
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_F(SettingsFile, WriteThenRead_givesTheSameImageAndFormattedBytes) {
  const fs::path path = dir_ / "site.txt";
  ASSERT_EQ(SaveError(path, Sample()), "");
  EXPECT_EQ(Contents(path), FormatSettingsText(Sample()));
  const auto read = ReadSettingsFile(path);
  ASSERT_TRUE(std::holds_alternative<SettingsImage>(read)) << std::get<SettingsFileError>(read).message;
  EXPECT_EQ(std::get<SettingsImage>(read), Sample());
  EXPECT_EQ(Entries(dir_), std::vector<fs::path>{"site.txt"});
}

TEST_F(SettingsFile, UnreadablePaths_failNamingTheFile) {
  fs::create_directory(dir_ / "subdir");
  Put(dir_ / "bad.txt", "1\r\n2\r\n999\r\n");
  Put(dir_ / "empty.txt", "");
  Put(dir_ / "zeros.txt", std::string(512, '\0'));
  Put(dir_ / "huge.txt", FormatSettingsText(Sample()));
  fs::resize_file(dir_ / "huge.txt", std::uintmax_t{2} << 30);  // sparse: costs no disk
  const struct {
    const char* name;  // an absolute name stands for itself
    const char* words;
    int line;
  } cases[] = {{"missing.txt", "", 0},
               {"subdir", "is a folder", 0},
               {"bad.txt", "line 3: 999", 3},
               {"empty.txt", "empty", 0},
               {"/dev/zero", "is not a regular file", 0},
               {"zeros.txt", "line 1: holds the control byte 0x00: not a text file", 1},
               {"huge.txt", "is 2147483648 bytes; a settings file is at most 65536", 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path path = dir_ / c.name;
    const auto read = ReadSettingsFile(path);
    ASSERT_TRUE(std::holds_alternative<SettingsFileError>(read));
    const auto& error = std::get<SettingsFileError>(read);
    EXPECT_NE(error.message.find(path.string()), std::string::npos) << error.message;
    EXPECT_NE(error.message.find(c.words), std::string::npos) << error.message;
    EXPECT_GT(error.message.size(), path.string().size() + 4) << error.message;
    EXPECT_EQ(error.line, c.line);
  }
}

TEST_F(SettingsFile, FailedSaves_explainAndLeaveTheFolderAsItWas) {
  enum class Before { Nothing, ReadOnlyFile, Folder };
  const struct {
    const char* name;
    const char* target;  // inside the case's own folder
    Before before;
    const char* words;
  } cases[] = {{"missing folder", "nowhere/site.txt", Before::Nothing, ""},
               {"read-only file", "site.txt", Before::ReadOnlyFile, "read-only"},
               {"folder in the way", "site.txt", Before::Folder, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = dir_ / std::to_string(&c - cases), path = folder / c.target;
    fs::create_directory(folder);
    if (c.before == Before::Folder) fs::create_directory(path);
    if (c.before == Before::ReadOnlyFile) {
      Put(path, "old");
      fs::permissions(path, fs::perms(0444));
    }
    const auto before = Entries(folder);
    const std::string message = SaveError(path, Sample());
    EXPECT_NE(message.find(path.string()), std::string::npos) << message;
    EXPECT_NE(message.find(c.words), std::string::npos) << message;
    EXPECT_GT(message.size(), path.string().size() + 4) << message;
    EXPECT_EQ(Entries(folder), before);
    if (c.before == Before::ReadOnlyFile) {
      EXPECT_EQ(Contents(path), "old");
    }
  }
}

// A save killed between writing and renaming leaves its temporary behind; the
// next save to that file clears it, but nothing of anyone else's.
TEST_F(SettingsFile, Save_removesOnlyStaleTemporariesOfAnEarlierSaveToThatFile) {
  const struct {
    const char* name;
    bool stale, removed;
  } strays[] = {{".site.txt.123456.tmp", true, true},
                {".site.txt.a0f.tmp", true, true},
                {".site.txt.c0ffee.tmp", false, false},  // a save still running
                {".other.tmp", true, false},
                {".other.txt.123456.tmp", true, false},
                {".site.txt.1234567.tmp", true, false},
                {".site.txt.12345G.tmp", true, false},
                {".site.txt..tmp", true, false},
                {"site.txt.123456.tmp", true, false}};
  std::vector<fs::path> kept{"site.txt"};
  for (const auto& stray : strays) {
    Put(dir_ / stray.name, "left over");
    if (stray.stale) fs::last_write_time(dir_ / stray.name, fs::file_time_type::clock::now() - std::chrono::hours(1));
    if (!stray.removed) kept.push_back(stray.name);
  }
  std::sort(kept.begin(), kept.end());
  ASSERT_EQ(SaveError(dir_ / "site.txt", Sample()), "");
  EXPECT_EQ(Entries(dir_), kept);
  EXPECT_EQ(Contents(dir_ / "site.txt"), FormatSettingsText(Sample()));
}

// What the disk is asked to hold, and when: the whole new file before it
// replaces the old one, then the folder with the rename.
class RecordingSync : public FileSync {
 public:
  RecordingSync(fs::path target, bool works) : target_(std::move(target)), works_(works) {}
  bool SyncFile(const fs::path& file) override {
    log.push_back("file " + Contents(file).substr(0, 9) + (fs::exists(target_) ? " over " + Contents(target_) : ""));
    return works_;
  }
  void SyncFolder(const fs::path& folder) override { log.push_back("folder " + folder.filename().string()); }
  std::vector<std::string> log;

 private:
  fs::path target_;
  bool works_;
};

TEST_F(SettingsFile, Save_forcesTheFileOntoTheDiskBeforeTheRenameAndFailsIfTheDiskDoesNotTakeIt) {
  const fs::path target = dir_ / "site.txt";
  for (const bool works : {true, false}) {
    Put(target, "old");
    RecordingSync sync(target, works);
    const auto error = WriteSettingsFile(target, Sample(), &sync);
    const std::string file = "file " + FormatSettingsText(Sample()).substr(0, 9) + " over old";
    if (works) {
      EXPECT_FALSE(error);
      EXPECT_EQ(sync.log, (std::vector<std::string>{file, "folder " + dir_.filename().string()}));
    } else {
      ASSERT_TRUE(error);
      EXPECT_NE(error->message.find("cannot be saved: the disk did not take the file"), std::string::npos);
      EXPECT_EQ(sync.log, std::vector<std::string>{file});
      EXPECT_EQ(Contents(target), "old");
    }
    EXPECT_EQ(Entries(dir_), std::vector<fs::path>{"site.txt"});
  }
}

TEST_F(SettingsFile, SaveOverExistingFile_keepsItsPermissions) {
  const fs::path path = dir_ / "site.txt";
  Put(path, "old");
  fs::permissions(path, fs::perms(0640));
  ASSERT_EQ(SaveError(path, Sample()), "");
  EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640));
  EXPECT_EQ(Contents(path), FormatSettingsText(Sample()));
  EXPECT_EQ(Entries(dir_), std::vector<fs::path>{"site.txt"});
}

TEST_F(SettingsFile, SaveThroughSymbolicLink_writesItsTargetAndKeepsTheLink) {
  fs::create_directory(dir_ / "real");
  Put(dir_ / "real" / "site.txt", "old");
  fs::create_symlink(fs::path("real") / "site.txt", dir_ / "link.txt");
  ASSERT_EQ(SaveError(dir_ / "link.txt", Sample()), "");
  EXPECT_TRUE(fs::is_symlink(dir_ / "link.txt"));
  EXPECT_EQ(fs::read_symlink(dir_ / "link.txt"), fs::path("real") / "site.txt");
  EXPECT_EQ(Contents(dir_ / "real" / "site.txt"), FormatSettingsText(Sample()));
  EXPECT_EQ(Entries(dir_ / "real"), std::vector<fs::path>{"site.txt"});
}

// Factory settings with edits in both banks, through the text into fresh banks.
TEST(SettingsRoundTrip, EditedBanks_comeBackByteIdenticalExceptTheClock) {
  RegisterBanks banks;
  LoadFactorySettings(banks, {});
  for (const BankId id : {BankId::Day, BankId::Night}) {
    banks.SetActiveBank(id);
    const auto shift = static_cast<std::uint8_t>(id == BankId::Day ? 1 : 2);
    banks.WriteRegister(zone::Cell(0), shift);
    banks.WriteRegister(zone::Cell(kZoneCellCount - 1), static_cast<std::uint8_t>(shift + 3));
    banks.WriteRegister(title::Character(kTitleLength - 1), static_cast<std::uint8_t>(0x40 + shift));
    banks.Active().normalSet[31] = static_cast<std::uint8_t>(200 + shift);
    banks.Active().ptzSet[0] = static_cast<std::uint8_t>(100 + shift);
    banks.Active().dateTime.fill(static_cast<std::uint8_t>(0xD0 + shift));
  }
  banks.WriteRegister(reg::kUnitAddress, 0x2A);
  ASSERT_NE(banks.Bank(BankId::Day), banks.Bank(BankId::Night));

  const auto parsed = ParseSettingsText(FormatSettingsText(ComposeSettingsImage(banks)));
  ASSERT_TRUE(std::holds_alternative<SettingsImage>(parsed));
  RegisterBanks loaded;
  for (const BankId id : {BankId::Day, BankId::Night})
    loaded.Bank(id).dateTime.fill(0x33);
  DistributeSettingsImage(std::get<SettingsImage>(parsed), loaded);

  for (const BankId id : {BankId::Day, BankId::Night}) {
    SCOPED_TRACE(BankName(id));
    RegisterBank expected = banks.Bank(id);
    std::fill(expected.dateTime.begin(), expected.dateTime.begin() + kFirstKeptDateTimeByte, 0x33);
    EXPECT_EQ(loaded.Bank(id), expected);
  }
}

// A locale whose numbers read "2.0.8,5" must not reach the file.
struct CommaDecimal : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\1"; }
};

TEST(SettingsRoundTrip, CommaDecimalLocale_producesTheSameText) {
  const std::string classic = FormatSettingsText(Sample());
  const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaDecimal));
  const std::string text = FormatSettingsText(Sample());
  const auto parsed = ParseSettingsText(text);
  const auto half = ParseSettingsLine(" 25 4.5 ");
  std::locale::global(previous);

  EXPECT_EQ(text, classic);
  ASSERT_TRUE(std::holds_alternative<SettingsImage>(parsed));
  EXPECT_EQ(std::get<SettingsImage>(parsed), Sample());
  ASSERT_TRUE(std::holds_alternative<std::uint8_t>(half));
  EXPECT_EQ(std::get<std::uint8_t>(half), 254);
}

}  // namespace
}  // namespace koral
