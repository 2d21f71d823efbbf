#include "ui/monitor_text_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

#include "monitor/monitor_display.h"

namespace koral::ui {
namespace {

constexpr int kMarginPx = 3;
constexpr int kHintColumns = 60;
constexpr int kHintRows = 20;
constexpr int kMinimumColumns = 30;
constexpr int kMinimumRows = 5;

std::string_view WithoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
    line.remove_suffix(1);
  return line;
}

// One character per byte, whatever the byte: the unit's bytes as received.
QString AsShown(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace

MonitorTextView::MonitorTextView(const MonitorDisplay& display, QWidget* parent)
    : QAbstractScrollArea(parent), display_(display) {
  setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setCursor(Qt::IBeamCursor);
  Refresh();
}

void MonitorTextView::Refresh() {
  const std::uint64_t revision = display_.Revision();
  if (revision == revision_) return;
  const std::size_t count = display_.LineCount();
  // The display counts one revision per line put on top and one per clear:
  // when the two do not agree, it was cleared since the last look.
  const bool cleared = count < count_ || revision - revision_ != count - count_;
  const std::size_t added = cleared ? count : count - count_;
  const int top = verticalScrollBar()->value();
  if (cleared) {
    selecting_ = false;
    longestChars_ = 0;
  }
  revision_ = revision;
  count_ = count;
  std::size_t longest = longestChars_;
  for (std::size_t row = 0; row < added; ++row)
    longest = std::max(longest, WithoutLineEnd(display_.Line(row)).size());
  longestChars_ = longest;
  UpdateScrollBars();
  // Scrolled down, the lines in view stay where they are; at the top the
  // newest line shows.
  if (!cleared && top > 0) verticalScrollBar()->setValue(top + static_cast<int>(added));
  if (cleared) verticalScrollBar()->setValue(0);
  viewport()->update();
}

std::size_t MonitorTextView::TopLine() const {
  return static_cast<std::size_t>(verticalScrollBar()->value());
}

std::string_view MonitorTextView::LineByArrival(std::size_t arrival) const {
  // Painting may come between an arrival and the next Refresh(): the display
  // then holds more lines than the view has counted, all of them on top.
  const std::size_t held = display_.LineCount();
  if (arrival >= held) return {};
  return display_.Line(held - 1 - arrival);
}

int MonitorTextView::LineHeight() const {
  return std::max(1, fontMetrics().lineSpacing());
}

int MonitorTextView::CharWidth() const {
  return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
}

int MonitorTextView::RowsInView() const {
  return std::max(1, viewport()->height() / LineHeight());
}

void MonitorTextView::UpdateScrollBars() {
  const int rows = RowsInView();
  QScrollBar& vertical = *verticalScrollBar();
  vertical.setRange(0, std::max(0, static_cast<int>(count_) - rows));
  vertical.setPageStep(rows);
  vertical.setSingleStep(1);
  const qint64 width = static_cast<qint64>(longestChars_) * CharWidth() + 2 * kMarginPx;
  QScrollBar& horizontal = *horizontalScrollBar();
  horizontal.setRange(0, static_cast<int>(std::max<qint64>(0, width - viewport()->width())));
  horizontal.setPageStep(viewport()->width());
  horizontal.setSingleStep(CharWidth());
}

std::size_t MonitorTextView::ArrivalAt(int y) const {
  const qint64 row = static_cast<qint64>(verticalScrollBar()->value()) + (y < 0 ? -1 : y / LineHeight());
  const qint64 clamped = std::clamp<qint64>(row, 0, static_cast<qint64>(count_) - 1);
  return ArrivalOfRow(static_cast<std::size_t>(clamped));
}

void MonitorTextView::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  painter.setFont(font());
  const QFontMetrics metrics = fontMetrics();
  const int height = LineHeight();
  const int x = kMarginPx - horizontalScrollBar()->value();
  const std::size_t first = TopLine();
  const std::size_t lo = std::min(anchor_, active_);
  const std::size_t hi = std::max(anchor_, active_);
  const QPalette& colours = palette();
  for (int y = 0; y < viewport()->height(); y += height) {
    const std::size_t row = first + static_cast<std::size_t>(y / height);
    if (row >= count_) break;
    const std::size_t arrival = ArrivalOfRow(row);
    const bool selected = selecting_ && arrival >= lo && arrival <= hi;
    if (selected) painter.fillRect(QRect(0, y, viewport()->width(), height), colours.highlight());
    painter.setPen(colours.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter.drawText(QPoint(x, y + metrics.ascent()), AsShown(WithoutLineEnd(LineByArrival(arrival))));
  }
}

void MonitorTextView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void MonitorTextView::changeEvent(QEvent* event) {
  QAbstractScrollArea::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateScrollBars();
}

void MonitorTextView::mousePressEvent(QMouseEvent* event) {
  if (count_ == 0) return;
  if (event->button() == Qt::RightButton && selecting_) return;  // the context menu acts on the selection
  const std::size_t arrival = ArrivalAt(event->position().toPoint().y());
  if (!((event->modifiers() & Qt::ShiftModifier) && selecting_)) anchor_ = arrival;
  active_ = arrival;
  selecting_ = true;
  viewport()->update();
}

void MonitorTextView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !selecting_ || count_ == 0) return;
  const int y = event->position().toPoint().y();
  // Dragging past an edge scrolls on, a line per move.
  QScrollBar& vertical = *verticalScrollBar();
  if (y < 0) vertical.setValue(vertical.value() - 1);
  if (y >= viewport()->height()) vertical.setValue(vertical.value() + 1);
  active_ = ArrivalAt(std::clamp(y, -1, viewport()->height() - 1));
  viewport()->update();
}

void MonitorTextView::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopySelection();
  } else if (event->matches(QKeySequence::SelectAll)) {
    SelectAll();
  } else if (event->matches(QKeySequence::MoveToStartOfDocument)) {
    verticalScrollBar()->setValue(0);
  } else if (event->matches(QKeySequence::MoveToEndOfDocument)) {
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  } else {
    QAbstractScrollArea::keyPressEvent(event);
  }
}

void MonitorTextView::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(tr("&Copy"), this, &MonitorTextView::CopySelection);
  copy->setShortcut(QKeySequence::Copy);
  copy->setEnabled(selecting_);
  QAction* all = menu.addAction(tr("Select &All"), this, &MonitorTextView::SelectAll);
  all->setShortcut(QKeySequence::SelectAll);
  all->setEnabled(count_ > 0);
  menu.exec(event->globalPos());
}

QString MonitorTextView::SelectedText() const {
  if (!selecting_) return {};
  const std::size_t lo = std::min(anchor_, active_);
  const std::size_t hi = std::max(anchor_, active_);
  QString text;
  for (std::size_t arrival = hi + 1; arrival-- > lo;)
    text += AsShown(LineByArrival(arrival));
  return text;
}

void MonitorTextView::SelectAll() {
  if (count_ == 0) return;
  anchor_ = 0;
  active_ = count_ - 1;
  selecting_ = true;
  viewport()->update();
}

void MonitorTextView::ClearSelection() {
  selecting_ = false;
  viewport()->update();
}

void MonitorTextView::CopySelection() const {
  if (selecting_) QGuiApplication::clipboard()->setText(SelectedText());
}

QSize MonitorTextView::sizeHint() const {
  return {kHintColumns * CharWidth() + 2 * kMarginPx + verticalScrollBar()->sizeHint().width(),
          kHintRows * LineHeight() + horizontalScrollBar()->sizeHint().height()};
}

QSize MonitorTextView::minimumSizeHint() const {
  return {kMinimumColumns * CharWidth() + 2 * kMarginPx + verticalScrollBar()->sizeHint().width(),
          kMinimumRows * LineHeight() + horizontalScrollBar()->sizeHint().height()};
}

}  // namespace koral::ui
