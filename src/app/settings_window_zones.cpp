// The Zone tab: 288 cells painted with the selected zone, the zone buttons the
// motion mode allows, and the fixed PTZ corner markers.
#include <algorithm>

#include "app/settings_window_model.h"
#include "zones/motion_modes.h"

namespace koral {
namespace {

struct CornerCells {
  int zone;
  std::array<int, 3> cells;
};

// In the mode "PTZ", zones E..H are three-cell markers in the picture's corners.
constexpr std::array<CornerCells, 4> kPtzCorners = {{
    {4, {0, 1, 24}},
    {5, {22, 23, 47}},
    {6, {240, 264, 265}},
    {7, {263, 286, 287}},
}};

bool IsPtzCorner(int cell) {
  return std::any_of(kPtzCorners.begin(), kPtzCorners.end(), [cell](const CornerCells& corner) {
    return std::find(corner.cells.begin(), corner.cells.end(), cell) != corner.cells.end();
  });
}

char ZoneLetter(int zone) {
  return zone == kPaintNoZone ? '-' : static_cast<char>('A' + zone);
}

}  // namespace

void SettingsWindowModel::SelectPaintZone(int button) {
  ChangeScope scope(*this);
  if (button >= 0 && button < kZoneButtonCount) Change(selectedPaintZone_, button, SettingsPart::ZoneGrid);
}

void SettingsWindowModel::PressCell(int cell) {
  ChangeScope scope(*this);
  strokeActive_ = true;
  PaintCell(cell);
}

void SettingsWindowModel::DragOverCell(int cell) {
  ChangeScope scope(*this);
  if (strokeActive_) PaintCell(cell);
}

void SettingsWindowModel::ReleaseStroke() {
  ChangeScope scope(*this);
  strokeActive_ = false;
}

void SettingsWindowModel::PaintCell(int cell) {
  if (cell < 0 || cell >= kZoneCellCount) return;
  if (Read(reg::kMotionMode) == reg::kMotionModePtz && IsPtzCorner(cell)) return;
  if (selectedPaintZone_ < 0 || selectedPaintZone_ > kPaintNoZone)
    Change(selectedPaintZone_, 0, SettingsPart::ZoneGrid);
  ShowCell(cell, ZoneLetter(selectedPaintZone_));
  Write(zone::Cell(cell), selectedPaintZone_);
}

void SettingsWindowModel::ShowCell(int cell, char caption) {
  Change(zoneCaptions_[static_cast<std::size_t>(cell)], caption, SettingsPart::ZoneGrid);
}

void SettingsWindowModel::EnableZoneButtons(int count) {
  if (count == 0) {
    Change(selectedPaintZone_, kPaintNoZone, SettingsPart::ZoneGrid);
  } else if (selectedPaintZone_ >= count && selectedPaintZone_ != kPaintNoZone) {
    Change(selectedPaintZone_, 0, SettingsPart::ZoneGrid);
  }
  for (int k = 0; k < kZoneCount; ++k)
    Change(zoneButtons_[static_cast<std::size_t>(k)], k < count, SettingsPart::ZoneGrid);
  Change(zoneButtons_[kPaintNoZone], true, SettingsPart::ZoneGrid);
  if (count == 0) {
    for (int cell = 0; cell < kZoneCellCount; ++cell)
      ShowCell(cell, '-');
  }
}

void SettingsWindowModel::RedrawZoneGrid() {
  for (int cell = 0; cell < kZoneCellCount; ++cell) {
    const int zone = Read(zone::Cell(cell)) & 0x0F;
    // Values 9..15 never come from this editor: the cell keeps what it showed.
    if (zone <= kPaintNoZone) ShowCell(cell, ZoneLetter(zone));
  }
  const auto mode = MotionModeOf(Read(reg::kMotionMode));
  if (!mode) return;
  BlankZonesFrom(mode->shownZones);
  if (mode->ptz) PlacePtzCorners();
}

void SettingsWindowModel::BlankZonesFrom(int zone) {
  for (int cell = 0; cell < kZoneCellCount; ++cell) {
    if (zone == 0 || (Read(zone::Cell(cell)) & 0x0F) >= zone) ShowCell(cell, '-');
  }
}

void SettingsWindowModel::PlacePtzCorners() {
  constexpr int kFirstCornerZone = 4;
  for (int cell = 0; cell < kZoneCellCount; ++cell) {
    if ((Read(zone::Cell(cell)) & 0x0F) >= kFirstCornerZone) {
      Write(zone::Cell(cell), kPaintNoZone);
      ShowCell(cell, '-');
    }
  }
  for (const CornerCells& corner : kPtzCorners) {
    for (const int cell : corner.cells) {
      Write(zone::Cell(cell), corner.zone);
      ShowCell(cell, ZoneLetter(corner.zone));
    }
  }
}

}  // namespace koral
