#include <array>
#include <string>

#include "settings_window_fixture.h"

namespace koral::testing_support {
namespace {

constexpr int kPtz = 15;
constexpr int kNoZone = kPaintNoZone;

struct Corner {
  int cell;
  int zone;
};
constexpr std::array<Corner, 12> kCorners = {
    {{0, 4}, {1, 4}, {24, 4}, {22, 5}, {23, 5}, {47, 5}, {240, 6}, {264, 6}, {265, 6}, {263, 7}, {286, 7}, {287, 7}}};

char Letter(int zone) {
  return zone == kNoZone ? '-' : static_cast<char>('A' + zone);
}

class ZoneGridTest : public SettingsWindowTest {
 protected:
  int Cell(BankId bank, int cell) const { return ReadBank(bank, zone::Cell(cell)) & 0x0F; }
  void Paint(int zone, int cell) {
    window.SelectPaintZone(zone);
    window.PressCell(cell);
    window.ReleaseStroke();
  }
};

TEST_F(ZoneGridTest, beforeFirstRedraw_captionsShowQuestionMark_outOfRangePaintZoneIgnored) {
  EXPECT_EQ(window.ZoneCaption(0), '?');
  EXPECT_EQ(window.ZoneCaption(287), '?');
  Open();
  EXPECT_EQ(window.ZoneCaption(287), 'A');
  window.SelectPaintZone(kNoZone);
  window.SelectPaintZone(9);
  window.SelectPaintZone(-1);
  EXPECT_EQ(window.SelectedPaintZone(), kNoZone);
}

TEST_F(ZoneGridTest, offMode_leavesOnlyNoZoneButtonAndPaintsNoZone) {
  Open();
  window.SelectMotionMode(0);
  for (int k = 0; k < kZoneButtonCount; ++k)
    EXPECT_EQ(window.ZoneButtonEnabled(k), k == kNoZone) << k;
  EXPECT_EQ(window.SelectedPaintZone(), kNoZone);
  for (int c = 0; c < kZoneCellCount; ++c)
    ASSERT_EQ(window.ZoneCaption(c), '-') << c;
  EXPECT_EQ(Cell(BankId::Day, 100), 0);  // hidden, not erased
  window.PressCell(100);
  EXPECT_EQ(Cell(BankId::Day, 100), kNoZone);
  EXPECT_EQ(window.ZoneCaption(100), '-');
}

TEST_F(ZoneGridTest, painting_writesOnlyActiveBankAndMarksModified) {
  Open();
  ASSERT_FALSE(session.banks.SettingsModified());
  Paint(kNoZone, 50);
  EXPECT_EQ(Cell(BankId::Day, 50), kNoZone);
  EXPECT_EQ(Cell(BankId::Night, 50), 0);
  EXPECT_TRUE(session.banks.SettingsModified());
  window.AfterBankSwitch(BankId::Night);
  EXPECT_EQ(window.ZoneCaption(50), 'A');
  Paint(kNoZone, 60);
  EXPECT_EQ(Cell(BankId::Night, 60), kNoZone);
  EXPECT_EQ(Cell(BankId::Day, 60), 0);
}

TEST_F(ZoneGridTest, eightToThreeAreas_hidesZonesDToHWithoutErasing) {
  const struct {
    int selected;
    int afterwards;
  } cases[] = {{3, 0}, {7, 0}, {kNoZone, kNoZone}, {2, 2}, {0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selected);
    Open();
    window.SelectMotionMode(8);
    for (int z = 0; z < kZoneCount; ++z)
      Paint(z, 30 + z);
    window.SelectPaintZone(c.selected);
    window.SelectMotionMode(3);
    EXPECT_EQ(window.SelectedPaintZone(), c.afterwards);
    for (int z = 0; z < kZoneCount; ++z) {
      EXPECT_EQ(window.ZoneCaption(30 + z), z < 3 ? Letter(z) : '-') << z;
      EXPECT_EQ(Cell(BankId::Day, 30 + z), z) << z;
    }
    window.SelectMotionMode(8);
    for (int z = 0; z < kZoneCount; ++z)
      EXPECT_EQ(window.ZoneCaption(30 + z), Letter(z)) << z;
  }
}

TEST_F(ZoneGridTest, cellHoldingNine_keepsCaptionUnlessBlankedByMode) {
  Open();
  Poke(BankId::Day, zone::Cell(40), 9);
  Poke(BankId::Day, zone::Cell(41), 7);
  Poke(BankId::Day, reg::kMotionMode, 16);
  window.RefreshWindow();  // a mode without a list item: no blanking
  EXPECT_FALSE(window.MotionModeList().position.has_value());
  EXPECT_EQ(Read(reg::kMotionMode), 16);
  EXPECT_EQ(window.ZoneCaption(40), 'A');
  EXPECT_EQ(window.ZoneCaption(41), 'H');
  Poke(BankId::Day, reg::kMotionMode, 8);
  window.RefreshWindow();
  EXPECT_EQ(window.MotionModeList().position, 8);
  EXPECT_EQ(window.ZoneCaption(40), '-');
  EXPECT_EQ(window.ZoneCaption(41), 'H');
  EXPECT_EQ(Cell(BankId::Day, 40), 9);
}

TEST_F(ZoneGridTest, choosingPtz_erasesZonesEToHOutsideCorners) {
  Open();
  window.SelectMotionMode(8);
  for (int z = 0; z < kZoneCount; ++z)
    Paint(z, 100 + z);
  Poke(BankId::Day, zone::Cell(110), 9);
  window.SelectMotionMode(kPtz);
  int inEToH = 0;
  for (int c = 0; c < kZoneCellCount; ++c)
    inEToH += Cell(BankId::Day, c) >= 4 && Cell(BankId::Day, c) < kNoZone;
  EXPECT_EQ(inEToH, 12);
  for (const Corner& corner : kCorners) {
    EXPECT_EQ(Cell(BankId::Day, corner.cell), corner.zone) << corner.cell;
    EXPECT_EQ(window.ZoneCaption(corner.cell), Letter(corner.zone)) << corner.cell;
  }
  for (int z = 0; z < kZoneCount; ++z) {
    EXPECT_EQ(Cell(BankId::Day, 100 + z), z < 4 ? z : kNoZone) << z;
    EXPECT_EQ(window.ZoneCaption(100 + z), z < 4 ? Letter(z) : '-') << z;
  }
  EXPECT_EQ(Cell(BankId::Day, 110), kNoZone);
  EXPECT_EQ(Cell(BankId::Night, 0), 0);
  window.SelectMotionMode(8);
  for (const Corner& corner : kCorners)
    EXPECT_EQ(window.ZoneCaption(corner.cell), Letter(corner.zone)) << corner.cell;
  Paint(1, 0);  // an ordinary cell again
  EXPECT_EQ(Cell(BankId::Day, 0), 1);
}

// Corner cells ignore a press and a drag; a stroke paints the other cells it
// crosses until the release.
TEST_F(ZoneGridTest, ptzStrokeAcrossCornerAndNormalCells_paintsOnlyNormalCellsUntilRelease) {
  Open();
  window.SelectMotionMode(kPtz);
  window.SelectPaintZone(2);
  for (const Corner& corner : kCorners) {
    window.PressCell(corner.cell);
    window.ReleaseStroke();
    EXPECT_EQ(window.ZoneCaption(corner.cell), Letter(corner.zone)) << corner.cell;
    EXPECT_EQ(Cell(BankId::Day, corner.cell), corner.zone) << corner.cell;
  }
  window.DragOverCell(3);  // no stroke yet
  window.PressCell(2);
  for (const int cell : {1, 25, 24, 48, 47})
    window.DragOverCell(cell);
  window.ReleaseStroke();
  window.DragOverCell(49);
  for (const int cell : {2, 25, 48}) {
    EXPECT_EQ(window.ZoneCaption(cell), 'C') << cell;
    EXPECT_EQ(Cell(BankId::Day, cell), 2) << cell;
  }
  for (const int cell : {1, 24})
    EXPECT_EQ(Cell(BankId::Day, cell), 4) << cell;
  EXPECT_EQ(Cell(BankId::Day, 47), 5);
  for (const int cell : {3, 49}) {
    EXPECT_EQ(window.ZoneCaption(cell), 'A') << cell;
    EXPECT_EQ(Cell(BankId::Day, cell), 0) << cell;
  }
}

}  // namespace
}  // namespace koral::testing_support
