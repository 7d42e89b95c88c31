#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::ui {

class StakeModel;

// Writes the stake table's rows `rows` (in that order) to `path` in the
// format its extension asks for, through the writers quorvane-line uses
// (command/line_stakes.h), so both write the same bytes:
//  - .csv: the table's header and texts (桩号 in K-notation, coordinates to
//    the millimetre), UTF-8 with a byte-order mark;
//  - .dat: 点号,编码,Y,X,H for each stake, then its left and right edge points
//    named with L and R after the station (K0+190.000L); H 0 without profile;
//  - .dxf: the stakes labelled with their stations, edge points, and the
//    centre and edge lines through them.
// Throws CalculationError for another extension or a coordinate out of
// range, FileError when the file cannot be written (nothing half-written is
// left).
//  - .xml: LandXML 1.2 holding `landXmlDocument` (the line's alignment) and
//    a CgPoint for each stake and edge point, named and coded as in the .dat;
void WriteStakeRows(const std::string& path, const StakeModel& stakes, const std::vector<int>& rows,
                    std::string_view landXmlDocument);

// A table of texts as CSV with a byte-order mark, written whole or not at all.
void WriteTableCsv(const std::string& path, const std::vector<std::vector<std::string>>& table);

}  // namespace quorvane::ui
