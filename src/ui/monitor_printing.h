// Print of the monitor windows: the display text on a printer, as many times
// as the print dialog's copy count asked for.
#pragma once

#include <string_view>

class QPrinter;

namespace koral::ui {

// Prints `text` (lines ending in CR LF, one character per byte) in a fixed
// font, paginated, lines too long for the page wrapped, `copies` times. To a
// printer each copy is a print job of its own (the printer's own copy count
// is set to 1); to a file, where a second job would overwrite the first, the
// copies follow one another in that file, each from a new page. False when
// the printer could not be started.
bool PrintMonitorText(QPrinter& printer, std::string_view text, int copies);

}  // namespace koral::ui
