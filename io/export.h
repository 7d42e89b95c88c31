#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// Coordinate files for instruments, spreadsheets and CAD, in plain terms of
// named points and lines: what any calculation (one curve, a whole line)
// hands over. Survey X is north, Y east, H the height, all in metres.
//
// Every coordinate written must be finite and below kMaxCoordinate_m in
// magnitude (X, Y and H alike); a writer given any other value throws
// CalculationError(kOverflowPrompt) and writes nothing.

enum class ExportFormat {
  Csv,  // spreadsheet table (UTF-8 with byte-order mark)
  Dat,  // total-station transfer file: 点号,编码,Y,X,H
  Dxf,  // CAD drawing: points, labels, lines
};

// The format a file name asks for by its extension (.csv, .dat, .dxf, in any
// letter case); nothing for any other name, also for a name without one.
std::optional<ExportFormat> ExportFormatOf(std::string_view fileName);

// One named point. `name` and `code` are ASCII in the files instrument
// software reads (.dat, the DXF's labels); the CSV takes any UTF-8.
struct ExportPoint {
  std::string name;
  std::string code;
  double X_m;
  double Y_m;
  double H_m = 0;
};

// What a drawing holds. CAD x is survey Y (east), CAD y survey X (north),
// CAD z the height H.
//  - stakes: a POINT on layer kDxfStakeLayer and its name as TEXT on
//    kDxfLabelLayer, half a label height up and right of it;
//  - leftPoints / rightPoints: POINTs on kDxfLeftLayer / kDxfRightLayer;
//  - centreLine / leftLine / rightLine: one polyline each, through the
//    points in order, on kDxfCentreLayer / kDxfLeftLayer / kDxfRightLayer
//    (left out when it has fewer than two points). A line whose points all
//    have height 0 is a plane polyline, any other a 3D polyline. The names of line points play no part.
struct ExportDrawing {
  std::vector<ExportPoint> stakes{};
  std::vector<ExportPoint> leftPoints{}, rightPoints{};
  std::vector<ExportPoint> centreLine{}, leftLine{}, rightLine{};
};

// DXF layer names.
inline constexpr const char* kDxfStakeLayer = "STAKES";
inline constexpr const char* kDxfLabelLayer = "STAKE_LABELS";
inline constexpr const char* kDxfCentreLayer = "CENTRE_LINE";
inline constexpr const char* kDxfLeftLayer = "SIDE_LEFT";
inline constexpr const char* kDxfRightLayer = "SIDE_RIGHT";

// A coordinate's text in every file: exactly three decimals, rounded as
// every number of the line's outputs is (FixedText, report/line_text.h: the
// double's exact decimal expansion decides, an exact tie away from zero).
// Throws CalculationError(kOverflowPrompt) for a value that is not
// finite or reaches kMaxCoordinate_m in magnitude.
std::string CoordinateText(double value_m);

// CSV text of `rows`: fields separated by commas, every line ended by CR LF,
// a field holding a comma, a quote or a line break in quotes with its quotes
// doubled; the UTF-8 byte-order mark first when asked (spreadsheet programs
// on Chinese systems then read UTF-8).
std::string CsvText(const std::vector<std::vector<std::string>>& rows, bool byteOrderMark);

// One CSV row as CsvText writes it, appended to `out` (its CR LF included).
void AppendCsvRow(std::string& out, const std::vector<std::string>& fields);

// The UTF-8 byte-order mark CSV files start with.
inline constexpr std::string_view kCsvByteOrderMark = "\xEF\xBB\xBF";

// One point's line of DatText appended to `out`; throws as DatText.
void AppendDatLine(std::string& out, const ExportPoint& point);

// Coordinate data text: one line "点号,编码,Y,X,H" per point (east before
// north), coordinates and height by CoordinateText, CR LF line ends, no
// header. A name or code holding a comma or a line break is refused
// (CalculationError): the format has no quoting. Throws as CoordinateText.
std::string DatText(const std::vector<ExportPoint>& points);

// Writes the drawing as an AutoCAD 2000 DXF (units metres) through
// WriteFileAtomically: points shown as a cross in a circle ($PDMODE) sized
// with the labels ($PDSIZE), the drawing's extents ($EXTMIN, $EXTMAX) set so
// CAD opens on it. Label height: a tenth of the usual spacing of the stakes,
// kept between 0.2 and 5 m. Labels are written as they are: give ASCII.
// Throws CalculationError for a value as above, FileError when the file
// cannot be written.
void WriteDxfFile(const std::string& path, const ExportDrawing& drawing);

}  // namespace quorvane
