#include "ui/monitor_printing.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>
#include <QStringList>
#include <algorithm>

namespace koral::ui {
namespace {

constexpr int kPointSize = 10;

// The text as printed rows: its lines, each cut into pieces of at most
// `columns` characters.
QStringList Rows(std::string_view text, int columns) {
  QStringList rows;
  const QString all = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  QStringList lines = all.split(QStringLiteral("\r\n"));
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();  // after the last line end
  for (const QString& line : lines) {
    if (line.isEmpty()) rows << line;
    for (qsizetype at = 0; at < line.size(); at += columns)
      rows << line.mid(at, columns);
  }
  return rows;
}

// One copy, from the painter's current page on.
void PrintCopy(QPrinter& printer, QPainter& painter, const QStringList& rows) {
  const QFontMetrics metrics = painter.fontMetrics();
  const int height = std::max(1, metrics.lineSpacing());
  const int rowsPerPage = std::max(1, printer.height() / height);
  for (qsizetype row = 0; row < rows.size(); ++row) {
    const int onPage = static_cast<int>(row % rowsPerPage);
    if (row > 0 && onPage == 0) printer.newPage();
    painter.drawText(QPoint(0, onPage * height + metrics.ascent()), rows[row]);
  }
}

}  // namespace

bool PrintMonitorText(QPrinter& printer, std::string_view text, int copies) {
  copies = std::max(1, copies);
  printer.setCopyCount(1);
  const bool toFile = printer.outputFormat() == QPrinter::PdfFormat || !printer.outputFileName().isEmpty();
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(kPointSize);
  QPainter painter;
  QStringList rows;
  for (int copy = 0; copy < copies; ++copy) {
    if (!toFile || copy == 0) {
      if (!painter.begin(&printer)) return false;
      painter.setFont(font);
    } else {
      printer.newPage();
    }
    if (copy == 0) {
      const int charWidth = std::max(1, painter.fontMetrics().horizontalAdvance(QLatin1Char('M')));
      rows = Rows(text, std::max(1, printer.width() / charWidth));
    }
    PrintCopy(printer, painter, rows);
    if (!toFile) painter.end();
  }
  if (toFile) painter.end();
  return true;
}

}  // namespace koral::ui
