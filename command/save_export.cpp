#include "command/save_export.h"

#include <algorithm>
#include <cmath>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "io/atomic_file.h"
#include "report/layout.h"
#include "report/number_text.h"

namespace quorvane {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Largest sagitta allowed between a drawn line and the curve, metres.
constexpr double kMaxSagitta_m = 0.0005;

std::string BaseName(std::string_view path) {
  const std::size_t slash = path.find_last_of('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool HasExtension(std::string_view path) {
  const std::string name = BaseName(path);
  const std::size_t dot = name.rfind('.');
  return dot != std::string::npos && dot > 0;  // ".hidden" names a file without one
}

std::string AzimuthText(double azimuth_rad) { return General(RadiansToDdMmSs(azimuth_rad)); }

// Curvature of 1/R, 0 for a straight (R = 0).
double Curvature(double radius_m) { return radius_m == 0 ? 0.0 : 1.0 / std::fabs(radius_m); }

// Stations from lb to le through every stake, so close that the chord
// between neighbours stays within kMaxSagitta_m of the curve and of any line
// `width_m` beside it: a chord of length c on a curve of radius r departs
// from it by c^2 / (8 r); a line w beside a curve of curvature k bends at
// most as k (1 + w k) per metre of the curve's length.
std::vector<double> LineStations(const Calculation& calculation, double width_m) {
  const CurveInput& input = calculation.input;
  const double k = std::max(Curvature(input.Ra), Curvature(input.Rb));
  const double bend = k * (1 + width_m * k);
  const double length = std::fabs(input.le - input.lb);
  double step = bend > 0 ? std::sqrt(8 * kMaxSagitta_m / bend) : length;
  step = std::max(step, length / static_cast<double>(kMaxLineVertices - calculation.stakes.stakeStation.size() - 2));

  std::vector<double> keys{input.lb};
  keys.insert(keys.end(), calculation.stakes.stakeStation.begin(), calculation.stakes.stakeStation.end());
  if (Station(keys.back()) != Station(input.le)) keys.push_back(input.le);

  std::vector<double> stations{input.lb};
  for (std::size_t i = 1; i < keys.size(); ++i) {
    const double from = keys[i - 1], to = keys[i];
    const double pieces = step > 0 ? std::ceil(std::fabs(to - from) / step) : 1;
    for (double j = 1; j < pieces; ++j) stations.push_back(from + (to - from) * (j / pieces));
    stations.push_back(to);
  }
  return stations;
}

ExportPoint AsExportPoint(const CurvePoint& p) { return {"", "", p.X, p.Y, 0}; }

}  // namespace

void SaveResultText(const std::string& path, std::string_view text) {
  std::string bytes(kUtf8Bom);
  bytes.reserve(kUtf8Bom.size() + text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) bytes += '\r';
    bytes += text[i];
  }
  WriteFileAtomically(path, bytes);
}

std::string UnknownExportTypePrompt(std::string_view path) {
  return "不能导出为“" + BaseName(path) + "”：请用扩展名 .csv、.dat 或 .dxf。";
}

ExportFormat ExportFormatForName(std::string_view path) {
  if (const std::optional<ExportFormat> format = ExportFormatOf(path)) return *format;
  if (!HasExtension(path)) return ExportFormat::Csv;
  throw CalculationError(UnknownExportTypePrompt(path));
}

std::vector<ExportedPoint> CalculationPoints(const Calculation& calculation) {
  const CurveInput& input = calculation.input;
  const StakeTable& stakes = calculation.stakes;
  const TransitionCurve& curve = calculation.curve;
  const SideStakeTable* sides = calculation.sides ? &*calculation.sides : nullptr;
  std::vector<ExportedPoint> points;
  points.push_back(
      {ExportedPoint::Start, Station(input.lb), input.Xa, input.Ya, AzimuthText(curve.AtStation(input.lb).azimuth)});

  // The side points of a calculation are those of its stakes, index for index.
  const auto n = static_cast<std::size_t>(std::max<int>(stakes.n, 0));
  for (std::size_t i = 0; i < n; ++i) {
    const std::string station = Station(stakes.stakeStation[i]);
    points.push_back(
        {ExportedPoint::Stake, station, stakes.stakeX[i], stakes.stakeY[i], General(stakes.stakeAzimuth[i])});
    if (sides == nullptr) continue;
    if (i < sides->left.size()) {
      const CurvePoint& p = sides->left[i];
      points.push_back({ExportedPoint::Left, station + 'L', p.X, p.Y, AzimuthText(p.azimuth)});
    }
    if (i < sides->right.size()) {
      const CurvePoint& p = sides->right[i];
      points.push_back({ExportedPoint::Right, station + 'R', p.X, p.Y, AzimuthText(p.azimuth)});
    }
  }

  // The end (the HY or YH point) unless a stake or the start already stands there.
  const std::string end = Station(input.le);
  if (end != (n > 0 ? Station(stakes.stakeStation[n - 1]) : Station(input.lb))) {
    const CurvePoint p = curve.AtStation(input.le);
    points.push_back({ExportedPoint::End, end, p.X, p.Y, AzimuthText(p.azimuth)});
  }
  return points;
}

std::vector<std::vector<std::string>> CalculationCsvRows(const Calculation& calculation) {
  std::vector<std::vector<std::string>> rows{{kCsvHeading.begin(), kCsvHeading.end()}};
  for (const ExportedPoint& p : CalculationPoints(calculation))
    rows.push_back({p.station, CoordinateText(p.X_m), CoordinateText(p.Y_m), p.azimuth});
  return rows;
}

std::vector<ExportPoint> CalculationDatPoints(const Calculation& calculation) {
  std::vector<ExportPoint> points;
  for (const ExportedPoint& p : CalculationPoints(calculation))
    points.push_back({"K" + p.station, "", p.X_m, p.Y_m, 0});
  return points;
}

ExportDrawing CalculationDrawing(const Calculation& calculation) {
  ExportDrawing drawing;
  for (const ExportedPoint& p : CalculationPoints(calculation)) {
    ExportPoint point{p.station, "", p.X_m, p.Y_m, 0};
    switch (p.kind) {
      case ExportedPoint::Left:
        drawing.leftPoints.push_back(std::move(point));
        break;
      case ExportedPoint::Right:
        drawing.rightPoints.push_back(std::move(point));
        break;
      default:
        drawing.stakes.push_back(std::move(point));
    }
  }

  const SideStakeTable* sides = calculation.sides ? &*calculation.sides : nullptr;
  const double left = sides != nullptr && sides->leftWidth_m ? *sides->leftWidth_m : 0.0;
  const double right = sides != nullptr && sides->rightWidth_m ? *sides->rightWidth_m : 0.0;
  for (const CurvePoint& on : calculation.curve.AtStations(LineStations(calculation, std::max(left, right)))) {
    drawing.centreLine.push_back(AsExportPoint(on));
    if (sides != nullptr && sides->leftWidth_m) drawing.leftLine.push_back(AsExportPoint(SidePoint(on, -left)));
    if (sides != nullptr && sides->rightWidth_m) drawing.rightLine.push_back(AsExportPoint(SidePoint(on, right)));
  }
  return drawing;
}

void ExportCalculation(const std::string& path, const Calculation& calculation) {
  switch (ExportFormatForName(path)) {
    case ExportFormat::Csv:
      WriteFileAtomically(path, CsvText(CalculationCsvRows(calculation), true));
      break;
    case ExportFormat::Dat:
      WriteFileAtomically(path, DatText(CalculationDatPoints(calculation)));
      break;
    case ExportFormat::Dxf:
      WriteDxfFile(path, CalculationDrawing(calculation));
      break;
  }
}

namespace {

template <typename Write>
bool ShowingFailures(CalculationView& view, const char* title, Write write) {
  try {
    write();
    return true;
  } catch (const FileError& error) {
    view.ShowMessage(error.what(), kFileErrorTitle);
  } catch (const CalculationError& error) {
    view.ShowMessage(error.what(), title);
  }
  return false;
}

}  // namespace

bool RunSaveResult(CalculationView& view, const std::string& path, std::string_view text) {
  return ShowingFailures(view, kSaveResultTitle, [&] { SaveResultText(path, text); });
}

bool RunExport(CalculationView& view, const std::string& path, const Calculation& calculation) {
  return ShowingFailures(view, kExportTitle, [&] { ExportCalculation(path, calculation); });
}

}  // namespace quorvane
