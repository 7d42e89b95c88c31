#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calc/curve_point.h"
#include "command/run_calculation.h"
#include "io/export.h"

namespace quorvane {

// 文件 › 保存结果 and 文件 › 导出坐标: what is written, and which format a
// chosen file name asks for. Paths are in the file system's encoding.


// The result box as a text file: the UTF-8 byte-order mark (Chinese Windows
// tools otherwise read GBK), then `text` with every line end, LF or CR LF,
// written as CR LF. Throws FileError.
void SaveResultText(const std::string& path, std::string_view text);

// The format of an export file: the one its extension names (.csv, .dat,
// .dxf, any letter case), CSV for a name without an extension. Any other
// extension ("x.txt") is refused: CalculationError(UnknownExportTypePrompt).
ExportFormat ExportFormatForName(std::string_view path);
std::string UnknownExportTypePrompt(std::string_view path);

// The points of one calculation, in file order: the start point, each stake
// followed by its side points (left, then right) when the calculation has
// them, then the curve's end point unless the last
// stake stands on it (or the curve has no length). Every point is named by
// the report's station text ("0+180.108", "0+190", sides "0+190L"),
// whatever was typed; azimuths in DD.MMSS by the report's rule.
struct ExportedPoint {
  enum Kind { Start, Stake, Left, Right, End } kind;
  std::string station;
  double X_m;
  double Y_m;
  std::string azimuth;
};
std::vector<ExportedPoint> CalculationPoints(const Calculation& calculation);

// CSV rows: the header 桩号,X,Y,方位角 and one row a point (X and Y by
// CoordinateText).
std::vector<std::vector<std::string>> CalculationCsvRows(const Calculation& calculation);

// Coordinate data points: "K" + station, empty code, H 0.
std::vector<ExportPoint> CalculationDatPoints(const Calculation& calculation);

// The drawing: start, stakes and end labelled with their stations, side
// points, and the centre line and each edge line of the side points following the
// curve from its start to its end through every stake (PointAt and
// SidePoint at stations close enough that no chord leaves the curve by more
// than half a millimetre; at most kMaxLineVertices a line, which a curve
// reaches only when it winds round a few metres' radius for kilometres).
inline constexpr std::size_t kMaxLineVertices = 200000;
ExportDrawing CalculationDrawing(const Calculation& calculation);

// Writes the calculation (with its side points when it has them) in the format ExportFormatForName gives. Throws
// CalculationError (an unknown extension, a value that cannot be written)
// or FileError; nothing is written then.
void ExportCalculation(const std::string& path, const Calculation& calculation);

// The window's commands: SaveResultText / ExportCalculation with any failure
// shown on `view` (a FileError under kFileErrorTitle, any other under the
// command's title). True when the file was written.
bool RunSaveResult(CalculationView& view, const std::string& path, std::string_view text);
bool RunExport(CalculationView& view, const std::string& path, const Calculation& calculation);

}  // namespace quorvane
