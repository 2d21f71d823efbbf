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

// Seed 1 at rates 0 and 1 changes none and all; one seed always changes the same bytes.
TEST(OutboxGarble, rate_corruptsThatShareOfTheBytesTheSameWayForOneSeed) {
  const auto garbled = [](double rate, unsigned seed) {
    LineFaults faults;
    faults.garbleRate = rate;
    faults.garbleSeed = seed;
    OutboxFixture f(0, faults);
    f.Push(FrameKind::Upload, Bytes(64, 0x55), 0);
    const auto sent = f.RunUntil(0);
    return sent.size() == 1 ? sent[0].bytes : Bytes{};
  };
  const auto changed = [](const Bytes& bytes) { return std::count(bytes.begin(), bytes.end(), 0x55) - 64; };
  EXPECT_EQ(changed(garbled(0.0, 1)), 0);
  EXPECT_EQ(changed(garbled(1.0, 1)), -64);
  EXPECT_EQ(garbled(0.25, 7), garbled(0.25, 7));
  EXPECT_NE(garbled(0.25, 7), Bytes(64, 0x55));
}

}  // namespace
}  // namespace koral::emu::test
