#include "io/export.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>

#include "calc/calculation_error.h"
#include "calc/stakes.h"
#include "io/atomic_file.h"
#include "report/layout.h"
#include "report/line_text.h"

namespace quorvane {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// AutoCAD's point style: a cross in a circle, seen at any zoom.
constexpr int kPointStyle = 35;

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return lower;
}

// A CSV field: as it is, or in quotes with inner quotes doubled when it holds
// a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view field) {
  // One pass over the bytes (find_first_of looks each byte up in the set).
  const bool plain = std::none_of(field.begin(), field.end(),
                                  [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
  if (plain) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void RequirePlainField(std::string_view field) {
  if (field.find_first_of(",\r\n") != std::string_view::npos)
    throw CalculationError("点号或编码中不能有逗号或换行：" + std::string(field));
}

void RequireExportable(const ExportPoint& p) { RequireOnTheMap({p.X_m, p.Y_m, p.H_m}); }

// The smallest box holding every point of the drawing, in CAD axes.
struct Extents {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double minZ = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();
  double maxZ = -std::numeric_limits<double>::infinity();

  void Add(double x, double y, double z) {
    minX = std::min(minX, x), minY = std::min(minY, y), minZ = std::min(minZ, z);
    maxX = std::max(maxX, x), maxY = std::max(maxY, y), maxZ = std::max(maxZ, z);
  }
  bool Empty() const { return minX > maxX; }
};

// A tenth of the median distance between neighbouring stakes, so labels of
// neighbours do not run into each other, kept readable for very short and
// very long spacings.
double LabelHeight_m(const std::vector<ExportPoint>& stakes) {
  std::vector<double> gaps;
  for (std::size_t i = 1; i < stakes.size(); ++i)
    gaps.push_back(std::hypot(stakes[i].X_m - stakes[i - 1].X_m, stakes[i].Y_m - stakes[i - 1].Y_m));
  if (gaps.empty()) return 1.0;
  std::nth_element(gaps.begin(), gaps.begin() + static_cast<std::ptrdiff_t>(gaps.size() / 2), gaps.end());
  return std::clamp(gaps[gaps.size() / 2] / 10.0, 0.2, 5.0);
}

void WriteTables(DL_Dxf& dxf, DL_WriterA& dw) {
  dw.sectionTables();
  dxf.writeVPort(dw);
  dw.tableLinetypes(3);
  dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
  dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Solid line", 0, 0, 0.0));
  dw.tableEnd();

  struct Layer {
    const char* name;
    int colour;  // AutoCAD colour index
  };
  const Layer layers[] = {{"0", DL_Codes::black},
                          {kDxfStakeLayer, DL_Codes::red},
                          {kDxfLabelLayer, DL_Codes::green},
                          {kDxfCentreLayer, DL_Codes::blue},
                          {kDxfLeftLayer, DL_Codes::magenta},
                          {kDxfRightLayer, DL_Codes::cyan}};
  dw.tableLayers(static_cast<int>(std::size(layers)));
  for (const Layer& layer : layers) {
    dxf.writeLayer(dw, DL_LayerData(layer.name, 0), DL_Attributes("", layer.colour, 100, "CONTINUOUS", 1.0));
  }
  dw.tableEnd();

  dw.tableStyle(1);
  dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
  dw.tableEnd();
  dxf.writeView(dw);
  dxf.writeUcs(dw);
  dw.tableAppid(1);
  dxf.writeAppid(dw, "ACAD");
  dw.tableEnd();
  dxf.writeDimStyle(dw, 1, 1, 1, 1, 1);
  dxf.writeBlockRecord(dw);
  dw.tableEnd();
  dw.sectionEnd();

  dw.sectionBlocks();
  for (const char* block : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
    dxf.writeBlock(dw, DL_BlockData(block, 0, 0.0, 0.0, 0.0));
    dxf.writeEndBlock(dw, block);
  }
  dw.sectionEnd();
}

// Entities are written code by code with numbers from std::to_chars:
// dxflib's own number writer takes microseconds a number, seconds for the
// lines of a long curve.

// The shortest decimal that reads back as `value`, without an exponent.
void Real(const DL_WriterA& dw, int code, double value) {
  char text[512];  // room for the longest: a subnormal's 330 digits
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  dw.dxfString(code, std::string(text, error == std::errc() ? end : text));
}

void EntityStart(const DL_WriterA& dw, const char* kind, const char* layer, const char* subclass) {
  dw.dxfString(0, kind);
  dw.handle();
  dw.dxfString(100, "AcDbEntity");
  dw.dxfString(8, layer);
  dw.dxfString(100, subclass);
}

void Location(const DL_WriterA& dw, const ExportPoint& p, int code = 10) {
  Real(dw, code, p.Y_m);
  Real(dw, code + 10, p.X_m);
  Real(dw, code + 20, p.H_m);
}

void WritePoint(const DL_WriterA& dw, const ExportPoint& p, const char* layer) {
  EntityStart(dw, "POINT", layer, "AcDbPoint");
  Location(dw, p);
}

// Left-aligned text, its base point half a label height up and right of `p`.
void WriteLabel(const DL_WriterA& dw, const ExportPoint& p, double h) {
  EntityStart(dw, "TEXT", kDxfLabelLayer, "AcDbText");
  Location(dw, {"", "", p.X_m + h / 2, p.Y_m + h / 2, p.H_m});
  Real(dw, 40, h);
  dw.dxfString(1, p.name);
  dw.dxfString(7, "Standard");
  dw.dxfString(100, "AcDbText");
}

// A polyline through `line`: plane when every height is 0, else 3D.
void WriteLine(const DL_WriterA& dw, const std::vector<ExportPoint>& line, const char* layer) {
  if (line.size() < 2) return;
  if (std::all_of(line.begin(), line.end(), [](const ExportPoint& p) { return p.H_m == 0; })) {
    EntityStart(dw, "LWPOLYLINE", layer, "AcDbPolyline");
    dw.dxfInt(90, static_cast<int>(line.size()));
    dw.dxfInt(70, 0);
    for (const ExportPoint& p : line) {
      Real(dw, 10, p.Y_m);
      Real(dw, 20, p.X_m);
    }
    return;
  }
  EntityStart(dw, "POLYLINE", layer, "AcDb3dPolyline");
  dw.dxfInt(66, 1);
  Location(dw, {"", "", 0, 0, 0});
  dw.dxfInt(70, 8);  // 3D polyline
  for (const ExportPoint& p : line) {
    EntityStart(dw, "VERTEX", layer, "AcDbVertex");
    dw.dxfString(100, "AcDb3dPolylineVertex");
    Location(dw, p);
    dw.dxfInt(70, 32);  // vertex of a 3D polyline
  }
  dw.dxfString(0, "SEQEND");
  dw.handle();
  dw.dxfString(100, "AcDbEntity");
  dw.dxfString(8, layer);
}

// dxflib writes $HANDSEED as FFFF whatever follows; CAD programs give new
// objects handles from it, so it must lie above every handle the drawing
// holds, which a drawing of more than 65,535 entities passes. The header's
// value is put right once the whole drawing is written.
void SetHandleSeed(const std::string& path, unsigned long nextHandle) {
  std::string text;
  {
    std::ifstream file(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(file), {});
  }
  const std::size_t name = text.find("$HANDSEED");
  if (name == std::string::npos) return;
  // "$HANDSEED", the group code line, then the value line.
  const std::size_t codeLine = text.find('\n', name);
  const std::size_t valueStart = codeLine == std::string::npos ? codeLine : text.find('\n', codeLine + 1);
  if (valueStart == std::string::npos) return;
  const std::size_t valueEnd = text.find_first_of("\r\n", valueStart + 1);
  if (valueEnd == std::string::npos) return;
  char hex[32];
  const auto [end, ec] = std::to_chars(hex, hex + sizeof hex, std::max(nextHandle, 0xFFFFUL), 16);
  std::string value(hex, ec == std::errc() ? end : hex);
  std::transform(value.begin(), value.end(), value.begin(),
                 [](char c) { return static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c); });
  text.replace(valueStart + 1, valueEnd - valueStart - 1, value);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// Writes to `temporary`; failures name the user's `path`.
void WriteDrawing(const std::string& temporary, const std::string& path, const ExportDrawing& drawing,
                  const Extents& extents, double h) {
  DL_Dxf dxf;
  std::unique_ptr<DL_WriterA> out(dxf.out(temporary.c_str(), DL_Codes::AC1015));
  if (!out) throw FileError(FileErrorMessage(path, errno));
  DL_WriterA& dw = *out;

  dxf.writeHeader(dw);
  dw.dxfString(9, "$INSUNITS");  // drawing units: metres
  dw.dxfInt(70, 6);
  dw.dxfString(9, "$PDMODE");
  dw.dxfInt(70, kPointStyle);
  dw.dxfString(9, "$PDSIZE");  // in drawing units: half a label
  dw.dxfReal(40, h / 2);
  // The text runs right of its point; give the labels room on the box.
  const double margin = h * 4;
  dw.dxfString(9, "$EXTMIN");
  dw.dxfReal(10, extents.minX - margin);
  dw.dxfReal(20, extents.minY - margin);
  dw.dxfReal(30, extents.minZ);
  dw.dxfString(9, "$EXTMAX");
  dw.dxfReal(10, extents.maxX + margin);
  dw.dxfReal(20, extents.maxY + margin);
  dw.dxfReal(30, extents.maxZ);
  dw.sectionEnd();

  WriteTables(dxf, dw);

  dw.sectionEntities();
  for (const ExportPoint& p : drawing.stakes) {
    WritePoint(dw, p, kDxfStakeLayer);
    WriteLabel(dw, p, h);
  }
  for (const ExportPoint& p : drawing.leftPoints) WritePoint(dw, p, kDxfLeftLayer);
  for (const ExportPoint& p : drawing.rightPoints) WritePoint(dw, p, kDxfRightLayer);
  WriteLine(dw, drawing.centreLine, kDxfCentreLayer);
  WriteLine(dw, drawing.leftLine, kDxfLeftLayer);
  WriteLine(dw, drawing.rightLine, kDxfRightLayer);
  dw.sectionEnd();

  dxf.writeObjects(dw);
  dxf.writeObjectsEnd(dw);
  dw.dxfEOF();
  const unsigned long nextHandle = dw.getNextHandle();
  dw.close();
  SetHandleSeed(temporary, nextHandle);
}

// dxflib gives no word of a failed write: a complete drawing ends with the
// end-of-file marker, so one that does not was cut short (a full disk).
bool EndsWithEof(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(file), {});
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  return text.ends_with("EOF");
}

}  // namespace

std::optional<ExportFormat> ExportFormatOf(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  const std::size_t slash = fileName.find_last_of("/\\");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
  const std::string extension = Lower(fileName.substr(dot + 1));
  if (extension == "csv") return ExportFormat::Csv;
  if (extension == "dat") return ExportFormat::Dat;
  if (extension == "dxf") return ExportFormat::Dxf;
  return std::nullopt;
}

std::string CoordinateText(double value_m) {
  RequireOnTheMap({value_m});
  return FixedText(value_m, 3);
}

void AppendCsvRow(std::string& out, const std::vector<std::string>& fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    AppendCsvField(out, fields[i]);
  }
  out += kLineEnd;
}

std::string CsvText(const std::vector<std::vector<std::string>>& rows, bool byteOrderMark) {
  std::string out(byteOrderMark ? kUtf8Bom : "");
  for (const std::vector<std::string>& row : rows) AppendCsvRow(out, row);
  return out;
}

void AppendDatLine(std::string& out, const ExportPoint& p) {
  RequirePlainField(p.name);
  RequirePlainField(p.code);
  out += p.name;
  out += ',';
  out += p.code;
  out += ',';
  out += CoordinateText(p.Y_m);
  out += ',';
  out += CoordinateText(p.X_m);
  out += ',';
  out += CoordinateText(p.H_m);
  out += kLineEnd;
}

std::string DatText(const std::vector<ExportPoint>& points) {
  std::string out;
  for (const ExportPoint& p : points) AppendDatLine(out, p);
  return out;
}

void WriteDxfFile(const std::string& path, const ExportDrawing& drawing) {
  // Every value is checked before anything is written: dxflib's number
  // buffer holds no more than a few hundred digits.
  Extents extents;
  for (const auto* points : {&drawing.stakes, &drawing.leftPoints, &drawing.rightPoints, &drawing.centreLine,
                             &drawing.leftLine, &drawing.rightLine}) {
    for (const ExportPoint& p : *points) {
      RequireExportable(p);
      extents.Add(p.Y_m, p.X_m, p.H_m);
    }
  }
  if (extents.Empty()) extents.Add(0, 0, 0);
  const double h = LabelHeight_m(drawing.stakes);

  AtomicFile file(path);
  errno = 0;
  WriteDrawing(file.TemporaryPath(), path, drawing, extents, h);
  const int error = errno;
  if (!EndsWithEof(file.TemporaryPath())) {
    file.Discard();
    throw FileError(FileErrorMessage(path, error != 0 ? error : EIO));
  }
  file.Commit();
}

}  // namespace quorvane
