// Reading settings text: one line's value, line ends, chunked input, and where
// each bank byte sits in the file.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <utility>
#include <variant>

#include "model/register_bank.h"
#include "model/settings_file.h"

namespace koral {
namespace {

// `count` lines "N" with N = line index % 256, each ended by `end`.
std::string Lines(int count, const std::string& end) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += std::to_string(i % 256) + end;
  return text;
}

SettingsImage Expect(SettingsResult<SettingsImage> result) {
  if (const auto* error = std::get_if<SettingsFileError>(&result)) {
    ADD_FAILURE() << "unexpected error: " << error->message;
    return {};
  }
  return std::get<SettingsImage>(result);
}

SettingsFileError ExpectError(SettingsResult<SettingsImage> result) {
  if (std::holds_alternative<SettingsImage>(result)) ADD_FAILURE() << "text was accepted";
  return std::holds_alternative<SettingsFileError>(result) ? std::get<SettingsFileError>(result) : SettingsFileError{};
}

SettingsImage Counting() {
  SettingsImage image{};
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i % 256);
  return image;
}

TEST(SettingsLine, Values_readAsTheNumberAtTheStartRoundedHalfToEven) {
  const std::pair<const char*, int> values[] = {
      {"208", 208},    {" 208 ", 208},   {"208abc", 208}, {"2 0 8", 208}, {"\t2\t08", 208}, {"+208", 208},
      {"2.08e2", 208}, {"2080D-1", 208}, {"208E", 208},   {"208e+", 208}, {"208.", 208},    {".5e1", 5},
      {"0.5", 0},      {"1.5", 2},       {"2.5", 2},      {"3.5", 4},     {"254.5", 254},   {"254.51", 255},
      {"-0.4", 0},     {"-0.5", 0},      {"1e-400", 0},   {"12-3", 12},   {"1.2.3", 1},     {"abc", 0},
      {"", 0},         {"-", 0},         {".", 0},        {"e5", 0},      {"x208", 0},      {"255", 255}};
  for (const auto& [line, value] : values) {
    const auto result = ParseSettingsLine(line);
    ASSERT_TRUE(std::holds_alternative<std::uint8_t>(result)) << line;
    EXPECT_EQ(std::get<std::uint8_t>(result), value) << line;
  }
}

TEST(SettingsLine, OutOfRangeValues_areErrorsNamingTheNumber) {
  const std::pair<const char*, const char*> errors[] = {
      {"-1", "-1 is outside 0..255"},      {"256", "256 is outside 0..255"},     {"300", "300 is outside 0..255"},
      {" 3 00x", "300 is outside 0..255"}, {"255.5", "255.5 is outside 0..255"}, {"1e9", "1e9 is outside 0..255"},
      {"-0.6", "-0.6 is outside 0..255"},  {"1e999", "is outside 0..255"}};
  for (const auto& [line, message] : errors) {
    const auto result = ParseSettingsLine(line);
    ASSERT_TRUE(std::holds_alternative<SettingsFileError>(result)) << line;
    EXPECT_NE(std::get<SettingsFileError>(result).message.find(message), std::string::npos) << line;
  }
}

TEST(SettingsText, EveryLineEnd_givesTheSameImage) {
  const SettingsImage expected = Counting();
  for (const std::string& text :
       {Lines(kSettingsFileLines, "\r\n"), Lines(kSettingsFileLines, "\n"), Lines(kSettingsFileLines, "\r"),
        Lines(kSettingsFileLines - 1, "\r\n") + "67", FormatSettingsText(expected)}) {
    SCOPED_TRACE(text.substr(text.size() - 8));
    EXPECT_EQ(Expect(ParseSettingsText(text)), expected);
  }
}

TEST(SettingsText, MixedAndEmptyLines_countOneLineEach) {
  // "\r\r" and "\n\n" hold an empty line (value 0); "\r\n" is one line end.
  const auto image = Expect(ParseSettingsText("1\r\n2\n3\r4\r\r5\n\n6\n\r7"));
  const SettingsImage::value_type expected[] = {1, 2, 3, 4, 0, 5, 0, 6, 0, 7, 0};
  for (std::size_t i = 0; i < std::size(expected); ++i)
    EXPECT_EQ(image[i], expected[i]) << "line " << i + 1;
  // One number among words is still a short settings file.
  EXPECT_EQ(Expect(ParseSettingsText("notes\r\n\r\n 7 x\r\n"))[2], 7);
}

TEST(SettingsText, FormattedText_isOneSpacedValuePerCrLfLine) {
  SettingsImage image{};
  image[0] = 208;
  image[kSettingsFileLines - 1] = 7;
  const std::string text = FormatSettingsText(image);
  EXPECT_EQ(text.substr(0, 12), " 208 \r\n 0 \r\n");
  EXPECT_EQ(text.substr(text.size() - 10), " 0 \r\n 7 \r\n");
  EXPECT_EQ(text.size(), 7u + 5u * 1090u + 5u);
}

TEST(SettingsText, ShortText_leavesMissingPositionsZero) {
  const auto image = Expect(ParseSettingsText(Lines(964, "\r\n")));
  for (std::size_t i = 0; i < image.size(); ++i)
    EXPECT_EQ(image[i], i < 964 ? i % 256 : 0u) << "line " << i + 1;
  RegisterBanks banks;
  for (const BankId id : {BankId::Day, BankId::Night})
    banks.Bank(id).normalSet.fill(9);
  DistributeSettingsImage(image, banks);
  EXPECT_EQ(banks.Bank(BankId::Night).registers.back(), 963 % 256);
  for (const BankId id : {BankId::Day, BankId::Night}) {
    EXPECT_EQ(banks.Bank(id).normalSet, MotionParameterSet{});
    EXPECT_EQ(banks.Bank(id).ptzSet, MotionParameterSet{});
  }
}

TEST(SettingsText, BadTexts_areErrorsWithTheirLine) {
  const std::string full = Lines(kSettingsFileLines, "\r\n");
  const struct {
    std::string name, text, message;
    int line;
  } cases[] = {
      {"empty", "", "empty", 0},
      {"extra value", full + "5\r\n", "more than 1092 lines", 1093},
      {"extra empty line", full + "\r\n", "more than 1092 lines", 1093},
      {"extra line without end", full + "x", "more than 1092 lines", 1093},
      {"bad value", "1\n2\n3\n4\n300\n6\n", "line 5: 300 is outside 0..255", 5},
      {"bad last value", Lines(kSettingsFileLines - 1, "\n") + "-1", "line 1092: -1 is outside 0..255", 1092},
      {"blank lines only", "\r\n \r\n\r\n", "no line holds a number: not a settings file", 0},
      {"words only", "# KORAL\n\nSettings of the gate camera.\n", "no line holds a number: not a settings file", 0},
      {"picture", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR\n12\n", 20),
       "line 2: holds the control byte 0x1A: not a text file", 2},
      {"NUL inside a good file", Lines(10, "\r\n") + std::string("7\0\r\n", 4) + Lines(5, "\r\n"),
       "line 11: holds the control byte 0x00: not a text file", 11},
      {"all NUL", std::string(4096, '\0'), "line 1: holds the control byte 0x00: not a text file", 1},
      {"form feed", "1\r\n\f2\r\n", "line 2: holds the control byte 0x0C", 2},
      {"delete", "1\n2\n3\x7F\n", "line 3: holds the control byte 0x7F", 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto error = ExpectError(ParseSettingsText(c.text));
    EXPECT_NE(error.message.find(c.message), std::string::npos) << error.message;
    EXPECT_EQ(error.line, c.line);
  }
}

TEST(SettingsTextReader, AnySplitOfTheText_givesTheSameResultAsWhole) {
  const std::string texts[] = {"1\r\n2\n3\r4\r\r5\n\n 2 5 4.5e0 \r\n", "\r\n", "1\r\n2\r\n300\r\n4\r\n",
                               Lines(kSettingsFileLines, "\r\n") + "\r\n"};
  for (const std::string& text : texts) {
    const auto whole = ParseSettingsText(text);
    for (std::size_t split = 0; split <= text.size(); ++split) {
      if (split > 40 && split + 40 < text.size() && split % 61 != 0) continue;  // the long text: ends and a sample
      SCOPED_TRACE(split);
      SettingsTextReader reader;
      reader.Feed(std::string_view(text).substr(0, split));
      reader.Feed(std::string_view(text).substr(split));
      const auto result = reader.Finish();
      ASSERT_EQ(result.index(), whole.index());
      if (whole.index() == 0) {
        EXPECT_EQ(std::get<0>(result), std::get<0>(whole));
      } else {
        EXPECT_EQ(std::get<1>(result).message, std::get<1>(whole).message);
      }
    }
  }
}

TEST(SettingsTextReader, CrLfFileFedByteByByte_givesTheWholeImage) {
  const SettingsImage expected = Counting();
  const std::string text = FormatSettingsText(expected);
  SettingsTextReader reader;
  for (const char c : text)
    ASSERT_TRUE(reader.Feed(std::string_view(&c, 1)));
  EXPECT_EQ(Expect(reader.Finish()), expected);
}

// One block of bank bytes as the file holds it.
using Block = std::span<std::uint8_t> (*)(RegisterBanks&);
#define KORAL_BLOCK(bank, member, first) \
  [](RegisterBanks& b) { return std::span<std::uint8_t>(b.Bank(BankId::bank).member).subspan(first); }

TEST(SettingsLayout, FirstAndLastByteOfEachBlock_sitOnTheirLines) {
  const struct {
    const char* name;
    Block block;
    std::size_t first, last;
  } cases[] = {{"DAY zones", KORAL_BLOCK(Day, zones, 0), 0, 287},
               {"DAY title", KORAL_BLOCK(Day, title, 0), 288, 321},
               {"DAY date-time 14..17", KORAL_BLOCK(Day, dateTime, 14), 322, 325},
               {"DAY registers", KORAL_BLOCK(Day, registers, 0), 326, 481},
               {"NIGHT zones", KORAL_BLOCK(Night, zones, 0), 482, 769},
               {"NIGHT title", KORAL_BLOCK(Night, title, 0), 770, 803},
               {"NIGHT date-time 14..17", KORAL_BLOCK(Night, dateTime, 14), 804, 807},
               {"NIGHT registers", KORAL_BLOCK(Night, registers, 0), 808, 963},
               {"DAY normal set", KORAL_BLOCK(Day, normalSet, 0), 964, 995},
               {"DAY PTZ set", KORAL_BLOCK(Day, ptzSet, 0), 996, 1027},
               {"NIGHT normal set", KORAL_BLOCK(Night, normalSet, 0), 1028, 1059},
               {"NIGHT PTZ set", KORAL_BLOCK(Night, ptzSet, 0), 1060, 1091}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RegisterBanks banks;
    ASSERT_EQ(c.block(banks).size(), c.last - c.first + 1);
    c.block(banks).front() = 0xA5;
    c.block(banks).back() = 0xA6;
    SettingsImage expected{};
    expected[c.first] = 0xA5;
    expected[c.last] = 0xA6;
    EXPECT_EQ(ComposeSettingsImage(banks), expected);
    RegisterBanks loaded;
    DistributeSettingsImage(expected, loaded);
    EXPECT_EQ(c.block(loaded).front(), 0xA5);
    EXPECT_EQ(c.block(loaded).back(), 0xA6);
  }
}
#undef KORAL_BLOCK

// Every line lands in its own bank byte, none in the clock Date-Time bytes 0..13.
TEST(SettingsLayout, DistinctImage_survivesDistributeAndComposeAndSparesTheClock) {
  SettingsImage image{};
  for (std::size_t i = 0; i < image.size(); ++i)
    image[i] = static_cast<std::uint8_t>(i * 7 % 251 + 1);
  RegisterBanks banks;
  DistributeSettingsImage(image, banks);
  EXPECT_EQ(ComposeSettingsImage(banks), image);
  for (const BankId id : {BankId::Day, BankId::Night}) {
    for (std::size_t i = 0; i < kFirstKeptDateTimeByte; ++i)
      EXPECT_EQ(banks.Bank(id).dateTime[i], 0) << BankName(id) << " " << i;
  }
}

}  // namespace
}  // namespace koral
