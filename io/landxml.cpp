#include "io/landxml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <ctime>
#include <map>
#include <numbers>
#include <optional>
#include <sstream>

#include "calc/angle.h"
#include "calc/calculation_error.h"
#include "io/atomic_file.h"
#include "io/read_file.h"
#include "io/text_encoding.h"

namespace quorvane {
namespace {

constexpr double kPi = std::numbers::pi;

struct Point2 {
  double X = 0;  // north
  double Y = 0;  // east
};

double Distance(Point2 a, Point2 b) { return std::hypot(a.X - b.X, a.Y - b.Y); }
double AzimuthOf(Point2 from, Point2 to) { return std::atan2(to.Y - from.Y, to.X - from.X); }

// Into -pi .. pi.
double Wrap(double angle_rad) { return std::remainder(angle_rad, 2 * kPi); }

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

// A unit's name as the schema spells it: exporters write "decimal  dd.mm.ss"
// with two blanks or "Decimal Degrees" with capitals.
std::string NormalUnit(std::string_view unit) {
  std::string normal;
  for (const char c : Trim(unit)) {
    const bool blank = c == ' ' || c == '\t';
    if (blank && !normal.empty() && normal.back() == ' ') continue;
    normal += blank ? ' ' : c;
  }
  static constexpr std::array kNames = {"radians", "decimal degrees", "grads", "decimal dd.mm.ss"};
  for (const char* name : kNames) {
    const std::string_view n(name);
    if (n.size() == normal.size() && std::equal(n.begin(), n.end(), normal.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        })) {
      return std::string(n);
    }
  }
  return normal;
}

std::optional<double> ParseDouble(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

bool IsInfinityText(std::string_view text) {
  std::string lower(Trim(text));
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower == "inf" || lower == "infinity" || lower == "+inf";
}

// The local name of an element ("land:Curve" -> "Curve").
std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  const auto colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node Child(const pugi::xml_node& parent, std::string_view name) {
  for (pugi::xml_node child : parent.children()) {
    if (child.type() == pugi::node_element && LocalName(child) == name) return child;
  }
  return {};
}

std::string ShortestText(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  std::string text(buffer, ec == std::errc() ? end : buffer);
  if (text == "-0") text = "0";
  return text;
}

// "1.04" for 0.00104 m: an amount in millimetres with two decimals.
std::string MillimetreText(double metres) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, metres * 1000, std::chars_format::fixed, 2);
  return std::string(buffer, ec == std::errc() ? end : buffer);
}

std::string FixedText(double value, int decimals) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, ec == std::errc() ? end : buffer);
}

// The 1-based line of a byte offset in the text.
long LineAtOffset(std::string_view text, std::ptrdiff_t offset) {
  const auto at = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(offset, 0)), text.size());
  return 1 + static_cast<long>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
}

// What pugixml found wrong, in words a surveyor reads.
const char* XmlFaultText(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_out_of_memory:
      return "内存不足";
    case pugi::status_unrecognized_tag:
      return "无法识别的标记（“<”后面不是元素名）";
    case pugi::status_bad_pi:
      return "XML 声明或处理指令写法有误";
    case pugi::status_bad_comment:
      return "注释写法有误";
    case pugi::status_bad_cdata:
      return "CDATA 段写法有误";
    case pugi::status_bad_doctype:
      return "文档类型声明写法有误";
    case pugi::status_bad_pcdata:
      return "元素的文字内容有误";
    case pugi::status_bad_start_element:
      return "开始标记写法有误";
    case pugi::status_bad_attribute:
      return "属性写法有误（缺少等号或引号）";
    case pugi::status_bad_end_element:
      return "结束标记写法有误";
    case pugi::status_end_element_mismatch:
      return "开始标记与结束标记不匹配";
    case pugi::status_no_document_element:
      return "文件中没有任何 XML 元素";
    default:
      return "无法读取";
  }
}

// One parsed LandXML document: its units, its named points and its
// alignments in document order.
class Document {
 public:
  Document(std::string_view bytes, std::string fileName)
      : fileName_(std::move(fileName)), text_(XmlBytesToUtf8(bytes, fileName_)) {
    const pugi::xml_parse_result parsed =
        document_.load_buffer(text_.data(), text_.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
      Fail("不是正确的 XML：第" + std::to_string(LineAtOffset(text_, parsed.offset)) + "行：" +
           XmlFaultText(parsed.status));
    }
    const pugi::xml_node root = document_.document_element();
    if (LocalName(root) != "LandXML") Fail("不是 LandXML 文件（根元素应为 LandXML）");
    ReadUnits(root);
    for (pugi::xml_node block : root.children()) {
      if (LocalName(block) == "CgPoints") {
        for (pugi::xml_node p : block.children()) {
          if (LocalName(p) == "CgPoint" && p.attribute("name"))
            cgPoints_[p.attribute("name").value()] = p.child_value();
        }
      } else if (LocalName(block) == "Alignments") {
        for (pugi::xml_node a : block.children()) {
          if (a.type() == pugi::node_element && LocalName(a) == "Alignment") alignments_.push_back(a);
        }
      }
    }
    if (alignments_.empty()) Fail("中没有路线（Alignments/Alignment）");
  }

  const std::vector<pugi::xml_node>& Alignments() const { return alignments_; }
  const std::string& FileName() const { return fileName_; }
  double MetresPerUnit() const { return metresPerUnit_; }
  const std::string& AngularUnit() const { return angularUnit_; }
  const std::string& DirectionUnit() const { return directionUnit_; }
  const std::string* CgPoint(std::string_view name) const {
    const auto found = cgPoints_.find(name);
    return found == cgPoints_.end() ? nullptr : &found->second;
  }
  // The line of a node, from an index of the text's line ends made once:
  // counting them from the start for every element named made reading a
  // file of thousands of elements take seconds.
  long LineOf(const pugi::xml_node& node) const {
    if (!indexed_) {
      for (std::size_t i = text_.find('\n'); i != std::string::npos; i = text_.find('\n', i + 1)) newlines_.push_back(i);
      indexed_ = true;
    }
    const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(node.offset_debug(), 0));
    return 1 + static_cast<long>(std::lower_bound(newlines_.begin(), newlines_.end(), offset) - newlines_.begin());
  }

  [[noreturn]] void Fail(const std::string& what) const {
    throw CalculationError("LandXML 文件“" + fileName_ + "”" + what);
  }
  [[noreturn]] void FailAt(const pugi::xml_node& node, const std::string& what) const {
    Fail("第" + std::to_string(LineOf(node)) + "行的 " + std::string(LocalName(node)) + "：" + what);
  }

  double Linear(const pugi::xml_node& node, const char* attribute, bool required) const {
    const auto value = OptionalLinear(node, attribute);
    if (!value && required) FailAt(node, std::string("缺少属性 ") + attribute);
    return value.value_or(0);
  }
  std::optional<double> OptionalLinear(const pugi::xml_node& node, const char* attribute) const {
    const pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return std::nullopt;
    const auto value = ParseDouble(a.value());
    if (!value) FailAt(node, std::string("属性 ") + attribute + "=\"" + a.value() + "\" 不是数");
    return *value * metresPerUnit_;
  }
  std::optional<double> Angle(const pugi::xml_node& node, const char* attribute, const std::string& unit) const {
    const pugi::xml_attribute a = node.attribute(attribute);
    if (!a) return std::nullopt;
    try {
      return LandXmlAngleToRadians(a.value(), unit);
    } catch (const CalculationError& e) {
      FailAt(node, std::string("属性 ") + attribute + "：" + e.what());
    }
  }

  // The name and length of an alignment as the file states them.
  AlignmentSummary Summary(const pugi::xml_node& alignment) const;

 private:
  void ReadUnits(const pugi::xml_node& root);

  pugi::xml_document document_;
  std::string fileName_;
  std::string text_;
  mutable std::vector<std::size_t> newlines_;  // offsets of the text's line ends, once asked
  mutable bool indexed_ = false;
  double metresPerUnit_ = 1;
  std::string angularUnit_ = "radians";
  std::string directionUnit_ = "radians";
  std::map<std::string, std::string, std::less<>> cgPoints_;
  std::vector<pugi::xml_node> alignments_;
};

void Document::ReadUnits(const pugi::xml_node& root) {
  const pugi::xml_node units = Child(root, "Units");
  if (!units) return;
  pugi::xml_node system = Child(units, "Metric");
  if (!system) system = Child(units, "Imperial");
  if (!system) return;
  if (const auto linear = system.attribute("linearUnit")) {
    try {
      metresPerUnit_ = LandXmlMetresPerUnit(linear.value());
    } catch (const CalculationError& e) {
      FailAt(system, e.what());
    }
  }
  for (const auto& [attribute, unit] : {std::pair{"angularUnit", &angularUnit_}, {"directionUnit", &directionUnit_}}) {
    if (const auto value = system.attribute(attribute)) {
      try {
        LandXmlAngleToRadians("0", value.value());
      } catch (const CalculationError& e) {
        FailAt(system, e.what());
      }
      *unit = value.value();
    }
  }
}

AlignmentSummary Document::Summary(const pugi::xml_node& alignment) const {
  AlignmentSummary summary{alignment.attribute("name").value(), 0};
  if (const auto length = ParseDouble(alignment.attribute("length").value())) {
    summary.length_m = *length * metresPerUnit_;
    return summary;
  }
  for (pugi::xml_node element : Child(alignment, "CoordGeom").children()) {
    if (const auto length = ParseDouble(element.attribute("length").value()))
      summary.length_m += *length * metresPerUnit_;
  }
  return summary;
}

// A written length (or direction) this close to what the coordinates give
// is the same value written more exactly, and is taken.
constexpr double kExactEnough_m = kLandXmlWarnAbove_m / 10;

// One element as read from the file, before the line is built.
struct Piece {
  pugi::xml_node node;
  std::size_t index = 0;  // among the CoordGeom's elements, for the messages
  ElementSpec design;
  Point2 start;
  Point2 end;
  std::optional<double> startAzimuth_rad;  // where the element itself fixes it
};

// The bearing a direction attribute stands for under each convention
// exporters use: clockwise from north (LandXML's own), counter-clockwise
// from east, counter-clockwise from north.
std::array<double, 3> BearingsOf(double direction_rad) {
  return {direction_rad, kPi / 2 - direction_rad, -direction_rad};
}

// A profile's stations in LandXML run on the alignment's internal
// stationing, staStart plus the distance along (what StaEquation@staInternal
// counts in): Civil 3D writes its raw stations, J-LandXML its cumulative
// ones, and a profile so written ends where the line ends whatever its
// chainage equations. The program's profile is kept in displayed stations;
// these turn one into the other on a line with equations (without any, the
// two are the same number and are left alone). Before the start and past
// the end the stations run on from that end.
double DisplayedFromInternal(const Line& line, double internal_m) {
  const double distance_m = internal_m - line.Start().station_m;
  if (distance_m <= 0) return internal_m;
  const double length_m = line.Length_m();
  if (distance_m >= length_m) return line.StationAt(length_m) + (distance_m - length_m);
  return line.StationAt(distance_m);
}

double InternalFromDisplayed(const Line& line, double displayed_m) {
  const double start_m = line.Start().station_m;
  try {
    return start_m + line.DistanceAt(displayed_m);
  } catch (const CalculationError&) {
    if (displayed_m < start_m) return displayed_m;
    const double end_m = line.StationAt(line.Length_m());
    return displayed_m > end_m ? start_m + line.Length_m() + (displayed_m - end_m) : displayed_m;
  }
}

// Reads one Alignment: its elements, the line they make, its equations,
// profile and this program's extension.
class AlignmentReader {
 public:
  AlignmentReader(const Document& document, pugi::xml_node alignment)
      : doc_(document), alignment_(alignment), named_(document.Alignments().size() > 1) {}

  RoadAlignment Read();

 private:
  [[noreturn]] void Fail(const std::string& what) const { doc_.Fail(Prefix() + what); }
  [[noreturn]] void FailAt(const pugi::xml_node& node, const std::string& what) const {
    Fail("第" + std::to_string(doc_.LineOf(node)) + "行的 " + std::string(LocalName(node)) + "：" + what);
  }
  // "第3个线元（Curve，第12行）".
  std::string ElementName(const pugi::xml_node& node, std::size_t index) const {
    return "第" + std::to_string(index + 1) + "个线元（" + std::string(LocalName(node)) + "，第" +
           std::to_string(doc_.LineOf(node)) + "行）";
  }
  [[noreturn]] void FailElement(const pugi::xml_node& node, std::size_t index, const std::string& what) const {
    Fail(ElementName(node, index) + what);
  }
  // In a file of several alignments, messages name the one at fault.
  std::string Prefix() const {
    return named_ ? "中的路线“" + std::string(alignment_.attribute("name").value()) + "”：" : "";
  }
  // A redundant value `amount` metres off what the coordinates give: a
  // rounding, a warning, or the file refused.
  void Disagree(const std::string& who, const std::string& what, double amount) {
    if (!(amount <= kLandXmlRefuseAbove_m)) {
      Fail(who + what + " " + ShortestText(std::round(amount * 1e4) / 1e4) + " 米");
    }
    if (amount > kLandXmlWarnAbove_m) warnings_.push_back(who + what + " " + MillimetreText(amount) + " 毫米");
  }

  std::optional<Point2> PointOf(const pugi::xml_node& element, const char* child) const;
  Point2 RequiredPoint(const pugi::xml_node& element, std::size_t index, const char* child) const;
  int Rot(const pugi::xml_node& element, std::size_t index) const;
  double Radius(const pugi::xml_node& node, const char* attribute) const;
  bool HasNoLength(const pugi::xml_node& node, std::size_t index, Point2 start, Point2 end) const;

  Piece ReadLine(const pugi::xml_node& node, std::size_t index);
  Piece ReadCurve(const pugi::xml_node& node, std::size_t index);
  Piece ReadSpiral(const pugi::xml_node& node, std::size_t index);
  std::vector<Piece> ReadElements();
  double StartAzimuth(const std::vector<Piece>& pieces);
  std::vector<ChainageEquation> ReadEquations(double startStation_m);
  Line Build(const std::vector<Piece>& pieces);
  void CheckAgainstFile(const std::vector<Piece>& pieces, const Line& line);
  std::vector<GradePoint> ReadProfile(const Line& line);
  void ReadExtension(RoadAlignment& road) const;

  const Document& doc_;
  pugi::xml_node alignment_;
  bool named_;
  std::vector<std::string> warnings_;
};

std::optional<Point2> AlignmentReader::PointOf(const pugi::xml_node& element, const char* child) const {
  const pugi::xml_node node = Child(element, child);
  if (!node) return std::nullopt;
  std::string_view text = node.child_value();
  if (Trim(text).empty()) {
    if (const auto ref = node.attribute("pntRef")) {
      const std::string* found = doc_.CgPoint(ref.value());
      if (!found) FailAt(node, std::string("找不到点 pntRef=\"") + ref.value() + "\"");
      text = *found;
    }
  }
  std::istringstream words{std::string(text)};
  std::string north;
  std::string east;
  words >> north >> east;
  const auto n = ParseDouble(north);
  const auto e = ParseDouble(east);
  if (!n || !e) FailAt(node, "坐标“" + std::string(Trim(text)) + "”应为“北坐标 东坐标”两个数");
  return Point2{*n * doc_.MetresPerUnit(), *e * doc_.MetresPerUnit()};
}

Point2 AlignmentReader::RequiredPoint(const pugi::xml_node& element, std::size_t index, const char* child) const {
  const auto point = PointOf(element, child);
  if (!point) FailElement(element, index, std::string("缺少 ") + child);
  return *point;
}

int AlignmentReader::Rot(const pugi::xml_node& element, std::size_t index) const {
  const std::string_view rot = element.attribute("rot").value();
  if (rot == "cw") return +1;
  if (rot == "ccw") return -1;
  if (rot.empty()) FailElement(element, index, "缺少属性 rot（cw 或 ccw）");
  FailElement(element, index, "的 rot=\"" + std::string(rot) + "\" 应为 cw 或 ccw");
}

double AlignmentReader::Radius(const pugi::xml_node& node, const char* attribute) const {
  const pugi::xml_attribute a = node.attribute(attribute);
  if (!a || IsInfinityText(a.value())) return kInfiniteRadius;
  const double r = *doc_.OptionalLinear(node, attribute);
  if (r == 0) return kInfiniteRadius;
  if (r < 0) FailAt(node, std::string("属性 ") + attribute + " 为负数");
  return r;
}

// An element whose ends meet and whose length, if given, is nothing.
bool AlignmentReader::HasNoLength(const pugi::xml_node& node, std::size_t index, Point2 start, Point2 end) const {
  const auto length = doc_.OptionalLinear(node, "length");
  if (length && *length < 0) FailElement(node, index, "的长度 length 应为正数");
  return Distance(start, end) < kExactEnough_m && (!length || *length < kExactEnough_m);
}

Piece AlignmentReader::ReadLine(const pugi::xml_node& node, std::size_t index) {
  Piece piece{node, index, {}, RequiredPoint(node, index, "Start"), RequiredPoint(node, index, "End"), {}};
  piece.design = {ElementType::Straight, Distance(piece.start, piece.end)};
  piece.startAzimuth_rad = AzimuthOf(piece.start, piece.end);
  if (const auto length = doc_.OptionalLinear(node, "length")) {
    const double off = std::abs(*length - piece.design.length_m);
    Disagree(ElementName(node, index), "的长度 length 与起点、终点间的距离相差", off);
    if (off <= kExactEnough_m) piece.design.length_m = *length;
  }
  return piece;
}

Piece AlignmentReader::ReadCurve(const pugi::xml_node& node, std::size_t index) {
  Piece piece{node, index, {}, RequiredPoint(node, index, "Start"), RequiredPoint(node, index, "End"), {}};
  const std::string who = ElementName(node, index);
  const int turn = Rot(node, index);
  const auto centreGiven = PointOf(node, "Center");
  const auto pi = PointOf(node, "PI");
  const pugi::xml_attribute radiusAttribute = node.attribute("radius");
  // The radius as written, or -1 where there is none (or INF).
  const double givenRadius =
      radiusAttribute && !IsInfinityText(radiusAttribute.value()) ? std::abs(*doc_.OptionalLinear(node, "radius")) : -1;
  const bool hasRadius = givenRadius >= 0;
  if (hasRadius && givenRadius == 0 && !centreGiven) {
    // A curve of radius 0 without a centre is a straight.
    piece.design = {ElementType::Straight, Distance(piece.start, piece.end)};
    piece.startAzimuth_rad = AzimuthOf(piece.start, piece.end);
    return piece;
  }
  const Point2 s = piece.start;
  const Point2 e = piece.end;
  const double chord = Distance(s, e);
  Point2 centre;
  double radius = 0;
  if (centreGiven) {
    const double toStart = Distance(*centreGiven, s);
    const double toEnd = Distance(*centreGiven, e);
    if (givenRadius > 0 && chord <= 2 * givenRadius) {
      // The centre of radius R through both ends, on the side Center names.
      radius = givenRadius;
      const Point2 mid{(s.X + e.X) / 2, (s.Y + e.Y) / 2};
      const double h = chord > 0 ? std::sqrt(std::max(0.0, radius * radius - chord * chord / 4)) : 0;
      const double ux = chord > 0 ? (e.X - s.X) / chord : 0;
      const double uy = chord > 0 ? (e.Y - s.Y) / chord : 0;
      const Point2 left{mid.X - h * uy, mid.Y + h * ux};
      const Point2 right{mid.X + h * uy, mid.Y - h * ux};
      centre = chord > 0 ? (Distance(left, *centreGiven) < Distance(right, *centreGiven) ? left : right) : *centreGiven;
      Disagree(who, "的圆心与起终点和半径推算的位置相差", Distance(centre, *centreGiven));
    } else {
      centre = *centreGiven;
      radius = (toStart + toEnd) / 2;
      Disagree(who, "的圆心到起点与到终点的距离（半径）相差", std::abs(toStart - toEnd));
      if (hasRadius) Disagree(who, "的半径 radius 与圆心推算的半径相差", std::abs(givenRadius - radius));
    }
  } else if (pi && Distance(s, *pi) > 0) {
    const double tangent = AzimuthOf(s, *pi);
    const double chordAngle = std::abs(Wrap(AzimuthOf(s, e) - tangent));
    radius = givenRadius > 0 ? givenRadius : chord / (2 * std::sin(chordAngle));
    const double normal = tangent + turn * kPi / 2;
    centre = {s.X + radius * std::cos(normal), s.Y + radius * std::sin(normal)};
    Disagree(who, "的终点到圆心的距离与半径相差", std::abs(Distance(centre, e) - radius));
  } else if (!hasRadius) {
    FailElement(node, index, "缺少半径 radius 和圆心 Center");
  } else if (chord > 0) {
    // Start, End, radius and rot alone: the centre is off the chord's middle
    // on the side the curve turns to, across it for an arc of more than half
    // a turn (told by its length or delta).
    radius = givenRadius;
    const double halfChord = chord / 2;
    Disagree(who, "的半径 radius 小于起终点间弦长的一半，相差", halfChord - radius);
    const double h = std::sqrt(std::max(0.0, radius * radius - halfChord * halfChord));
    const auto length = doc_.OptionalLinear(node, "length");
    const auto delta = doc_.Angle(node, "delta", doc_.AngularUnit());
    const bool overHalfTurn = (length && *length > kPi * radius) || (delta && std::abs(*delta) > kPi);
    const double side = (overHalfTurn ? -1 : 1) * turn * h / chord;
    // (-dY, dX) points right of the chord's direction (X north, Y east).
    centre = {(s.X + e.X) / 2 - side * (e.Y - s.Y), (s.Y + e.Y) / 2 + side * (e.X - s.X)};
  } else {
    FailElement(node, index, "缺少圆心 Center");
  }
  if (!(radius > 0) || !std::isfinite(radius)) FailElement(node, index, "的半径无法由坐标确定");
  double sweep = turn * (AzimuthOf(centre, e) - AzimuthOf(centre, s));
  sweep -= 2 * kPi * std::floor(sweep / (2 * kPi));
  const auto lengthGiven = doc_.OptionalLinear(node, "length");
  if (lengthGiven && *lengthGiven > 0) {
    // A curve of a whole turn or more has its ends where a shorter one has.
    sweep += 2 * kPi * std::max(0.0, std::round((*lengthGiven / radius - sweep) / (2 * kPi)));
  }
  piece.design = {ElementType::Arc, radius * sweep, radius, radius, turn};
  if (lengthGiven) {
    const double off = std::abs(*lengthGiven - piece.design.length_m);
    Disagree(who, "的长度 length 与坐标推算的相差", off);
    if (off <= kExactEnough_m) piece.design.length_m = *lengthGiven;
  }
  if (const auto delta = doc_.Angle(node, "delta", doc_.AngularUnit())) {
    Disagree(who, "的圆心角 delta 与坐标推算的（按半径折算为弧长）相差",
             std::abs(std::abs(*delta) * radius - piece.design.length_m));
  }
  // The centre lies right of the direction of travel on a right turn.
  piece.startAzimuth_rad = AzimuthOf(s, centre) - turn * kPi / 2;
  if (pi && centreGiven && sweep < kPi * 0.99) {
    const double t = radius * std::tan(sweep / 2);
    const Point2 fromCoordinates{s.X + t * std::cos(*piece.startAzimuth_rad),
                                 s.Y + t * std::sin(*piece.startAzimuth_rad)};
    Disagree(who, "的交点 PI 与坐标推算的位置相差", Distance(fromCoordinates, *pi));
  }
  return piece;
}

Piece AlignmentReader::ReadSpiral(const pugi::xml_node& node, std::size_t index) {
  Piece piece{node, index, {}, RequiredPoint(node, index, "Start"), RequiredPoint(node, index, "End"), {}};
  const std::string_view type = node.attribute("spiType").value();
  if (!type.empty() && type != "clothoid") {
    FailElement(node, index, "的类型 spiType=\"" + std::string(type) + "\" 不是回旋线（clothoid）");
  }
  const auto length = doc_.OptionalLinear(node, "length");
  if (!length) FailElement(node, index, "缺少属性 length");
  piece.design = {ElementType::Spiral, *length, Radius(node, "radiusStart"), Radius(node, "radiusEnd"),
                  Rot(node, index)};
  if (const auto pi = PointOf(node, "PI"); pi && Distance(piece.start, *pi) > 0) {
    piece.startAzimuth_rad = AzimuthOf(piece.start, *pi);
  }
  return piece;
}

std::vector<Piece> AlignmentReader::ReadElements() {
  const pugi::xml_node geometry = Child(alignment_, "CoordGeom");
  if (!geometry) FailAt(alignment_, "缺少平面线形 CoordGeom");
  struct Found {
    pugi::xml_node node;
    std::size_t index;
    Point2 start;
    Point2 end;
  };
  std::vector<Found> found;
  std::size_t index = 0;
  for (pugi::xml_node node : geometry.children()) {
    if (node.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(node);
    if (kind == "Feature") continue;
    if (kind != "Line" && kind != "Curve" && kind != "Spiral") {
      FailElement(node, index, "不是直线、圆曲线或缓和曲线，无法读取");
    }
    const Point2 start = RequiredPoint(node, index, "Start");
    const Point2 end = RequiredPoint(node, index, "End");
    if (HasNoLength(node, index, start, end)) {
      warnings_.push_back(ElementName(node, index) + "长度为零，已略过");
    } else {
      found.push_back({node, index, start, end});
    }
    ++index;
  }
  if (found.empty()) FailAt(geometry, "没有线元");
  // A gap between two elements is named as such before anything else.
  for (std::size_t i = 1; i < found.size(); ++i) {
    const double gap = Distance(found[i].start, found[i - 1].end);
    const std::string who = ElementName(found[i].node, found[i].index);
    if (gap > kLandXmlRefuseAbove_m) {
      Fail(who + "的起点与上一线元的终点不相接（相差 " + ShortestText(std::round(gap * 1e4) / 1e4) + " 米）");
    }
    if (gap > kLandXmlWarnAbove_m)
      warnings_.push_back(who + "的起点与上一线元的终点相差 " + MillimetreText(gap) + " 毫米");
  }
  std::vector<Piece> pieces;
  for (const Found& f : found) {
    const std::string_view kind = LocalName(f.node);
    pieces.push_back(kind == "Line"    ? ReadLine(f.node, f.index)
                     : kind == "Curve" ? ReadCurve(f.node, f.index)
                                       : ReadSpiral(f.node, f.index));
  }
  return pieces;
}

// The line's start azimuth: what the first element fixes, else (a spiral
// without PI) its start tangent turned from the chord to its End by the
// angle its shape gives. A written direction (clockwise from north) that
// agrees with it to 0.1 mm over the element is more exact and is taken.
double AlignmentReader::StartAzimuth(const std::vector<Piece>& pieces) {
  const Piece& first = pieces.front();
  double azimuth_rad = 0;
  if (first.startAzimuth_rad) {
    azimuth_rad = *first.startAzimuth_rad;
  } else {
    if (Distance(first.start, first.end) == 0) FailElement(first.node, first.index, "缺少 PI，无法确定起点方向");
    const Line alone(LineStart{0, 0, 0, 0}, {first.design});
    const LinePoint end = alone.PointAtDistance(alone.Length_m());
    azimuth_rad = AzimuthOf(first.start, first.end) - std::atan2(end.Y_m, end.X_m);
  }
  const char* dirName = LocalName(first.node) == "Line" ? "dir" : "dirStart";
  if (const auto dir = doc_.Angle(first.node, dirName, doc_.DirectionUnit())) {
    if (std::abs(Wrap(*dir - azimuth_rad)) * first.design.length_m <= kExactEnough_m) azimuth_rad = *dir;
  }
  return azimuth_rad;
}

std::vector<ChainageEquation> AlignmentReader::ReadEquations(double startStation_m) {
  struct Read {
    std::optional<double> internal;
    std::optional<double> back;
    double ahead = 0;
    pugi::xml_node node;
  };
  std::vector<Read> read;
  for (pugi::xml_node node : alignment_.children()) {
    if (LocalName(node) != "StaEquation") continue;
    read.push_back({doc_.OptionalLinear(node, "staInternal"), doc_.OptionalLinear(node, "staBack"),
                    doc_.Linear(node, "staAhead", true), node});
    if (!read.back().internal && !read.back().back) FailAt(node, "缺少属性 staBack 和 staInternal");
  }
  // In the order of their internal stations; those without one keep their place.
  std::stable_sort(read.begin(), read.end(),
                   [](const Read& a, const Read& b) { return a.internal && b.internal && *a.internal < *b.internal; });
  std::vector<ChainageEquation> equations;
  double partStart = 0;  // distance where the part before the equation begins
  double partStation = startStation_m;
  for (const Read& r : read) {
    // Without staBack: the station the part before reads at the equation.
    const double back = r.back ? *r.back : partStation + (*r.internal - startStation_m - partStart);
    equations.push_back({back, r.ahead});
    partStart = r.internal ? *r.internal - startStation_m : partStart + (back - partStation);
    partStation = r.ahead;
  }
  return equations;
}

Line AlignmentReader::Build(const std::vector<Piece>& pieces) {
  LineStart start{pieces.front().start.X, pieces.front().start.Y, StartAzimuth(pieces), 0};
  if (alignment_.attribute("staStart")) start.station_m = doc_.Linear(alignment_, "staStart", true);
  std::vector<ElementSpec> designs;
  for (const Piece& piece : pieces) designs.push_back(piece.design);
  try {
    return Line(start, designs, ReadEquations(start.station_m));
  } catch (const CalculationError& e) {
    Fail("：" + std::string(e.what()));
  }
}

void AlignmentReader::CheckAgainstFile(const std::vector<Piece>& pieces, const Line& line) {
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const Piece& piece = pieces[i];
    const LineElement& built = line.Elements()[i];
    const std::string who = ElementName(piece.node, piece.index);
    // What a gap before the element carried in is told there already.
    const double endGap = Distance(piece.end, {built.end.X_m, built.end.Y_m});
    const double carried = Distance(piece.start, {built.start.X_m, built.start.Y_m});
    if (endGap > kLandXmlRefuseAbove_m || std::abs(endGap - carried) > kExactEnough_m) {
      Disagree(who, "的终点与由起点、方向、长度和半径推算的位置相差", endGap);
    }
    const std::string_view kind = LocalName(piece.node);
    for (const auto& [attribute, bearing] :
         {std::pair{kind == "Line" ? "dir" : "dirStart", built.start.azimuth_rad}, {"dirEnd", built.end.azimuth_rad}}) {
      const auto dir = doc_.Angle(piece.node, attribute, doc_.DirectionUnit());
      if (!dir) continue;
      double off = kPi;
      for (const double b : BearingsOf(*dir)) off = std::min(off, std::abs(Wrap(b - bearing)));
      Disagree(who, std::string("的方向 ") + attribute + " 与坐标推算的方向相差（按线元长度折算）",
               off * piece.design.length_m);
    }
  }
  if (const auto length = doc_.OptionalLinear(alignment_, "length")) {
    Disagree("路线长度 length", " 与各线元长度之和相差", std::abs(*length - line.Length_m()));
  }
}

std::vector<GradePoint> AlignmentReader::ReadProfile(const Line& line) {
  const pugi::xml_node profAlign = Child(Child(alignment_, "Profile"), "ProfAlign");
  std::vector<GradePoint> points;
  std::vector<pugi::xml_node> nodes;    // of each point
  std::vector<std::size_t> lengthOnly;  // circles given by their length
  if (!profAlign) return points;
  for (pugi::xml_node node : profAlign.children()) {
    if (node.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(node);
    if (kind == "UnsymParaCurve") FailAt(node, "不支持不对称竖曲线");
    if (kind != "PVI" && kind != "ParaCurve" && kind != "CircCurve") continue;
    std::istringstream words{std::string(node.child_value())};
    std::string stationText;
    std::string elevationText;
    words >> stationText >> elevationText;
    const auto station = ParseDouble(stationText);
    const auto elevation = ParseDouble(elevationText);
    if (!station || !elevation) FailAt(node, "应为“桩号 高程”两个数");
    GradePoint point;
    point.station_m = *station * doc_.MetresPerUnit();
    point.elevation_m = *elevation * doc_.MetresPerUnit();
    if (kind == "ParaCurve") point.curveLength_m = doc_.Linear(node, "length", true);
    if (kind == "CircCurve") {
      // The grades tell crest from sag; some programs sign the radius too.
      point.circular = true;
      point.radius_m = std::abs(doc_.OptionalLinear(node, "radius").value_or(0));
      if (point.radius_m == 0) lengthOnly.push_back(points.size());
    }
    if (point.curveLength_m < 0) FailAt(node, "竖曲线长度或半径为负数");
    points.push_back(point);
    nodes.push_back(node);
  }
  // A circle given by its length alone: the radius of the arc of that length
  // between the two grades' directions.
  for (const std::size_t i : lengthOnly) {
    const double length = doc_.Linear(nodes[i], "length", true);
    if (i == 0 || i + 1 == points.size()) FailAt(nodes[i], "纵断面的起点或终点不能设竖曲线");
    const GradePoint& p = points[i];
    const double i1 = (p.elevation_m - points[i - 1].elevation_m) / (p.station_m - points[i - 1].station_m);
    const double i2 = (points[i + 1].elevation_m - p.elevation_m) / (points[i + 1].station_m - p.station_m);
    const double turn = std::abs(std::atan(i2) - std::atan(i1));
    if (!(turn > 0) || !std::isfinite(length / turn)) FailAt(nodes[i], "两侧坡度相同，无法由长度求圆形竖曲线的半径");
    points[i].radius_m = length / turn;
  }
  if (!line.Equations().empty()) {
    for (GradePoint& p : points) p.station_m = DisplayedFromInternal(line, p.station_m);
  }
  // Parabolas typed by their radius, and the displayed stations as typed on
  // a line with equations, as this program's extension keeps them.
  for (pugi::xml_node feature : profAlign.children()) {
    if (LocalName(feature) != "Feature" || std::string_view(feature.attribute("code").value()) != "quorvane") continue;
    for (pugi::xml_node property : feature.children()) {
      const std::string_view label = property.attribute("label").value();
      if (label == "station" && !line.Equations().empty()) {
        std::istringstream words{property.attribute("value").value()};
        std::string indexText;
        std::string stationText;
        words >> indexText >> stationText;
        const auto index = ParseDouble(indexText);
        const auto station = ParseDouble(stationText);
        if (!index || !station || *index < 0 || *index >= static_cast<double>(points.size())) continue;
        points[static_cast<std::size_t>(*index)].station_m = *station * doc_.MetresPerUnit();
        continue;
      }
      if (label != "radius") continue;
      std::istringstream words{property.attribute("value").value()};
      std::string indexText;
      std::string radiusText;
      words >> indexText >> radiusText;
      const auto index = ParseDouble(indexText);
      const auto radius = ParseDouble(radiusText);
      if (!index || !radius || *index < 0 || *index >= static_cast<double>(points.size()) || !(*radius > 0)) continue;
      GradePoint& p = points[static_cast<std::size_t>(*index)];
      if (p.circular || !(p.curveLength_m > 0)) continue;
      p.radius_m = *radius * doc_.MetresPerUnit();
      p.curveLength_m = 0;
    }
  }
  if (points.empty()) return points;
  try {
    const Profile profile(line, points);
    // An end the profile stops a few millimetres short of is taken as
    // reached, and said.
    // (A point off the line, past an end, is short of nothing.)
    const auto inside = [&](double station_m, double from_m) {
      try {
        return std::abs(line.DistanceAt(station_m) - from_m);
      } catch (const CalculationError&) {
        return 0.0;
      }
    };
    const double shortOfStart = inside(points.front().station_m, 0);
    const double shortOfEnd = inside(points.back().station_m, line.Length_m());
    if (profile.Covers(0) && shortOfStart > kLandXmlWarnAbove_m) {
      warnings_.push_back("纵断面的起点在路线起点后 " + MillimetreText(shortOfStart) + " 毫米，按起点计");
    }
    if (profile.Covers(line.Length_m()) && shortOfEnd > kLandXmlWarnAbove_m) {
      warnings_.push_back("纵断面的终点在路线终点前 " + MillimetreText(shortOfEnd) + " 毫米，按终点计");
    }
    if (!profile.CoversWholeLine()) {
      warnings_.push_back("纵断面只到达桩号 " + FixedText(line.StationAt(profile.CoveredFrom_m()), 3) + " 至 " +
                          FixedText(line.StationAt(profile.CoveredTo_m()), 3) + "，此范围以外的桩没有高程");
    }
  } catch (const CalculationError& e) {
    Fail("的纵断面：" + std::string(e.what()));
  }
  return points;
}

// This program's own extension: <Feature code="quorvane"> with <Property
// label value> children, and for the JD table one <Feature name> per row.
void AlignmentReader::ReadExtension(RoadAlignment& road) const {
  const auto number = [&](const pugi::xml_node& property) {
    const auto value = ParseDouble(property.attribute("value").value());
    if (!value) FailAt(property, std::string("属性 value=\"") + property.attribute("value").value() + "\" 不是数");
    return *value;
  };
  for (pugi::xml_node feature : alignment_.children()) {
    if (LocalName(feature) != "Feature" || std::string_view(feature.attribute("code").value()) != "quorvane") continue;
    const std::string_view what = feature.attribute("name").value();
    const double unit = doc_.MetresPerUnit();
    if (what == "jd") {
      JdTable table;
      for (pugi::xml_node child : feature.children()) {
        if (LocalName(child) == "Property" && std::string_view(child.attribute("label").value()) == "startStation") {
          table.startStation_m = number(child) * unit;
        }
        if (LocalName(child) != "Feature") continue;
        JdRow row;
        row.name = child.attribute("name").value();
        for (pugi::xml_node property : child.children()) {
          const std::string_view label = property.attribute("label").value();
          double* field = label == "X"     ? &row.X_m
                          : label == "Y"   ? &row.Y_m
                          : label == "R"   ? &row.R_m
                          : label == "Ls1" ? &row.Ls1_m
                          : label == "Ls2" ? &row.Ls2_m
                                           : nullptr;
          if (field) *field = number(property) * unit;
        }
        table.rows.push_back(row);
      }
      road.jd = table;
    } else if (what == "stakeSettings") {
      StakeSettings settings;
      for (pugi::xml_node property : feature.children()) {
        const std::string_view label = property.attribute("label").value();
        if (label == "leftWidth") settings.leftWidth_m = number(property) * unit;
        if (label == "rightWidth") settings.rightWidth_m = number(property) * unit;
        if (label == "leftSlope") settings.leftSlope_percent = number(property);
        if (label == "rightSlope") settings.rightSlope_percent = number(property);
      }
      road.stakeSettings = settings;
    } else if (what == "crossSection") {
      for (pugi::xml_node row : feature.children()) {
        if (LocalName(row) != "Feature") continue;
        CrossSectionRow read;
        for (pugi::xml_node property : row.children()) {
          const std::string_view label = property.attribute("label").value();
          if (label == "station") read.station_m = number(property) * unit;
          if (label == "leftWidth") read.leftWidth_m = number(property) * unit;
          if (label == "rightWidth") read.rightWidth_m = number(property) * unit;
          if (label == "leftSlope") read.leftSlope_percent = number(property);
          if (label == "rightSlope") read.rightSlope_percent = number(property);
          if (label == "transition") {
            const std::string_view value = property.attribute("value").value();
            if (value != "linear" && value != "higherOrder") {
              FailAt(property, "超高加宽表的渐变方式“" + std::string(value) + "”应为 linear 或 higherOrder");
            }
            read.transition = value == "higherOrder" ? WidthTransition::HigherOrder : WidthTransition::Linear;
          }
        }
        road.crossSection.push_back(read);
      }
    }
  }
}

RoadAlignment AlignmentReader::Read() {
  const std::vector<Piece> pieces = ReadElements();
  Line line = Build(pieces);
  CheckAgainstFile(pieces, line);
  std::vector<GradePoint> profile = ReadProfile(line);
  RoadAlignment road{alignment_.attribute("name").value(), std::move(line), std::move(profile)};
  ReadExtension(road);
  road.warnings = std::move(warnings_);
  return road;
}

// --- writing ---------------------------------------------------------------

std::string PointText(double X_m, double Y_m) { return ShortestText(X_m) + " " + ShortestText(Y_m); }

void AddPoint(pugi::xml_node parent, const char* name, double X_m, double Y_m) {
  parent.append_child(name).text().set(PointText(X_m, Y_m).c_str());
}

void AddNumber(pugi::xml_node node, const char* attribute, double value) {
  node.append_attribute(attribute) = ShortestText(value).c_str();
}

void AddProperty(pugi::xml_node feature, const char* label, const std::string& value) {
  pugi::xml_node property = feature.append_child("Property");
  property.append_attribute("label") = label;
  property.append_attribute("value") = value.c_str();
}

pugi::xml_node AddOwnFeature(pugi::xml_node parent, const char* name) {
  pugi::xml_node feature = parent.append_child("Feature");
  feature.append_attribute("code") = "quorvane";
  if (name) feature.append_attribute("name") = name;
  return feature;
}

std::string RadiusText(double radius_m) { return std::isfinite(radius_m) ? ShortestText(radius_m) : "INF"; }

// The intersection of the tangents at two points, if they meet ahead of the
// first within a sensible distance.
std::optional<Point2> TangentIntersection(const LinePoint& a, const LinePoint& b) {
  const double ux = std::cos(a.azimuth_rad), uy = std::sin(a.azimuth_rad);
  const double vx = std::cos(b.azimuth_rad), vy = std::sin(b.azimuth_rad);
  const double cross = ux * vy - uy * vx;
  if (std::abs(cross) < 1e-9) return std::nullopt;
  const double dx = b.X_m - a.X_m, dy = b.Y_m - a.Y_m;
  const double t = (dx * vy - dy * vx) / cross;
  if (!(t > 0)) return std::nullopt;
  return Point2{a.X_m + t * ux, a.Y_m + t * uy};
}

// A direction as LandXML writes it: clockwise from north, 0 .. 2 pi.
double NorthClockwise(double azimuth_rad) {
  double dir = azimuth_rad;
  dir -= 2 * kPi * std::floor(dir / (2 * kPi));
  return dir >= 2 * kPi ? 0 : dir;
}

void AddDirections(pugi::xml_node node, const LineElement& element) {
  AddNumber(node, "dirStart", NorthClockwise(element.start.azimuth_rad));
  AddNumber(node, "dirEnd", NorthClockwise(element.end.azimuth_rad));
}

void WriteStraight(pugi::xml_node geometry, const LineElement& element) {
  pugi::xml_node node = geometry.append_child("Line");
  AddNumber(node, "dir", NorthClockwise(element.start.azimuth_rad));
  AddNumber(node, "length", element.design.length_m);
  AddPoint(node, "Start", element.start.X_m, element.start.Y_m);
  AddPoint(node, "End", element.end.X_m, element.end.Y_m);
}

void WriteArc(pugi::xml_node geometry, const LineElement& element) {
  const ElementSpec& design = element.design;
  pugi::xml_node node = geometry.append_child("Curve");
  node.append_attribute("rot") = design.turn > 0 ? "cw" : "ccw";
  AddDirections(node, element);
  AddNumber(node, "radius", design.startRadius_m);
  AddNumber(node, "length", design.length_m);
  AddNumber(node, "delta", design.length_m / design.startRadius_m);
  const double normal = element.start.azimuth_rad + design.turn * kPi / 2;
  AddPoint(node, "Start", element.start.X_m, element.start.Y_m);
  AddPoint(node, "Center", element.start.X_m + design.startRadius_m * std::cos(normal),
           element.start.Y_m + design.startRadius_m * std::sin(normal));
  AddPoint(node, "End", element.end.X_m, element.end.Y_m);
  if (design.length_m / design.startRadius_m < kPi * 0.999) {
    if (const auto pi = TangentIntersection(element.start, element.end)) AddPoint(node, "PI", pi->X, pi->Y);
  }
}

void WriteSpiral(pugi::xml_node geometry, const LineElement& element) {
  const ElementSpec& design = element.design;
  pugi::xml_node node = geometry.append_child("Spiral");
  node.append_attribute("rot") = design.turn > 0 ? "cw" : "ccw";
  node.append_attribute("spiType") = "clothoid";
  AddNumber(node, "length", design.length_m);
  node.append_attribute("radiusStart") = RadiusText(design.startRadius_m).c_str();
  node.append_attribute("radiusEnd") = RadiusText(design.endRadius_m).c_str();
  AddDirections(node, element);
  AddPoint(node, "Start", element.start.X_m, element.start.Y_m);
  const double turned = std::abs(Wrap(element.end.azimuth_rad - element.start.azimuth_rad));
  const double turnedByLength =
      design.length_m / 2 * (1 / design.startRadius_m + 1 / design.endRadius_m);  // the angle a clothoid turns
  if (turnedByLength < kPi * 0.999 && turned > 0) {
    if (const auto pi = TangentIntersection(element.start, element.end)) AddPoint(node, "PI", pi->X, pi->Y);
  }
  AddPoint(node, "End", element.end.X_m, element.end.Y_m);
}

// Each equation stands where its DL key point lies.
void WriteEquations(pugi::xml_node alignment, const Line& line) {
  std::vector<double> equationDistances;
  for (const KeyPoint& key : line.KeyPoints()) {
    if (key.code == "DL") equationDistances.push_back(key.distance_m);
  }
  for (std::size_t i = 0; i < line.Equations().size(); ++i) {
    const ChainageEquation& equation = line.Equations()[i];
    pugi::xml_node node = alignment.append_child("StaEquation");
    if (i < equationDistances.size()) AddNumber(node, "staInternal", line.Start().station_m + equationDistances[i]);
    AddNumber(node, "staBack", equation.stationBack_m);
    AddNumber(node, "staAhead", equation.stationAhead_m);
  }
}

// The profile: a parabola typed by its radius is written as the ParaCurve of
// its length for other programs, its radius kept in the extension; on a line
// with equations the stations are internal ones, the displayed ones kept in
// the extension.
void WriteProfile(pugi::xml_node alignment, const RoadAlignment& road) {
  pugi::xml_node profAlign = alignment.append_child("Profile").append_child("ProfAlign");
  profAlign.append_attribute("name") = road.name.c_str();
  const auto& points = road.profile;
  const Profile profile(road.line, points);
  std::vector<std::pair<std::size_t, double>> typedRadii;
  const bool equations = !road.line.Equations().empty();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const GradePoint& p = points[i];
    const double length = p.radius_m > 0 && !p.circular ? profile.CurveAt(i).length_m : p.curveLength_m;
    const char* kind = p.circular ? "CircCurve" : length > 0 ? "ParaCurve" : "PVI";
    pugi::xml_node node = profAlign.append_child(kind);
    if (p.circular) {
      AddNumber(node, "radius", p.radius_m);
    } else if (length > 0) {
      AddNumber(node, "length", length);
      if (p.radius_m > 0) typedRadii.emplace_back(i, p.radius_m);
    }
    const double station_m = equations ? InternalFromDisplayed(road.line, p.station_m) : p.station_m;
    node.text().set((ShortestText(station_m) + " " + ShortestText(p.elevation_m)).c_str());
  }
  if (typedRadii.empty() && !equations) return;
  pugi::xml_node feature = AddOwnFeature(profAlign, nullptr);
  for (const auto& [index, radius] : typedRadii) {
    AddProperty(feature, "radius", std::to_string(index) + " " + ShortestText(radius));
  }
  // The displayed stations exactly as typed; the points above are on the
  // internal stationing other programs read.
  for (std::size_t i = 0; equations && i < points.size(); ++i) {
    AddProperty(feature, "station", std::to_string(i) + " " + ShortestText(points[i].station_m));
  }
}

// The JD table: each JD's point in LandXML's own AlignPIs, so other programs
// see them, and the whole table in the extension.
void WriteJdTable(pugi::xml_node alignment, const JdTable& table) {
  pugi::xml_node pis = alignment.insert_child_after("AlignPIs", Child(alignment, "CoordGeom"));
  for (const JdRow& row : table.rows) {
    pugi::xml_node pi = pis.append_child("AlignPI").append_child("PI");
    pi.append_attribute("name") = row.name.c_str();
    pi.text().set(PointText(row.X_m, row.Y_m).c_str());
  }
  pugi::xml_node feature = AddOwnFeature(alignment, "jd");
  AddProperty(feature, "startStation", ShortestText(table.startStation_m));
  for (const JdRow& row : table.rows) {
    pugi::xml_node jd = feature.append_child("Feature");
    jd.append_attribute("name") = row.name.c_str();
    for (const auto& [label, value] :
         {std::pair{"X", row.X_m}, {"Y", row.Y_m}, {"R", row.R_m}, {"Ls1", row.Ls1_m}, {"Ls2", row.Ls2_m}}) {
      AddProperty(jd, label, ShortestText(value));
    }
  }
}

void WriteStakeSettings(pugi::xml_node alignment, const StakeSettings& settings) {
  pugi::xml_node feature = AddOwnFeature(alignment, "stakeSettings");
  AddProperty(feature, "leftWidth", ShortestText(settings.leftWidth_m));
  AddProperty(feature, "rightWidth", ShortestText(settings.rightWidth_m));
  AddProperty(feature, "leftSlope", ShortestText(settings.leftSlope_percent));
  AddProperty(feature, "rightSlope", ShortestText(settings.rightSlope_percent));
}

// The 超高/加宽 table, one <Feature name="row"> a row.
void WriteCrossSection(pugi::xml_node alignment, const std::vector<CrossSectionRow>& rows) {
  pugi::xml_node feature = AddOwnFeature(alignment, "crossSection");
  for (const CrossSectionRow& row : rows) {
    pugi::xml_node written = feature.append_child("Feature");
    written.append_attribute("name") = "row";
    AddProperty(written, "station", ShortestText(row.station_m));
    AddProperty(written, "leftWidth", ShortestText(row.leftWidth_m));
    AddProperty(written, "rightWidth", ShortestText(row.rightWidth_m));
    AddProperty(written, "leftSlope", ShortestText(row.leftSlope_percent));
    AddProperty(written, "rightSlope", ShortestText(row.rightSlope_percent));
    AddProperty(written, "transition", row.transition == WidthTransition::HigherOrder ? "higherOrder" : "linear");
  }
}

pugi::xml_node WriteHeader(pugi::xml_document& document) {
  auto declaration = document.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = document.append_child("LandXML");
  root.append_attribute("xmlns") = "http://www.landxml.org/schema/LandXML-1.2";
  root.append_attribute("version") = "1.2";
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char date[16];
  char time[16];
  std::strftime(date, sizeof date, "%Y-%m-%d", &utc);
  std::strftime(time, sizeof time, "%H:%M:%S", &utc);
  root.append_attribute("date") = date;
  root.append_attribute("time") = time;
  pugi::xml_node metric = root.append_child("Units").append_child("Metric");
  metric.append_attribute("linearUnit") = "meter";
  metric.append_attribute("areaUnit") = "squareMeter";
  metric.append_attribute("volumeUnit") = "cubicMeter";
  metric.append_attribute("angularUnit") = "radians";
  metric.append_attribute("directionUnit") = "radians";
  root.append_child("Application").append_attribute("name") = "Quorvane";
  return root;
}

}  // namespace

double LandXmlMetresPerUnit(std::string_view unit) {
  if (unit == "meter") return 1;
  if (unit == "millimeter") return 0.001;
  if (unit == "centimeter") return 0.01;
  if (unit == "kilometer") return 1000;
  if (unit == "foot") return 0.3048;
  if (unit == "USSurveyFoot") return 1200.0 / 3937.0;
  if (unit == "inch") return 0.0254;
  if (unit == "mile") return 1609.344;
  throw CalculationError("不支持的长度单位“" + std::string(unit) + "”");
}

double LandXmlAngleToRadians(std::string_view text, std::string_view unitAsWritten) {
  const std::string unit = NormalUnit(unitAsWritten);
  const std::string_view t = Trim(text);
  // 45.3015 is 45 deg 30' 15"; "45.30.15" is read the same.
  if (unit == "decimal dd.mm.ss") return DdMmSsTextToRadians(t);
  const auto value = ParseDouble(t);
  double factor = 0;
  if (unit == "radians") factor = 1;
  if (unit == "decimal degrees") factor = kPi / 180;
  if (unit == "grads") factor = kPi / 200;
  if (factor == 0) throw CalculationError("不支持的角度单位“" + std::string(unitAsWritten) + "”");
  if (!value) throw CalculationError("角度“" + std::string(t) + "”不是数");
  return factor == 1 ? *value : *value * factor;
}

RoadAlignment ReadLandXmlText(std::string_view text, const std::string& fileName) {
  const Document document(text, fileName);
  return AlignmentReader(document, document.Alignments().front()).Read();
}

RoadAlignment ReadLandXmlText(std::string_view text, const std::string& fileName, std::string_view name) {
  const Document document(text, fileName);
  std::string names;
  for (const pugi::xml_node& alignment : document.Alignments()) {
    if (alignment.attribute("name").value() == name) return AlignmentReader(document, alignment).Read();
    names += (names.empty() ? "“" : "、“") + std::string(alignment.attribute("name").value()) + "”";
  }
  document.Fail("中没有名为“" + std::string(name) + "”的路线（文件中的路线：" + names + "）");
}

std::vector<RoadAlignment> ReadLandXmlAlignmentsText(std::string_view text, const std::string& fileName) {
  const Document document(text, fileName);
  std::vector<RoadAlignment> roads;
  for (const pugi::xml_node& alignment : document.Alignments())
    roads.push_back(AlignmentReader(document, alignment).Read());
  return roads;
}

std::vector<AlignmentSummary> ListLandXmlAlignmentsText(std::string_view text, const std::string& fileName) {
  const Document document(text, fileName);
  std::vector<AlignmentSummary> list;
  for (const pugi::xml_node& alignment : document.Alignments()) list.push_back(document.Summary(alignment));
  return list;
}

RoadAlignment ReadLandXml(const std::string& path) { return ReadLandXmlText(ReadWholeFile(path), path); }

RoadAlignment ReadLandXml(const std::string& path, std::string_view name) {
  return ReadLandXmlText(ReadWholeFile(path), path, name);
}

std::vector<RoadAlignment> ReadLandXmlAlignments(const std::string& path) {
  return ReadLandXmlAlignmentsText(ReadWholeFile(path), path);
}

std::vector<AlignmentSummary> ListLandXmlAlignments(const std::string& path) {
  return ListLandXmlAlignmentsText(ReadWholeFile(path), path);
}

std::string LandXmlText(const RoadAlignment& alignment) {
  const Line& line = alignment.line;
  pugi::xml_document document;
  pugi::xml_node root = WriteHeader(document);
  pugi::xml_node xmlAlignment = root.append_child("Alignments").append_child("Alignment");
  xmlAlignment.append_attribute("name") = alignment.name.c_str();
  AddNumber(xmlAlignment, "length", line.Length_m());
  AddNumber(xmlAlignment, "staStart", line.Start().station_m);
  pugi::xml_node geometry = xmlAlignment.append_child("CoordGeom");
  for (const LineElement& element : line.Elements()) {
    switch (element.design.type) {
      case ElementType::Straight:
        WriteStraight(geometry, element);
        break;
      case ElementType::Arc:
        WriteArc(geometry, element);
        break;
      case ElementType::Spiral:
        WriteSpiral(geometry, element);
        break;
    }
  }
  WriteEquations(xmlAlignment, line);
  if (!alignment.profile.empty()) WriteProfile(xmlAlignment, alignment);
  if (alignment.jd) WriteJdTable(xmlAlignment, *alignment.jd);
  if (alignment.stakeSettings) WriteStakeSettings(xmlAlignment, *alignment.stakeSettings);
  if (!alignment.crossSection.empty()) WriteCrossSection(xmlAlignment, alignment.crossSection);
  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

void WriteLandXml(const std::string& path, const RoadAlignment& alignment) {
  WriteFileAtomically(path, LandXmlText(alignment));
}

}  // namespace quorvane
