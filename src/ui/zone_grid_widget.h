// The zone grid of the "Zone" tab: 24 x 12 squares, each with the caption the
// view-model gives its cell. A press and a drag with the button held forward
// the cells under the pointer to the view-model, which does the painting.
#pragma once

#include <QPointF>
#include <QWidget>
#include <optional>
#include <vector>

namespace koral {
class SettingsWindowModel;
}

// Geometry of the grid in device-independent pixels (96 dpi): squares of 255
// twips at a 240-twip pitch, so neighbours share one border line.
namespace zone_grid {
inline constexpr int kPitch = 16;
inline constexpr int kSquare = 17;
inline constexpr int kWidth = 23 * kPitch + kSquare;   // 24 columns
inline constexpr int kHeight = 11 * kPitch + kSquare;  // 12 rows

// The cell under a position, or nothing outside the grid.
std::optional<int> CellAt(QPointF position);

// Every cell the straight path from one position to another passes through,
// in the order the pointer reaches them; the cell of `from` comes first when
// it is inside the grid. Cells outside the grid are left out.
std::vector<int> CellsAlong(QPointF from, QPointF to);
}  // namespace zone_grid

class ZoneGridWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ZoneGridWidget(koral::SettingsWindowModel& model, QWidget* parent = nullptr);

  // Repaints every caption from the view-model.
  void ShowGrid();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  koral::SettingsWindowModel& model_;
  QPointF lastPosition_;  // where the stroke's pointer was last seen
  std::optional<int> lastCell_;
};
