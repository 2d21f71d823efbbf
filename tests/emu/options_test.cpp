#include "options.h"

#include <gtest/gtest.h>

#include <vector>

namespace koral::emu {
namespace {

std::variant<EmuOptions, std::string> Parse(std::vector<std::string_view> args) {
  return ParseOptions(args);
}

TEST(Options, none_givesAFactoryQt1RxOnAPseudoTerminal) {
  const auto parsed = Parse({});
  ASSERT_TRUE(std::holds_alternative<EmuOptions>(parsed));
  const auto& o = std::get<EmuOptions>(parsed);
  EXPECT_EQ(o.model, UnitModel::Qt1Rx);
  EXPECT_EQ(o.video, VideoStandard::Ntsc);
  EXPECT_FALSE(o.udp);
  EXPECT_FALSE(o.linkPath);
  EXPECT_FALSE(o.address);
  EXPECT_FALSE(o.faults.silent);
  EXPECT_EQ(o.faults.pieces, 1);
}

TEST(Options, everyOption_isTaken) {
  const auto parsed =
      Parse({"--link",       "/tmp/com1", "--model", "qt-mx",    "--video=pal",  "--address", "37",          "--load",
             "in.txt",       "--dump",    "out.txt", "--silent", "--drop-after", "12",        "--garble",    "0.05",
             "--seed",       "9",         "--slow",  "250",      "--pieces",     "3",         "--piece-gap", "20",
             "--video-loss", "--still",   "-q"});
  ASSERT_TRUE(std::holds_alternative<EmuOptions>(parsed)) << std::get<std::string>(parsed);
  const auto& o = std::get<EmuOptions>(parsed);
  EXPECT_EQ(o.linkPath, "/tmp/com1");
  EXPECT_EQ(o.model, UnitModel::QtMx);
  EXPECT_EQ(o.video, VideoStandard::Pal);
  EXPECT_EQ(o.address, 37);
  EXPECT_EQ(o.loadFile, "in.txt");
  EXPECT_EQ(o.dumpFile, "out.txt");
  EXPECT_TRUE(o.faults.silent);
  EXPECT_EQ(o.faults.dropAfterUpload, 12);
  EXPECT_DOUBLE_EQ(o.faults.garbleRate, 0.05);
  EXPECT_EQ(o.faults.garbleSeed, 9u);
  EXPECT_EQ(o.faults.slowMs, 250);
  EXPECT_EQ(o.faults.pieces, 3);
  EXPECT_EQ(o.faults.pieceGapMs, 20);
  EXPECT_TRUE(o.videoLoss);
  EXPECT_TRUE(o.still);
  EXPECT_TRUE(o.quiet);
}

struct UdpCase {
  const char* name;
  const char* text;
  UdpListen listen;
};

class UdpOption : public testing::TestWithParam<UdpCase> {};

TEST_P(UdpOption, address_givesTheListenAddressAndPort) {
  const auto parsed = Parse({"--udp", GetParam().text});
  ASSERT_TRUE(std::holds_alternative<EmuOptions>(parsed)) << std::get<std::string>(parsed);
  EXPECT_EQ(std::get<EmuOptions>(parsed).udp, GetParam().listen);
}

INSTANTIATE_TEST_SUITE_P(Addresses, UdpOption,
                         testing::Values(UdpCase{"defaultPort", "127.0.0.1", {"127.0.0.1", 26482}},
                                         UdpCase{"port", "0.0.0.0:4000", {"0.0.0.0", 4000}},
                                         UdpCase{"anyPort", "127.0.0.1:0", {"127.0.0.1", 0}},
                                         UdpCase{"localhost", "localhost:26483", {"127.0.0.1", 26483}}),
                         [](const testing::TestParamInfo<UdpCase>& p) { return std::string(p.param.name); });

struct BadCase {
  const char* name;
  std::vector<std::string_view> args;
  std::string error;
};

class BadOptions : public testing::TestWithParam<BadCase> {};

TEST_P(BadOptions, badCommandLine_saysWhy) {
  const auto parsed = Parse(GetParam().args);
  ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
  EXPECT_EQ(std::get<std::string>(parsed), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadOptions,
    testing::Values(BadCase{"unknown", {"--fast"}, "unknown option '--fast'"},
                    BadCase{"missingValue", {"--load"}, "--load needs a value"},
                    BadCase{"model", {"--model", "qt-2"}, "--model is qt-1rx or qt-mx, not 'qt-2'"},
                    BadCase{"video", {"--video", "secam"}, "--video is ntsc or pal, not 'secam'"},
                    BadCase{"address", {"--address", "128"}, "--address is a number 0..127, not '128'"},
                    BadCase{"garble", {"--garble", "5%"}, "--garble is a share 0..1 such as 0.05, not '5%'"},
                    BadCase{"dropAfter", {"--drop-after", "-1"}, "--drop-after is a count of frames, not '-1'"},
                    BadCase{"udpAddress",
                            {"--udp", "bridge:26482"},
                            "--udp wants ADDR[:PORT] with a dotted IPv4 address, not 'bridge:26482'"},
                    BadCase{"udpPort",
                            {"--udp", "127.0.0.1:70000"},
                            "--udp wants ADDR[:PORT] with a dotted IPv4 address, not '127.0.0.1:70000'"},
                    BadCase{"pieces", {"--pieces", "0"}, "--pieces is a count 1..100, not '0'"},
                    BadCase{"pieceGap", {"--piece-gap", "1s"}, "--piece-gap is milliseconds 0..1000, not '1s'"},
                    BadCase{"piecesOnUdp",
                            {"--udp", "127.0.0.1", "--pieces", "2"},
                            "--pieces is for the pseudo-terminal; it does not go with --udp"},
                    BadCase{"flagWithValue", {"--silent=yes"}, "--silent takes no value"},
                    BadCase{"linkAndUdp",
                            {"--link", "/tmp/x", "--udp", "127.0.0.1"},
                            "--link is for the pseudo-terminal; it does not go with --udp"}),
    [](const testing::TestParamInfo<BadCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace koral::emu
