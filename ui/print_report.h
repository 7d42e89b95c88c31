#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

#include "command/run_calculation.h"

class QPrinter;
class QWidget;

namespace quorvane::ui {

// Printing the result box as a stake table.
//
// The whole box is printed, every block and any text typed into it, in its
// order. Each line is split into columns at its runs of blanks; consecutive
// lines of two or more columns form one table whose columns are aligned in a
// fixed-width font; a line of one column (a block's title, its end station, a
// typed note) is printed as it stands, wrapped when longer than the page.
// Every page has a header (program name, date, the last calculation's input
// values) and its number "第 N 页 / 共 M 页"; no line is split across pages,
// and a table continued on a new page repeats its heading row.

// The columns of one line of the result box: its runs of non-blank text.
QStringList SplitColumns(const QString& line);

// Lays out `resultText` and paints all its pages onto `printer`, which must
// not be painting yet. `last` supplies the input values of the page header
// (none without it). Returns the number of pages, 0 when the printer cannot
// be painted on.
int PrintResult(QPrinter& printer, const QString& resultText, const Calculation* last, const QDate& date);

// A print preview of the same pages over `parent`; printing from it goes to
// the chosen printer, or to a PDF file where no printer is installed.
void ShowPrintPreview(QWidget* parent, const QString& resultText, const Calculation* last);

}  // namespace quorvane::ui
