#include <gtest/gtest.h>

#include "model/bcd.h"
#include "model/setting_catalogue.h"
#include "model/title_charset.h"

namespace koral {
namespace {

// Invalid nibbles keep their digits side by side.
TEST(Bcd, bothWaysForEveryTwoDigitNumber_invalidNibblesAsTheirDigits) {
  for (int n = 0; n <= 99; ++n) {
    const std::uint8_t bcd = DecimalToBcd(n);
    EXPECT_EQ(bcd, ((n / 10) << 4) | (n % 10));
    EXPECT_EQ(BcdToDecimal(bcd), n);
  }
  EXPECT_EQ(BcdToDecimal(0x1A), 110);
  EXPECT_EQ(BcdToDecimal(0xA1), 101);
  EXPECT_EQ(BcdToDecimal(0xAB), 1011);
  EXPECT_EQ(BcdToDecimal(0xFF), 1515);
}

TEST(TitleCharset, everyCodeShowsItsCharacter) {
  const std::string_view expected = "0123456789:<>-., ABCDEFGHIJKLMN PQRSTUVWXYZ";
  for (std::size_t code = 0; code < 64; ++code) {
    const char shown = code < expected.size() ? expected[code] : ' ';
    EXPECT_EQ(TitleCodeToChar(static_cast<std::uint8_t>(code)), shown) << code;
  }
  EXPECT_EQ(TitleCodeToChar(255), ' ');
}

TEST(TitleCharset, textToCodes_cutAtSixteen) {
  const struct {
    std::string_view text;
    std::array<std::uint8_t, 4> first;
  } cases[] = {{"open", {0, 32, 21, 30}},   // no O: it becomes the digit zero
               {"A#B", {17, 16, 18, 16}},   // # has no code
               {"z:.,", {42, 10, 14, 15}},  //
               {"<>-9", {11, 12, 13, 9}}};
  for (const auto& c : cases) {
    const auto codes = EncodeTitle(c.text);
    for (std::size_t p = 0; p < 4; ++p)
      EXPECT_EQ(codes[p], c.first[p]) << c.text << " position " << p;
    for (std::size_t p = 4; p < 16; ++p)
      EXPECT_EQ(codes[p], kTitleSpaceCode);
  }
  EXPECT_EQ(DecodeTitle(EncodeTitle("open")), "0PEN            ");
  EXPECT_EQ(DecodeTitle(EncodeTitle("ABCDEFGHIJKLMNPQRS")), "ABCDEFGHIJKLMNPQ");
}

TEST(Catalogue, everyListSettingHasADistinctRegister) {
  const auto lists = ListSettings();
  for (std::size_t i = 0; i < lists.size(); ++i) {
    EXPECT_FALSE(lists[i].items.empty()) << lists[i].control;
    for (std::size_t j = i + 1; j < lists.size(); ++j)
      EXPECT_FALSE(lists[i].address == lists[j].address);
  }
  EXPECT_EQ(FindListSetting(reg::kOutputData)->items.size(), 16u);
  EXPECT_EQ(FindListSetting(reg::kStatusDisplay)->items[5], "ARED E DELTA");
  EXPECT_EQ(FindListSetting(reg::kTimer2Days)->items[8], "M-F");
  EXPECT_EQ(FindListSetting(reg::kMotionMode), nullptr);
}

}  // namespace
}  // namespace koral
