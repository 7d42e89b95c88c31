#include "report/export.h"

#include <dxflib/dl_dxf.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "calc/angle.h"
#include "report/number_text.h"

namespace quorvane {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

enum class PointKind { Start, Stake, Left, Right };

// One exported point: its name (the station text without the "K" of .dat
// names), survey X and Y in metres, azimuth text.
struct NamedPoint {
  PointKind kind;
  std::string station;
  double X;
  double Y;
  std::string azimuth;
};

std::string SideName(double station_m, PointKind side) {
  std::string name = Station(station_m);
  name += side == PointKind::Left ? 'L' : 'R';
  return name;
}

// Visits the start point, then every stake followed by the side points of the
// same station, then side points left over, in that order. The start
// point's station and azimuth are the typed texts.
void ForEachPoint(const ExportSource& source, const std::function<void(const NamedPoint&)>& visit) {
  visit({PointKind::Start, std::string(source.lbText), source.input.Xa, source.input.Ya, std::string(source.aText)});

  const SideStakeTable* sides = source.sides;
  std::size_t next = 0;  // first side entry not yet written
  auto visitSide = [&](std::size_t j) {
    const double station = sides->station[j];
    if (j < sides->left.size()) {
      const CurvePoint& p = sides->left[j];
      visit({PointKind::Left, SideName(station, PointKind::Left), p.X, p.Y, General(RadiansToDdMmSs(p.azimuth))});
    }
    if (j < sides->right.size()) {
      const CurvePoint& p = sides->right[j];
      visit({PointKind::Right, SideName(station, PointKind::Right), p.X, p.Y, General(RadiansToDdMmSs(p.azimuth))});
    }
  };

  const auto n = static_cast<std::size_t>(std::max<int>(source.stakes.n, 0));
  for (std::size_t i = 0; i < n; ++i) {
    visit({PointKind::Stake, Station(source.stakes.stakeStation[i]), source.stakes.stakeX[i],
           source.stakes.stakeY[i], General(source.stakes.stakeAzimuth[i])});
    while (sides != nullptr && next < sides->station.size() &&
           sides->station[next] == source.stakes.stakeStation[i]) {
      visitSide(next++);
    }
  }
  while (sides != nullptr && next < sides->station.size()) visitSide(next++);
}

// A CSV field: as it is, or in quotes with inner quotes doubled when it holds
// a comma, a quote or a line break.
void AppendCsvField(std::string& out, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
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

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
  return lower;
}

std::string SystemMessage(int error) { return std::strerror(error); }

[[noreturn]] void FailWrite(const std::string& path, const std::string& why) {
  throw ExportError("无法写入文件 " + path + "：" + why);
}

// A temporary file beside `path`, removed when dropped unless kept.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& path) : path_(path + ".part") {}
  ~TemporaryFile() {
    if (!kept_) std::remove(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  const std::string& path() const { return path_; }

  // Renames the temporary file to `target`, replacing it.
  void MoveTo(const std::string& target) {
    if (std::rename(path_.c_str(), target.c_str()) != 0) FailWrite(target, SystemMessage(errno));
    kept_ = true;
  }

 private:
  std::string path_;
  bool kept_ = false;
};

void WriteText(const std::string& path, std::string_view text) {
  errno = 0;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) FailWrite(path, SystemMessage(errno));
  file.write(text.data(), static_cast<std::streamsize>(text.size()));
  file.close();
  if (!file) FailWrite(path, errno != 0 ? SystemMessage(errno) : "写入失败");
}

// The whole file as written, to check that it came out complete.
std::string ReadBack(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Height of the station labels in the drawing, metres: a tenth of the stake
// interval, so labels of neighbouring stakes do not run into each other, kept
// readable for very short and very long intervals.
double LabelHeight_m(const CurveInput& input) { return std::clamp(std::fabs(input.d) / 10.0, 0.2, 5.0); }

void WriteDxf(const std::string& path, const ExportSource& source) {
  DL_Dxf dxf;
  std::unique_ptr<DL_WriterA> out(dxf.out(path.c_str(), DL_Codes::AC1015));
  if (!out) FailWrite(path, SystemMessage(errno));
  DL_WriterA& dw = *out;

  dxf.writeHeader(dw);
  dw.dxfString(9, "$INSUNITS");  // drawing units: metres
  dw.dxfInt(70, 6);
  dw.sectionEnd();

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

  dw.sectionEntities();
  auto onLayer = [](const char* layer) { return DL_Attributes(layer, 256, -1, "BYLAYER", 1.0); };
  const double h = LabelHeight_m(source.input);

  // Points with their labels; CAD x = survey Y (east), CAD y = survey X (north).
  std::vector<DL_VertexData> centre;
  std::vector<DL_VertexData> leftEdge;
  std::vector<DL_VertexData> rightEdge;
  ForEachPoint(source, [&](const NamedPoint& p) {
    if (p.kind == PointKind::Left || p.kind == PointKind::Right) {
      const bool left = p.kind == PointKind::Left;
      dxf.writePoint(dw, DL_PointData(p.Y, p.X, 0.0), onLayer(left ? kDxfLeftLayer : kDxfRightLayer));
      (left ? leftEdge : rightEdge).emplace_back(p.Y, p.X);
      return;
    }
    dxf.writePoint(dw, DL_PointData(p.Y, p.X, 0.0), onLayer(kDxfStakeLayer));
    centre.emplace_back(p.Y, p.X);
    // Left-aligned text, its base point half a label height up and right.
    const double tx = p.Y + h / 2;
    const double ty = p.X + h / 2;
    // The start point too is labelled with its station in kilometre form:
    // the typed text may hold characters a drawing's code page cannot.
    const std::string label = p.kind == PointKind::Start ? Station(source.input.lb) : p.station;
    dxf.writeText(dw, DL_TextData(tx, ty, 0.0, tx, ty, 0.0, h, 1.0, 0, 0, 0, label, "Standard", 0.0),
                  onLayer(kDxfLabelLayer));
  });

  auto polyline = [&](const std::vector<DL_VertexData>& vertices, const char* layer) {
    if (vertices.size() < 2) return;
    dxf.writePolyline(dw, DL_PolylineData(static_cast<int>(vertices.size()), 0, 0, 0), onLayer(layer));
    for (const DL_VertexData& v : vertices) dxf.writeVertex(dw, v);
    dxf.writePolylineEnd(dw);
  };
  polyline(centre, kDxfCentreLayer);
  polyline(leftEdge, kDxfLeftLayer);
  polyline(rightEdge, kDxfRightLayer);
  dw.sectionEnd();

  dxf.writeObjects(dw);
  dxf.writeObjectsEnd(dw);
  dw.dxfEOF();
  dw.close();
}

// The writer gives no word of a failed write: a complete drawing ends with
// the end-of-file marker, so a file that does not was cut short.
void CheckDxfComplete(const std::string& path) {
  std::string text = ReadBack(path);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
  if (!text.ends_with("EOF")) FailWrite(path, "文件未写完整");
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

std::string CsvText(const ExportSource& source) {
  std::string out(kUtf8Bom);
  out += "桩号,X,Y,方位角";
  out += kCrLf;
  ForEachPoint(source, [&out](const NamedPoint& p) {
    AppendCsvField(out, p.station);
    out += ',';
    AppendFixed3(out, p.X);
    out += ',';
    AppendFixed3(out, p.Y);
    out += ',';
    AppendCsvField(out, p.azimuth);
    out += kCrLf;
  });
  return out;
}

std::string DatText(const ExportSource& source) {
  std::string out;
  ForEachPoint(source, [&out, &source](const NamedPoint& p) {
    out += 'K';
    // The start point takes its station from the value read, not the typed
    // text, so that every name has the same kilometre form.
    out += p.kind == PointKind::Start ? Station(source.input.lb) : p.station;
    out += ",,";
    AppendFixed3(out, p.Y);
    out += ',';
    AppendFixed3(out, p.X);
    out += ",0";
    out += kCrLf;
  });
  return out;
}

void WriteExportFile(const std::string& path, const ExportSource& source) {
  const std::optional<ExportFormat> format = ExportFormatOf(path);
  if (!format) throw ExportError("无法识别的文件类型：" + path + "（请用 .csv、.dat 或 .dxf）");
  WriteExportFile(path, source, *format);
}

void WriteExportFile(const std::string& path, const ExportSource& source, ExportFormat format) {
  TemporaryFile temporary(path);
  switch (format) {
    case ExportFormat::Csv:
      WriteText(temporary.path(), CsvText(source));
      break;
    case ExportFormat::Dat:
      WriteText(temporary.path(), DatText(source));
      break;
    case ExportFormat::Dxf:
      WriteDxf(temporary.path(), source);
      CheckDxfComplete(temporary.path());
      break;
  }
  temporary.MoveTo(path);
}

}  // namespace quorvane
