#include "zones/track_time.h"

#include <gtest/gtest.h>

#include "zones/motion_modes.h"

namespace koral {
namespace {

TEST(TrackTimeLabel, threeScalesAndNothingBeyond) {
  const std::pair<int, const char*> cases[] = {
      {0, "0.0s"},    {4, "0.4s"},    {99, "9.9s"},   {100, "10s"},   {149, "59s"}, {150, "1.00m"}, {151, "1.05m"},
      {161, "1.55m"}, {162, "2.00m"}, {197, "4.55m"}, {198, "5.00m"}, {199, ""},    {255, ""},      {-1, ""},
  };
  for (const auto& [code, label] : cases)
    EXPECT_EQ(TrackTimeLabel(code), label) << code;
}

TEST(MotionModes, editorShapeOfEachMode) {
  ASSERT_EQ(kMotionModes.size(), 16u);
  EXPECT_EQ(kMotionModes[0].item, "OFF");
  EXPECT_EQ(kMotionModes[11].item, "Direction A->B .. G->H");
  for (int mode = 1; mode <= 8; ++mode)
    EXPECT_EQ(kMotionModes[static_cast<std::size_t>(mode)].paintZones, mode);
  EXPECT_EQ(kMotionModes[10].shownZones, kMotionModes[2].shownZones);
  EXPECT_EQ(kMotionModes[14].paintZones, 8);
  EXPECT_TRUE(kMotionModes[15].ptz);
  EXPECT_EQ(kMotionModes[15].paintZones, 4);
  EXPECT_EQ(kMotionModes[15].shownZones, 8);
  EXPECT_FALSE(MotionModeOf(16).has_value());
}

}  // namespace
}  // namespace koral
