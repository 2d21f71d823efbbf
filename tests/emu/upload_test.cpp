#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

constexpr int kPcReadDelayMs = 100;  // the PC reads a frame this long after its first byte, then acknowledges

// The PC's side of an upload on the serial line: the opening, then an
// acknowledgement for every frame as it reads it, until block 0x20.
void RunSerialUpload(UnitHarness& h, std::uint8_t address, std::size_t frames = 82) {
  h.Send(UploadOpening(address));
  std::size_t acknowledged = 0;
  for (int guard = 0; guard < 1000 && acknowledged < frames; ++guard) {
    if (h.sent.size() > acknowledged) {
      const std::int64_t readAt = h.sent[acknowledged].atMs + kPcReadDelayMs;
      h.RunUntil(readAt);
      ++acknowledged;
      h.Send({0xBC});
    } else {
      h.RunFor(10);
    }
  }
}

TEST(UploadFrames, banks_makeEightyTwoFramesInSendingOrder) {
  const auto frames = ComposeUploadFrames(Distinct(0));
  ASSERT_EQ(frames.size(), 82u);
  std::size_t next = 0;
  for (const UploadBlockLayout& layout : kUploadBlocks) {
    for (int i = 0; i < layout.frames; ++i, ++next) {
      const UploadFrame& frame = frames[next];
      EXPECT_EQ(frame.block, layout.block);
      ASSERT_EQ(frame.bytes.size(), static_cast<std::size_t>(layout.dataPerFrame) + 3);
      EXPECT_EQ(frame.bytes.front(), 0x01);
      EXPECT_EQ(frame.bytes[1], layout.block);
      EXPECT_EQ(frame.bytes.back(), 0x03);
    }
  }
  EXPECT_EQ(frames.back().block, 0x20);
  EXPECT_EQ(frames[frames.size() - 2].block, 0x23);
}

struct BlockCase {
  std::uint8_t block;
  Bytes first;  // the data of the block's first frame, from factory NTSC banks at address 0x25
};

TEST(UploadFrames, factoryBanks_giveTheseDataBytesPerBlock) {
  const BlockCase cases[] = {// Timer1: days 0, start 08:00, stop 17:00
                             BlockCase{0x12, {0xD0, 0xD0, 0xD0, 0xD8, 0xD0, 0xD0, 0xD1, 0xD7}},
                             {0x13, Bytes(12, 0xD0)},
                             // "QT-1": the titler's codes of Q, T, -, 1
                             BlockCase{0x17, {0xD2, 0xD1, 0xD2, 0xD4, 0xD0, 0xDD, 0xD0, 0xD1}},
                             // Register 20 motion 1, 21 buzzer 1, 22 relay 1, 23 off, 24 off, 25 and 26 zero
                             BlockCase{0x18, {0xD0, 0xD1, 0xD0, 0xD1, 0xD0, 0xD1, 0xD0, 0xD0, 0xD0, 0xD0, 0xD0, 0xD0}},
                             {0x23, {0xD0, 0xD0}},
                             // Date-Time 7 and 8 zero, then NIGHT Registers 74..77: track times 4
                             BlockCase{0x20, {0xD0, 0xD0, 0xD0, 0xD0, 0xD0, 0xD4, 0xD0, 0xD4, 0xD0, 0xD4, 0xD0, 0xD4}}};
  for (const BlockCase& c : cases) {
    const Bytes data = UploadBlockData(Factory(0x25), c.block);
    EXPECT_EQ(Bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(c.first.size())), c.first)
        << HexByte(c.block);
  }
}

TEST(UploadFrames, pcUnpackingTheFrames_getsTheUnitSettings) {
  const RegisterBanks unit = Distinct(0x25);
  std::vector<Bytes> frames;
  for (const UploadFrame& frame : ComposeUploadFrames(unit))
    frames.push_back(frame.bytes);
  const RegisterBanks pc = UnpackUpload(frames, Factory());
  EXPECT_TRUE(SameSettings(pc.Bank(BankId::Day), unit.Bank(BankId::Day)));
  RegisterBank night = unit.Bank(BankId::Night);
  night.title[32] = unit.Bank(BankId::Day).title[32];  // the relay state comes back from DAY
  night.title[33] = unit.Bank(BankId::Day).title[33];
  EXPECT_TRUE(SameSettings(pc.Bank(BankId::Night), night));
}

TEST(Upload, serialUpload_oneFramePerAcknowledgementAFrameApart) {
  UnitHarness h(QuietConfig(), Distinct(0x25));
  RunSerialUpload(h, 0x25);
  ASSERT_EQ(h.sent.size(), 82u);
  const auto expected = ComposeUploadFrames(h.unit.Banks());
  for (std::size_t i = 0; i < h.sent.size(); ++i) {
    EXPECT_EQ(h.sent[i].bytes, expected[i].bytes) << "frame " << i;
    if (i > 0) {
      EXPECT_GE(h.sent[i].atMs - h.sent[i - 1].atMs, kSerialFrameGapMs) << "frame " << i;
    }
  }
  // The upload request 0xBB went out 70 ms after the opening's first byte.
  EXPECT_EQ(h.sent[0].atMs, 70);
  EXPECT_EQ(h.sent[1].atMs, 220);  // 0xBC at 170 ms, then the rest of the 150 ms gap
  EXPECT_TRUE(h.Logged("<- 0xBB upload request: 82 frames to send"));
  EXPECT_TRUE(h.Logged("-> upload frame 0x23 (1 of 1): " + Hex(expected[80].bytes)));
}

TEST(Upload, noAcknowledgementOrARepeatedRequest_sendsNothingMore) {
  UnitHarness h;
  h.Send(UploadOpening(0));
  h.RunFor(20000);
  EXPECT_EQ(h.sent.size(), 1u);
  h.Send({0xBB});
  h.RunFor(1000);
  EXPECT_EQ(h.sent.size(), 1u);
  EXPECT_TRUE(h.Logged("<- 0xBB repeated upload request, ignored"));
  h.Send({0xBC});
  h.RunFor(1000);
  ASSERT_EQ(h.sent.size(), 2u);
  EXPECT_EQ(h.sent[1].bytes[1], 0x12);
}

TEST(Upload, statusRequestDuringTheUpload_keepsItsDistanceFromTheFrames) {
  UnitHarness h;
  h.Send(UploadOpening(0));
  h.Send({0xBA, 0xBC});
  h.RunFor(1000);
  ASSERT_EQ(h.sent.size(), 3u);
  EXPECT_EQ(h.sent[0].atMs, 70);
  EXPECT_EQ(h.sent[1], (Sent{220, {0x01, 0x11, 0xBA, 0x18, 0x03}}));
  EXPECT_EQ(h.sent[2].atMs, 370);
  EXPECT_EQ(h.sent[2].bytes[1], 0x12);
}

TEST(Upload, networkUpload_framesLeaveAtOnce) {
  UnitHarness h(QuietConfig(UnitModel::Qt1Rx, LinkMode::Udp), Factory(0, LinkMode::Udp));
  h.Send(UploadOpening(0));
  h.Send({0xBC, 0xBC});
  ASSERT_EQ(h.sent.size(), 3u);
  EXPECT_EQ(h.sent[0].atMs, 70);
  EXPECT_EQ(h.sent[1].atMs, 80);
  EXPECT_EQ(h.sent[2].atMs, 90);
}

TEST(Upload, uploadForAnotherAddress_unitStaysQuiet) {
  UnitHarness h(QuietConfig(), Factory(0x25));
  h.Send(UploadOpening(0x05));
  h.Send({0xBC});
  h.RunFor(1000);
  EXPECT_TRUE(h.sent.empty());
  EXPECT_TRUE(h.Logged("<- address 0x05, upload selection: not this unit (0x25)"));
  EXPECT_TRUE(h.Logged("<- 0xBB upload request for another unit, no answer"));
}

TEST(Upload, pcAbandoningTheUpload_endsItAndKeysWorkAgain) {
  UnitHarness h;
  h.Send(UploadOpening(0));
  h.RunFor(1000);
  h.Send({0xA0, 0xA4});
  EXPECT_FALSE(h.unit.InTransfer());
  EXPECT_TRUE(h.Logged("<- 0xA4 upload abandoned after 1 of 82 frames"));
  h.Send({0xBC, 0xA2});
  h.RunFor(1000);
  const auto uploadFrames =
      std::count_if(h.sent.begin(), h.sent.end(), [](const Sent& s) { return s.bytes[0] == 0x01; });
  EXPECT_EQ(uploadFrames, 1);
  EXPECT_EQ(h.unit.Banks().ActiveBank(), BankId::Night);
}

TEST(Upload, completedUpload_endsWithTheTwoEndMarkers) {
  UnitHarness h;
  RunSerialUpload(h, 0);
  EXPECT_TRUE(h.unit.InTransfer());
  h.Send({0xA0, 0xA1});  // the first marker, then a byte that would otherwise be the DAY key
  EXPECT_TRUE(h.unit.InTransfer());
  h.Send({0xA0});
  EXPECT_FALSE(h.unit.InTransfer());
  EXPECT_TRUE(h.Logged("upload sequence complete"));
}

struct DropCase {
  const char* name;
  int dropAfter;
  std::size_t sent;
};

TEST(Upload, dropAfterFault_unitFallsSilentAfterThatManyFrames) {
  const DropCase cases[] = {{"none", 0, 0}, {"five", 5, 5}, {"all", 82, 82}};
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.name);
    UnitConfig config = QuietConfig();
    config.faults.dropAfterUpload = c.dropAfter;
    UnitHarness h(config);
    RunSerialUpload(h, 0, static_cast<std::size_t>(c.dropAfter));
    h.Send({0xBC, 0xBA});
    h.RunFor(5000);
    EXPECT_EQ(h.sent.size(), c.sent);
    EXPECT_TRUE(h.Logged("falls silent after " + std::to_string(c.dropAfter) + " upload frames"));
    EXPECT_TRUE(h.Logged("-> status reply (DAY, alarm enabled, video OK) not sent (fallen silent)"));
  }
}

}  // namespace
}  // namespace koral::emu::test
