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
  EXPECT_TRUE(o.model == UnitModel::Qt1Rx && o.video == VideoStandard::Ntsc && o.faults.pieces == 1);
  EXPECT_FALSE(o.udp || o.linkPath || o.address || o.faults.silent);
}

TEST(Options, everyOption_isTaken) {
  const auto parsed =
      Parse({"--link",    "/tmp/com1", "--model",      "qt-mx",    "--video=pal",  "--address", "37",          "--load",
             "in.txt",    "--dump",    "out.txt",      "--silent", "--drop-after", "12",        "--garble",    "0.05",
             "--seed",    "9",         "--slow",       "250",      "--pieces",     "3",         "--piece-gap", "20",
             "--garbage", "10",        "--video-loss", "--still",  "-q",           "--stamp",   "t.log"});
  ASSERT_TRUE(std::holds_alternative<EmuOptions>(parsed)) << std::get<std::string>(parsed);
  const auto& o = std::get<EmuOptions>(parsed);
  EXPECT_EQ(o.linkPath, "/tmp/com1");
  EXPECT_EQ(o.model, UnitModel::QtMx);
  EXPECT_EQ(o.video, VideoStandard::Pal);
  EXPECT_EQ(o.address, 37);
  EXPECT_EQ(o.loadFile, "in.txt");
  EXPECT_EQ(o.dumpFile, "out.txt");
  EXPECT_EQ(o.stampFile, "t.log");
  EXPECT_TRUE(o.faults.silent);
  EXPECT_EQ(o.faults.dropAfterUpload, 12);
  EXPECT_DOUBLE_EQ(o.faults.garbleRate, 0.05);
  EXPECT_EQ(o.faults.garbleSeed, 9u);
  EXPECT_EQ(o.faults.slowMs, 250);
  EXPECT_EQ(o.faults.pieces, 3);
  EXPECT_EQ(o.faults.pieceGapMs, 20);
  EXPECT_EQ(o.garbageSeconds, 10);
  EXPECT_TRUE(o.videoLoss);
  EXPECT_TRUE(o.still);
  EXPECT_TRUE(o.quiet);
}

TEST(Options, udpAddress_givesTheListenAddressAndPort) {
  const std::pair<const char*, UdpListen> cases[] = {{"127.0.0.1", {"127.0.0.1", 26482}},
                                                     {"0.0.0.0:4000", {"0.0.0.0", 4000}},
                                                     {"127.0.0.1:0", {"127.0.0.1", 0}},
                                                     {"localhost:26483", {"127.0.0.1", 26483}}};
  for (const auto& [text, listen] : cases) {
    const auto parsed = Parse({"--udp", text});
    ASSERT_TRUE(std::holds_alternative<EmuOptions>(parsed)) << std::get<std::string>(parsed);
    EXPECT_EQ(std::get<EmuOptions>(parsed).udp, listen) << text;
  }
}

TEST(Options, badCommandLine_saysWhy) {
  const std::string udpWants = "--udp wants ADDR[:PORT] with a dotted IPv4 address, not ";
  const std::string notWithUdp = " is for the pseudo-terminal; it does not go with --udp";
  const std::pair<std::vector<std::string_view>, std::string> cases[] = {
      {{"--fast"}, "unknown option '--fast'"},
      {{"--load"}, "--load needs a value"},
      {{"--model", "qt-2"}, "--model is qt-1rx or qt-mx, not 'qt-2'"},
      {{"--video", "secam"}, "--video is ntsc or pal, not 'secam'"},
      {{"--address", "128"}, "--address is a number 0..127, not '128'"},
      {{"--garble", "5%"}, "--garble is a share 0..1 such as 0.05, not '5%'"},
      {{"--drop-after", "-1"}, "--drop-after is a count of frames, not '-1'"},
      {{"--udp", "bridge:26482"}, udpWants + "'bridge:26482'"},
      {{"--udp", "127.0.0.1:70000"}, udpWants + "'127.0.0.1:70000'"},
      {{"--pieces", "0"}, "--pieces is a count 1..100, not '0'"},
      {{"--piece-gap", "1s"}, "--piece-gap is milliseconds 0..1000, not '1s'"},
      {{"--udp", "127.0.0.1", "--pieces", "2"}, "--pieces" + notWithUdp},
      {{"--garbage", "0"}, "--garbage is seconds 1..3600, not '0'"},
      {{"--udp", "127.0.0.1", "--garbage", "5"}, "--garbage" + notWithUdp},
      {{"--silent=yes"}, "--silent takes no value"},
      {{"--link", "/tmp/x", "--udp", "127.0.0.1"}, "--link" + notWithUdp}};
  for (const auto& [args, error] : cases) {
    const auto parsed = Parse(args);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << error;
    EXPECT_EQ(std::get<std::string>(parsed), error);
  }
}

}  // namespace
}  // namespace koral::emu
