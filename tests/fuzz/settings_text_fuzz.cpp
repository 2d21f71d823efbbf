// libFuzzer target: any text fed in any pieces reads the same as whole, and an
// accepted text formats back to a text that reads to the same image.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "model/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto whole = koral::ParseSettingsText(text);

  koral::SettingsTextReader reader;
  const std::size_t split = size == 0 ? 0 : data[0] % size;
  reader.Feed(text.substr(0, split));
  reader.Feed(text.substr(split));
  const auto pieces = reader.Finish();
  if (whole.index() != pieces.index()) std::abort();

  if (const auto* image = std::get_if<koral::SettingsImage>(&whole)) {
    if (std::get<koral::SettingsImage>(pieces) != *image) std::abort();
    const auto again = koral::ParseSettingsText(koral::FormatSettingsText(*image));
    if (std::get<koral::SettingsImage>(again) != *image) std::abort();
  }
  return 0;
}
