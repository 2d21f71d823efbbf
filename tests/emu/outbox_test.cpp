#include "unit/outbox.h"

#include <gtest/gtest.h>

#include "emu_test_support.h"

namespace koral::emu::test {
namespace {

struct OutboxFixture {
  explicit OutboxFixture(int gapMs, LineFaults faults = {})
      : outbox(gapMs, faults, [this](const std::string& line) { log.push_back(line); }) {}
  void Push(FrameKind kind, Bytes bytes, std::int64_t atMs) { outbox.Push({kind, std::move(bytes), "frame"}, atMs); }
  std::vector<Sent> RunUntil(std::int64_t ms) {
    std::vector<Sent> sent;
    while (const auto due = outbox.NextDueMs()) {
      if (*due > ms) break;
      for (Bytes& bytes : outbox.TakeDue(*due))
        sent.push_back({*due, std::move(bytes)});
    }
    return sent;
  }
  std::vector<std::string> log;
  Outbox outbox;
};

TEST(Outbox, framesMadeTogether_leaveTheGapApart) {
  OutboxFixture f(150);
  f.Push(FrameKind::Upload, {1}, 0);
  f.Push(FrameKind::IpReply, {2}, 0);
  f.Push(FrameKind::StatusReply, {3}, 10);
  EXPECT_EQ(f.RunUntil(1000), (std::vector<Sent>{{0, {1}}, {150, {2}}, {300, {3}}}));
}

TEST(Outbox, waitingStatusReply_isUpdatedInsteadOfRepeated) {
  OutboxFixture f(150);
  f.Push(FrameKind::Upload, {1}, 0);
  f.Push(FrameKind::StatusReply, {0x18}, 0);
  f.Push(FrameKind::StatusReply, {0x98}, 20);
  EXPECT_EQ(f.RunUntil(1000), (std::vector<Sent>{{0, {1}}, {150, {0x98}}}));
}

TEST(Outbox, waitingUploadFrames_areAllSent) {
  OutboxFixture f(0);
  f.Push(FrameKind::Upload, {1}, 0);
  f.Push(FrameKind::Upload, {2}, 0);
  EXPECT_EQ(f.RunUntil(0), (std::vector<Sent>{{0, {1}}, {0, {2}}}));
}

TEST(Outbox, tooManyWaiting_dropsTheNewest) {
  OutboxFixture f(150);
  for (std::size_t i = 0; i <= Outbox::kMaxWaiting; ++i)
    f.Push(FrameKind::Upload, {static_cast<std::uint8_t>(i)}, 0);
  EXPECT_EQ(f.RunUntil(100'000).size(), Outbox::kMaxWaiting);
  EXPECT_EQ(f.log.front(), "-> frame dropped: 32 frames already wait");
}

struct GarbleCase {
  const char* name;
  double rate;
  int changed;  // of 64 bytes, with seed 1
};

class OutboxGarble : public testing::TestWithParam<GarbleCase> {};

TEST_P(OutboxGarble, rate_corruptsThatShareOfTheBytes) {
  LineFaults faults;
  faults.garbleRate = GetParam().rate;
  OutboxFixture f(0, faults);
  const Bytes clean(64, 0x55);
  f.Push(FrameKind::Upload, clean, 0);
  const auto sent = f.RunUntil(0);
  ASSERT_EQ(sent.size(), 1u);
  int changed = 0;
  for (std::size_t i = 0; i < clean.size(); ++i)
    changed += sent[0].bytes[i] != clean[i] ? 1 : 0;
  EXPECT_EQ(changed, GetParam().changed);
}

INSTANTIATE_TEST_SUITE_P(Rates, OutboxGarble, testing::Values(GarbleCase{"none", 0.0, 0}, GarbleCase{"all", 1.0, 64}),
                         [](const testing::TestParamInfo<GarbleCase>& p) { return std::string(p.param.name); });

TEST(OutboxGarble, sameSeed_corruptsTheSameBytes) {
  LineFaults faults;
  faults.garbleRate = 0.25;
  faults.garbleSeed = 7;
  OutboxFixture a(0, faults);
  OutboxFixture b(0, faults);
  a.Push(FrameKind::Upload, Bytes(64, 0x55), 0);
  b.Push(FrameKind::Upload, Bytes(64, 0x55), 0);
  const auto sentA = a.RunUntil(0);
  const auto sentB = b.RunUntil(0);
  EXPECT_EQ(sentA, sentB);
  EXPECT_NE(sentA[0].bytes, Bytes(64, 0x55));
}

}  // namespace
}  // namespace koral::emu::test
