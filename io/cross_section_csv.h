#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calc/cross_section.h"

namespace quorvane {

// Reads a cross-section table (超高、加宽表) from CSV text: rows of
// 桩号,左宽,右宽,左横坡,右横坡[,过渡] (UTF-8, an optional byte-order mark, quoting
// and line ends as ReadCsvRows takes them; blank lines skipped). The first
// row is a heading, and skipped, when none of its first five cells reads
// wholly as a number. Stations are a plain number of metres or chainage
// notation (K12+345.678), widths metres, slopes percent; cells may be padded
// with blanks and typed with full-width digits. 过渡 empty (or 线性) is the
// linear transition, 高次 the higher-order one. Each row keeps the file line
// it starts on (the heading being line 1) for the messages of CrossSection.
//
// Only the cells are checked here; the values (order, widths, the line) are
// CrossSection's to judge. Throws CalculationError naming `fileName` and the
// line: a row with other than five or six cells (kCrossSectionColumnsText), a
// cell that is not wholly a number or station, blank or too large for a
// double (CrossSectionCellMessage, naming the column), a 过渡 that is neither
// (kCrossSectionTransitionText), a file with no rows (kCrossSectionEmptyPrompt),
// and an open quote as ReadCsvRows does.
std::vector<CrossSectionRow> ReadCrossSectionCsv(std::string_view text, const std::string& fileName);

}  // namespace quorvane
