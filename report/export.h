#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calc/curve_point.h"
#include "calc/stakes.h"

namespace quorvane {

// Coordinate files for instruments, spreadsheets and CAD, written from one
// calculation: its start point and stakes, and optionally the side points of
// a side-stake table of the same stake set.

enum class ExportFormat {
  Csv,  // spreadsheet table: 桩号,X,Y,方位角 (UTF-8 with byte-order mark)
  Dat,  // total-station transfer file: 点号,编码,Y,X,H
  Dxf,  // CAD drawing: points, station labels, centre line
};

// The format a file name asks for by its extension (.csv, .dat, .dxf, in any
// letter case); nothing for any other name.
std::optional<ExportFormat> ExportFormatOf(std::string_view fileName);

// What an export reads. The texts are those the report echoed in its start
// row, exactly as typed. `sides`, when given, belongs to the same curve; its
// points follow the stake of the same station (any station without a stake
// comes after the last stake).
struct ExportSource {
  const CurveInput& input;
  std::string_view lbText;  // start station box, as typed
  std::string_view aText;   // start azimuth box, as typed
  const StakeTable& stakes;
  const SideStakeTable* sides = nullptr;
};

// CSV text: byte-order mark, header 桩号,X,Y,方位角, the start row (typed
// start station, Fixed3 X and Y, typed azimuth), one row per stake (report
// station, Fixed3 X and Y, General DD.MMSS azimuth), side points named with L
// or R after the station. CR LF after every line. A field holding a comma, a
// quote or a line break is quoted.
std::string CsvText(const ExportSource& source);

// Coordinate data text: "name,,Y,X,0" per point, no header, CR LF line ends.
// Names are "K" + the report station ("K0+190", the start point too), side
// points with L or R after it; Y and X to the millimetre.
std::string DatText(const ExportSource& source);

// DXF layer names. CAD x is survey Y (east), CAD y survey X (north).
inline constexpr const char* kDxfStakeLayer = "STAKES";        // POINT per point
inline constexpr const char* kDxfLabelLayer = "STAKE_LABELS";  // TEXT: station ("0+190", start "0+180.108")
inline constexpr const char* kDxfCentreLayer = "CENTRE_LINE";  // polyline start + stakes
inline constexpr const char* kDxfLeftLayer = "SIDE_LEFT";      // left points and edge line
inline constexpr const char* kDxfRightLayer = "SIDE_RIGHT";    // right points and edge line

// A file could not be written; what() is a message for the user (UTF-8).
class ExportError : public std::runtime_error {
 public:
  explicit ExportError(const std::string& message) : std::runtime_error(message) {}
};

// Writes the file in the format its name's extension asks for. The data go to
// a temporary file beside it first, checked complete, then renamed over
// `path`, so a failed export never leaves a half-written file under the
// user's name nor destroys an earlier one. Throws ExportError for an unknown
// extension or when the file cannot be written.
void WriteExportFile(const std::string& path, const ExportSource& source);

// As WriteExportFile, in the format given whatever the name says.
void WriteExportFile(const std::string& path, const ExportSource& source, ExportFormat format);

}  // namespace quorvane
