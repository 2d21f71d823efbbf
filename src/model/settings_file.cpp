#include "model/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cmath>
#include <fstream>
#include <random>
#include <string_view>
#include <system_error>
#include <vector>

#include "model/settings_layout.h"
#include "model/settings_line_scanner.h"

namespace koral {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxSymlinkHops = 40;

SettingsFileError FileError(const std::filesystem::path& path, const std::string& what, int line = 0) {
  return {path.string() + ": " + what, line};
}

// The system's words for an error, lower-cased to read inside a sentence.
std::string Reason(const std::error_code& ec) {
  std::string text = ec.message();
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
  return text;
}

std::string ErrnoReason(int error, const char* fallback) {
  return error != 0 ? Reason(std::error_code(error, std::generic_category())) : fallback;
}

// No text editor writes these into a settings file; they mark binary data.
bool IsControlByte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F;
}

std::string HexByte(char c) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  const auto byte = static_cast<unsigned char>(c);
  return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0xF];
}

SettingsFileError TooLarge(const std::filesystem::path& path, const std::string& size) {
  return FileError(path, "is " + size + " bytes; a settings file is at most " + std::to_string(kMaxSettingsFileBytes));
}

}  // namespace

// ---- image <-> banks --------------------------------------------------------

SettingsImage ComposeSettingsImage(const RegisterBanks& banks) {
  SettingsImage image{};
  ForEachSettingsField(banks,
                       [&image](int line, std::uint8_t value) { image[static_cast<std::size_t>(line)] = value; });
  return image;
}

void DistributeSettingsImage(const SettingsImage& image, RegisterBanks& banks) {
  ForEachSettingsField(banks,
                       [&image](int line, std::uint8_t& value) { value = image[static_cast<std::size_t>(line)]; });
}

std::string FormatSettingsText(const SettingsImage& image) {
  std::string text;
  text.reserve(image.size() * 7);
  for (const std::uint8_t value : image) {
    // Written by hand rather than through a stream so no locale can group digits.
    text += ' ';
    text += std::to_string(static_cast<unsigned>(value));
    text += " \r\n";
  }
  return text;
}

// ---- reading ----------------------------------------------------------------

struct SettingsTextReader::State {
  SettingsImage image{};
  SettingsLineScanner scanner;
  int lines = 0;
  bool anyNumber = false;  // text without a single number is some other file, not a settings file
  bool lineOpen = false;   // characters seen since the last line end
  bool afterCR = false;    // a CR was the last character: an LF right after it belongs to it
  std::optional<SettingsFileError> error;

  void EndLine() {
    ++lines;
    lineOpen = false;
    if (lines > kSettingsFileLines) {
      error = SettingsFileError{"more than " + std::to_string(kSettingsFileLines) + " lines", lines};
      return;
    }
    auto value = scanner.Finish();
    anyNumber = anyNumber || scanner.HoldsNumber();
    scanner = SettingsLineScanner();
    if (auto* problem = std::get_if<SettingsFileError>(&value)) {
      error = SettingsFileError{"line " + std::to_string(lines) + ": " + problem->message, lines};
      return;
    }
    image[static_cast<std::size_t>(lines - 1)] = std::get<std::uint8_t>(value);
  }
};

SettingsTextReader::SettingsTextReader() : state_(std::make_unique<State>()) {}
SettingsTextReader::~SettingsTextReader() = default;

bool SettingsTextReader::Feed(std::string_view chunk) {
  State& s = *state_;
  for (const char c : chunk) {
    if (s.error) return false;
    if (s.afterCR) {
      s.afterCR = false;
      if (c == '\n') continue;
    }
    if (IsControlByte(c)) {
      // A picture's bytes could otherwise pass for short lines of numbers.
      const int line = s.lines + 1;
      s.error = SettingsFileError{
          "line " + std::to_string(line) + ": holds the control byte " + HexByte(c) + ": not a text file", line};
      return false;
    }
    if (c == '\r' || c == '\n') {
      s.afterCR = c == '\r';
      s.EndLine();
    } else {
      s.lineOpen = true;
      s.scanner.Feed(c);
    }
  }
  return !s.error;
}

SettingsResult<SettingsImage> SettingsTextReader::Finish() {
  State& s = *state_;
  if (!s.error && s.lineOpen) s.EndLine();
  if (s.error) return *s.error;
  if (s.lines == 0) return SettingsFileError{"the file is empty"};
  if (!s.anyNumber) return SettingsFileError{"no line holds a number: not a settings file"};
  return s.image;
}

SettingsResult<SettingsImage> ParseSettingsText(std::string_view text) {
  SettingsTextReader reader;
  reader.Feed(text);
  return reader.Finish();
}

SettingsResult<std::uint8_t> ParseSettingsLine(std::string_view line) {
  SettingsLineScanner scanner;
  for (const char c : line)
    scanner.Feed(c);
  return scanner.Finish();
}

SettingsResult<SettingsImage> ReadSettingsFile(const std::filesystem::path& path) {
  // Checked before opening: opening a pipe waits for a writer, and a device
  // such as /dev/zero never ends.
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (std::filesystem::is_directory(status)) return FileError(path, "is a folder, not a settings file");
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    return FileError(path, "is not a regular file");
  }
  if (std::filesystem::is_regular_file(status)) {
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxSettingsFileBytes) return TooLarge(path, std::to_string(size));
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return FileError(path, "cannot be opened: " + ErrnoReason(errno, "unknown reason"));

  // At most one byte past the limit is read, so a file that grows meanwhile
  // still costs no more than that.
  SettingsTextReader reader;
  std::string chunk(kReadChunk, '\0');
  std::uintmax_t total = 0;
  while (in) {
    const auto room = std::min<std::uintmax_t>(chunk.size(), kMaxSettingsFileBytes + 1 - total);
    in.read(chunk.data(), static_cast<std::streamsize>(room));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
    total += got;
    if (total > kMaxSettingsFileBytes) return TooLarge(path, "more than " + std::to_string(kMaxSettingsFileBytes));
    if (!reader.Feed(std::string_view(chunk.data(), got))) break;
  }
  if (in.bad()) return FileError(path, "cannot be read: " + ErrnoReason(errno, "read error"));
  auto result = reader.Finish();
  if (auto* error = std::get_if<SettingsFileError>(&result)) return FileError(path, error->message, error->line);
  return result;
}

// ---- writing ----------------------------------------------------------------

namespace {

// The file a save really writes: a symbolic link is followed to its target so
// the link keeps pointing at the saved file.
std::filesystem::path ResolveLinks(std::filesystem::path path, std::error_code& ec) {
  for (int hop = 0; hop < kMaxSymlinkHops; ++hop) {
    const auto status = std::filesystem::symlink_status(path, ec);
    if (!std::filesystem::is_symlink(status)) {
      ec.clear();  // a file that does not exist yet is simply created
      return path;
    }
    const auto target = std::filesystem::read_symlink(path, ec);
    if (ec) return path;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return path;
}

constexpr std::size_t kTemporaryDigits = 6;  // hexadecimal, 0..FFFFFF
constexpr std::string_view kTemporaryEnd = ".tmp";
// A temporary file younger than this may belong to a save still running.
constexpr auto kLeftoverAge = std::chrono::minutes(1);

// Whether `name` is one of our temporary names for `target`:
// ".NAME.<1 to 6 lower-case hex digits>.tmp".
bool IsTemporaryName(const std::string& name, const std::string& target) {
  const std::string start = "." + target + ".";
  if (name.size() <= start.size() + kTemporaryEnd.size()) return false;
  if (name.compare(0, start.size(), start) != 0) return false;
  if (name.compare(name.size() - kTemporaryEnd.size(), kTemporaryEnd.size(), kTemporaryEnd) != 0) return false;
  const std::string_view digits =
      std::string_view(name).substr(start.size(), name.size() - start.size() - kTemporaryEnd.size());
  return digits.size() <= kTemporaryDigits && std::all_of(digits.begin(), digits.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
         });
}

// Removes the temporary files a killed save to `target` left beside it. Only
// regular files of our own naming pattern for this target that have not been
// written to for a while are touched; failures are ignored.
void RemoveLeftoverTemporaries(const std::filesystem::path& target) {
  const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  const std::string name = target.filename().string();
  const auto cutoff = std::filesystem::file_time_type::clock::now() - kLeftoverAge;
  std::error_code ec;
  std::vector<std::filesystem::path> leftovers;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const auto& entry = *it;
    std::error_code entryError;
    if (!IsTemporaryName(entry.path().filename().string(), name)) continue;
    if (!entry.is_regular_file(entryError) || entry.is_symlink(entryError)) continue;
    const auto written = entry.last_write_time(entryError);
    if (!entryError && written < cutoff) leftovers.push_back(entry.path());
  }
  for (const auto& leftover : leftovers) {
    std::error_code ignored;
    std::filesystem::remove(leftover, ignored);
  }
}

std::filesystem::path TemporaryBeside(const std::filesystem::path& target) {
  std::random_device random;
  std::uniform_int_distribution<unsigned> digits(0, 0xFFFFFF);
  for (;;) {
    char suffix[16];
    const auto end = std::to_chars(suffix, suffix + sizeof suffix, digits(random), 16).ptr;
    auto candidate =
        target.parent_path() / ("." + target.filename().string() + "." + std::string(suffix, end) + ".tmp");
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, ec))) return candidate;
  }
}

}  // namespace

std::optional<SettingsFileError> WriteSettingsFile(const std::filesystem::path& path, const SettingsImage& image,
                                                   FileSync* sync) {
  std::error_code ec;
  const std::filesystem::path target = ResolveLinks(path, ec);
  if (ec) return FileError(path, "cannot be saved: " + Reason(ec));

  const auto status = std::filesystem::status(target, ec);
  const bool exists = std::filesystem::exists(status);
  if (exists && !std::filesystem::is_regular_file(status))
    return FileError(path, "cannot be saved: not a regular file");
  if (exists && (status.permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none) {
    return FileError(path, "cannot be saved: the file is read-only");
  }
  const auto folder = target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
  if (!std::filesystem::is_directory(folder, ec)) return FileError(path, "cannot be saved: the folder does not exist");

  const auto temporary = TemporaryBeside(target);
  const auto fail = [&](const std::string& why) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return FileError(path, "cannot be saved: " + why);
  };

  errno = 0;
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return fail(ErrnoReason(errno, "the folder cannot be written"));
    const std::string text = FormatSettingsText(image);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) return fail(ErrnoReason(errno, "write error"));
    out.close();
    if (!out) return fail(ErrnoReason(errno, "write error"));
  }
  // Before the rename: otherwise a power cut can leave the renamed file empty.
  if (sync && !sync->SyncFile(temporary)) return fail("the disk did not take the file");
  if (exists) {
    std::filesystem::permissions(temporary, status.permissions(), std::filesystem::perm_options::replace, ec);
    if (ec) return fail(Reason(ec));
  }
  std::filesystem::rename(temporary, target, ec);
  if (ec) return fail(Reason(ec));
  if (sync) sync->SyncFolder(folder);
  RemoveLeftoverTemporaries(target);
  return std::nullopt;
}

}  // namespace koral
