// txtDisplay of the monitor windows: a read-only view of a monitor's lines,
// newest on top. It paints only the lines in sight, straight from the
// display, so a million lines cost no more than a thousand and the text is
// held once, by the display. Whole lines are selected; the selection is kept
// by arrival order, so lines arriving on top do not move it.
#pragma once

#include <QAbstractScrollArea>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace koral {
class MonitorDisplay;
}

namespace koral::ui {

class MonitorTextView : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit MonitorTextView(const MonitorDisplay& display, QWidget* parent = nullptr);

  // Catches up with the display (new lines, a clear); nothing to do when its
  // revision is the one last seen. Lines in view stay in place unless the
  // view is at the top, where it follows the newest line.
  void Refresh();

  // The lines shown since the last Refresh().
  std::size_t LineCount() const { return count_; }
  // The first line in view, counted from the top (0 = newest).
  std::size_t TopLine() const;

  // The selected lines top-down, each with its CR LF: what Copy puts on the
  // clipboard.
  QString SelectedText() const;
  bool HasSelection() const { return selecting_; }
  void SelectAll();
  void ClearSelection();
  void CopySelection() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Lines are kept apart by arrival order: 0 = the oldest since the last clear.
  std::string_view LineByArrival(std::size_t arrival) const;
  std::size_t ArrivalOfRow(std::size_t fromTop) const { return count_ - 1 - fromTop; }
  // The line under a viewport point, clamped to the lines there are.
  std::size_t ArrivalAt(int y) const;
  int LineHeight() const;
  int CharWidth() const;
  int RowsInView() const;
  void UpdateScrollBars();

  const MonitorDisplay& display_;
  std::uint64_t revision_ = 0;
  std::size_t count_ = 0;
  std::size_t longestChars_ = 0;
  bool selecting_ = false;
  std::size_t anchor_ = 0;  // arrival index where the selection began
  std::size_t active_ = 0;  // arrival index where it ends now
};

}  // namespace koral::ui
