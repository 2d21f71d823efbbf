// The settings file: both banks and the four motion parameter sets as 1092
// decimal byte values, one per line, " 208 " with CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "model/file_sync.h"
#include "model/register_bank.h"

namespace koral {

inline constexpr int kSettingsFileLines = 1092;

// The 1092 bytes of a settings file in file order.
using SettingsImage = std::array<std::uint8_t, kSettingsFileLines>;

SettingsImage ComposeSettingsImage(const RegisterBanks& banks);

// Copies every position into the banks and parameter sets as it stands: no
// mirroring, no modified flag, clock registers 0..6 untouched.
void DistributeSettingsImage(const SettingsImage& image, RegisterBanks& banks);

std::string FormatSettingsText(const SettingsImage& image);

// Why a settings file could not be read or written, in words a person can act
// on. `line` counts from 1 and is 0 when the problem is not with one line.
struct SettingsFileError {
  std::string message;
  int line = 0;
};

template <typename T>
using SettingsResult = std::variant<T, SettingsFileError>;

// Reads settings text fed in pieces of any size, one line at a time, so a huge
// or endless file costs no more memory than a good one. Lines end with CR LF,
// LF or CR; a final line end does not start another line.
class SettingsTextReader {
 public:
  SettingsTextReader();
  ~SettingsTextReader();
  SettingsTextReader(const SettingsTextReader&) = delete;
  SettingsTextReader& operator=(const SettingsTextReader&) = delete;

  // Returns false once the text is known to be bad; error() then says why.
  bool Feed(std::string_view chunk);
  // Ends the text; the image when every line was good and at least one holds
  // a number: an empty file, words without numbers and binary data (a control
  // byte other than TAB, CR and LF, as in any picture) are refused.
  SettingsResult<SettingsImage> Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

SettingsResult<SettingsImage> ParseSettingsText(std::string_view text);

// The value of one line: the decimal number at its start, blanks ignored,
// ended by the first character that cannot continue it, halves rounded to the
// even neighbour; an empty or non-numeric line gives 0. The error, if any,
// says what is wrong with the value (its line number is the caller's).
SettingsResult<std::uint8_t> ParseSettingsLine(std::string_view line);

// A settings file is about 6 KB; anything much larger is some other file and
// is refused before it is read.
inline constexpr std::uintmax_t kMaxSettingsFileBytes = 64 * 1024;

// Whole-file operations. Errors name the file. Only a regular file of at most
// kMaxSettingsFileBytes is read, so a device, a pipe or a huge file is refused
// without reading it.
SettingsResult<SettingsImage> ReadSettingsFile(const std::filesystem::path& path);

// Writes a temporary file beside the target and renames it over the target, so
// a failure never leaves a half-written file; the old file's permissions are
// kept, and a symbolic link keeps pointing at the file it names. Temporary
// files an earlier, interrupted save to the same target left behind are
// removed once the save has landed. With `sync`, the new file is on the disk
// before it replaces the old one, and the rename after it.
std::optional<SettingsFileError> WriteSettingsFile(const std::filesystem::path& path, const SettingsImage& image,
                                                   FileSync* sync = nullptr);

}  // namespace koral
