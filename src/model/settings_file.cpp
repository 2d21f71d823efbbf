#include "model/settings_file.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <random>
#include <system_error>

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
    if (c == '\0') {
      // No text file holds one, and a picture's bytes could otherwise pass for
      // short lines of numbers.
      s.error = SettingsFileError{"holds binary data: not a settings file"};
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
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return FileError(path, "is a folder, not a settings file");
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return FileError(path, "cannot be opened: " + ErrnoReason(errno, "unknown reason"));

  SettingsTextReader reader;
  std::string chunk(kReadChunk, '\0');
  while (in) {
    in.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got == 0) break;
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

std::optional<SettingsFileError> WriteSettingsFile(const std::filesystem::path& path, const SettingsImage& image) {
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
  if (exists) {
    std::filesystem::permissions(temporary, status.permissions(), std::filesystem::perm_options::replace, ec);
    if (ec) return fail(Reason(ec));
  }
  std::filesystem::rename(temporary, target, ec);
  if (ec) return fail(Reason(ec));
  return std::nullopt;
}

}  // namespace koral
