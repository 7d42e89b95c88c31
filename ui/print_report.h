#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "ui/result_box.h"

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace quorvane::ui {

class MessageBoxes;

// Printing the result box as a stake table.
//
// The whole box is printed in its order, every report and any text typed
// into it. A report that is a table (a title, a heading row, rows, an end
// line) prints under the values of its own curve (stations, radii, start
// point, azimuth, interval, turn): in the page header when it begins at the
// top of a page or continues from the page before (marked 续), else just
// above its title. Its rows form a table in a fixed-width font, numbers
// aligned on their decimal point; a table narrow enough runs in two columns
// side by side, down the left one first. Everything else (typed text, typed
// lines inside a report, the end line, a one-line report) prints as plain
// lines, wrapped when longer than the page. A table continued on a new page
// or column repeats its heading. Every page has a header with the program's
// name and the date, its number "第 N 页 / 共 M 页", and margins of at least
// 15 mm whatever the printer's own.

// The columns of one line of the result box: its runs of non-blank text.
QStringList SplitColumns(const QString& line);

// Called after each page painted with the pages painted so far and the
// pages to paint; false stops the painting there.
using PrintProgress = std::function<bool(int done, int total)>;

struct PaintedPages {
  int pages = 0;           // painted
  bool cancelled = false;  // the progress asked to stop
};

// Lays out `pieces` (the box's text, as ResultBox::Pieces gives it) on the
// pages of `device`, which must not be painting yet, and paints pages
// `fromPage` to `toPage` (1-based; 0 and 0 for all). Nothing is painted when
// the device cannot be painted on.
PaintedPages PaintPages(QPagedPaintDevice& device, const std::vector<BoxPiece>& pieces, const QDate& date,
                        const PrintProgress& progress = {}, int fromPage = 0, int toPage = 0);

// Prints `pieces` to `printer` as the print dialog left it, showing the
// progress (with 取消) over `parent` when it takes a while. A PDF file is made
// in memory and written whole through WriteFileAtomically, so a full disk or
// a missing folder leaves no half file and an earlier file of that name
// untouched; that failure is told through `boxes` in FileError's words under
// kFileErrorTitle, a printer that cannot be opened likewise. True when every
// page went out; false on a failure or when the user cancelled.
bool PrintPieces(QWidget* parent, QPrinter& printer, const std::vector<BoxPiece>& pieces, MessageBoxes& boxes,
                 const QDate& date);

// A print preview over `parent`, opened at the width of the page; its 打印…
// asks for the printer (or a PDF file) and prints with PrintPieces, closing
// once the print went out. Drawing a long preview shows its progress and can
// be cancelled, which closes the preview.
void ShowPrintPreview(QWidget* parent, std::vector<BoxPiece> pieces, MessageBoxes& boxes);

}  // namespace quorvane::ui
