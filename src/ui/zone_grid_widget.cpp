#include "ui/zone_grid_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "app/settings_window_model.h"
#include "model/register_map.h"

namespace zone_grid {
namespace {

// A position in cell units: column and row as real numbers. The last pixel
// line (the far border of the last column or row) still belongs to that cell.
double CellUnits(double pixels, int cells) {
  const double units = pixels / kPitch;
  return units >= cells && pixels < (cells - 1) * kPitch + kSquare ? std::nextafter(static_cast<double>(cells), 0.0)
                                                                   : units;
}

int Index(int column, int row) {
  return row * koral::kZoneColumns + column;
}

bool Inside(int column, int row) {
  return column >= 0 && column < koral::kZoneColumns && row >= 0 && row < koral::kZoneRows;
}

}  // namespace

std::optional<int> CellAt(QPointF position) {
  if (position.x() < 0 || position.y() < 0 || position.x() >= kWidth || position.y() >= kHeight) return std::nullopt;
  const int column = std::min(static_cast<int>(position.x()) / kPitch, koral::kZoneColumns - 1);
  const int row = std::min(static_cast<int>(position.y()) / kPitch, koral::kZoneRows - 1);
  return Index(column, row);
}

std::vector<int> CellsAlong(QPointF from, QPointF to) {
  // Walks the grid cell by cell along the segment, always crossing the
  // nearer cell border next (Amanatides and Woo), so no cell the segment
  // passes through is skipped however far apart the two positions are.
  const double x0 = CellUnits(from.x(), koral::kZoneColumns);
  const double y0 = CellUnits(from.y(), koral::kZoneRows);
  const double x1 = CellUnits(to.x(), koral::kZoneColumns);
  const double y1 = CellUnits(to.y(), koral::kZoneRows);
  int column = static_cast<int>(std::floor(x0));
  int row = static_cast<int>(std::floor(y0));
  const int lastColumn = static_cast<int>(std::floor(x1));
  const int lastRow = static_cast<int>(std::floor(y1));
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  const int stepX = dx > 0 ? 1 : -1;
  const int stepY = dy > 0 ? 1 : -1;
  constexpr double kNever = std::numeric_limits<double>::infinity();
  // Fractions of the segment at which the next column and row borders lie.
  const double spanX = dx != 0 ? std::abs(1.0 / dx) : kNever;
  const double spanY = dy != 0 ? std::abs(1.0 / dy) : kNever;
  double nextX = dx != 0 ? (stepX > 0 ? column + 1 - x0 : x0 - column) * spanX : kNever;
  double nextY = dy != 0 ? (stepY > 0 ? row + 1 - y0 : y0 - row) * spanY : kNever;

  std::vector<int> cells;
  const int steps = std::abs(lastColumn - column) + std::abs(lastRow - row);
  for (int i = 0;; ++i) {
    if (Inside(column, row)) cells.push_back(Index(column, row));
    if (i == steps) break;
    // Near an exact corner rounding may favour the wrong axis; never step
    // past the last column or row, so the walk ends in the cell of `to`.
    if (row == lastRow || (column != lastColumn && nextX < nextY)) {
      column += stepX;
      nextX += spanX;
    } else {
      row += stepY;
      nextY += spanY;
    }
  }
  return cells;
}

}  // namespace zone_grid

ZoneGridWidget::ZoneGridWidget(koral::SettingsWindowModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("ZoneGrid"));
  setAccessibleName(QStringLiteral("Zone grid"));
  setAccessibleDescription(
      QStringLiteral("24 by 12 detection cells showing their zone letter; press or drag to paint the chosen zone"));
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setAttribute(Qt::WA_OpaquePaintEvent);
  QFont letters = font();
  letters.setPixelSize(11);  // fits the 15-pixel inside of a square
  setFont(letters);
}

void ZoneGridWidget::ShowGrid() {
  update();
}

QSize ZoneGridWidget::sizeHint() const {
  return {zone_grid::kWidth, zone_grid::kHeight};
}

QSize ZoneGridWidget::minimumSizeHint() const {
  return sizeHint();
}

void ZoneGridWidget::paintEvent(QPaintEvent* /*event*/) {
  using zone_grid::kHeight;
  using zone_grid::kPitch;
  using zone_grid::kWidth;
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.fillRect(QRect(0, 0, kWidth, kHeight), palette().color(QPalette::Light));

  const QColor ink = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
  for (int column = 0; column <= koral::kZoneColumns; ++column)
    painter.fillRect(QRect(column * kPitch, 0, 1, kHeight), ink);
  for (int row = 0; row <= koral::kZoneRows; ++row)
    painter.fillRect(QRect(0, row * kPitch, kWidth, 1), ink);

  painter.setPen(ink);
  for (int row = 0; row < koral::kZoneRows; ++row) {
    for (int column = 0; column < koral::kZoneColumns; ++column) {
      const QRect inside(column * kPitch + 1, row * kPitch + 1, kPitch - 1, kPitch - 1);
      const char caption = model_.ZoneCaption(row * koral::kZoneColumns + column);
      painter.drawText(inside, Qt::AlignCenter, QString(QLatin1Char(caption)));
    }
  }
}

void ZoneGridWidget::mousePressEvent(QMouseEvent* event) {
  // Any button starts a stroke; a press beside the grid starts none.
  lastPosition_ = event->position();
  lastCell_ = zone_grid::CellAt(lastPosition_);
  if (lastCell_) {
    model_.PressCell(*lastCell_);
    update();
  }
  event->accept();
}

void ZoneGridWidget::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() == Qt::NoButton) return;
  // Moves arrive far apart when the pointer is fast: every cell between the
  // last position and this one was crossed, so each is passed on.
  bool painted = false;
  for (const int cell : zone_grid::CellsAlong(lastPosition_, event->position())) {
    if (cell == lastCell_) continue;
    model_.DragOverCell(cell);
    lastCell_ = cell;
    painted = true;
  }
  lastPosition_ = event->position();
  if (painted) update();
  event->accept();
}

void ZoneGridWidget::mouseReleaseEvent(QMouseEvent* event) {
  // The stroke lasts while any button is held.
  if (event->buttons() == Qt::NoButton) {
    model_.ReleaseStroke();
    lastCell_.reset();
  }
  event->accept();
}
