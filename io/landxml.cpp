#include "io/landxml.h"

#include <pugixml.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <map>
#include <numbers>
#include <optional>
#include <sstream>

#include "calc/calculation_error.h"
#include "io/atomic_file.h"
#include "io/read_file.h"

namespace quorvane {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kJoinTolerance_m = 0.001;

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

// Everything the reader needs to word its messages and convert its numbers.
class Reader {
 public:
  Reader(std::string_view text, std::string fileName) : text_(text), fileName_(std::move(fileName)) {}

  RoadAlignment Read();

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw CalculationError("LandXML 文件“" + fileName_ + "”" + what);
  }
  [[noreturn]] void FailAt(const pugi::xml_node& node, const std::string& what) const {
    Fail("第" + std::to_string(LineOf(node)) + "行的 " + std::string(LocalName(node)) + "：" + what);
  }
  // The element's kind, number and line: "第3个线元（Curve，第12行）".
  std::string ElementName(const pugi::xml_node& node, std::size_t index) const {
    return "第" + std::to_string(index + 1) + "个线元（" + std::string(LocalName(node)) + "，第" +
           std::to_string(LineOf(node)) + "行）";
  }
  [[noreturn]] void FailElement(const pugi::xml_node& node, std::size_t index, const std::string& what) const {
    Fail(ElementName(node, index) + what);
  }

  long LineOf(const pugi::xml_node& node) const {
    const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(node.offset_debug(), 0));
    return 1 + static_cast<long>(std::count(text_.begin(), text_.begin() + std::min(offset, text_.size()), '\n'));
  }

  void ReadUnits(const pugi::xml_node& root);
  double Linear(const pugi::xml_node& node, const char* attribute, bool required) const;
  std::optional<double> OptionalLinear(const pugi::xml_node& node, const char* attribute) const;
  // A radius attribute: kInfiniteRadius for INF, 0 or absent.
  double Radius(const pugi::xml_node& node, const char* attribute) const;
  std::optional<Point2> PointOf(const pugi::xml_node& element, const char* child) const;
  Point2 RequiredPoint(const pugi::xml_node& element, std::size_t index, const char* child) const;
  int Rot(const pugi::xml_node& element, std::size_t index) const;
  std::optional<double> Angle(const pugi::xml_node& node, const char* attribute, const std::string& unit) const;

  std::vector<GradePoint> ReadProfile(const pugi::xml_node& alignment) const;

  std::string_view text_;
  std::string fileName_;
  double metresPerUnit_ = 1;
  std::string angularUnit_ = "radians";
  std::string directionUnit_ = "radians";
  std::map<std::string, std::string, std::less<>> cgPoints_;
};

void Reader::ReadUnits(const pugi::xml_node& root) {
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

double Reader::Linear(const pugi::xml_node& node, const char* attribute, bool required) const {
  const auto value = OptionalLinear(node, attribute);
  if (!value && required) FailAt(node, std::string("缺少属性 ") + attribute);
  return value.value_or(0);
}

std::optional<double> Reader::OptionalLinear(const pugi::xml_node& node, const char* attribute) const {
  const pugi::xml_attribute a = node.attribute(attribute);
  if (!a) return std::nullopt;
  const auto value = ParseDouble(a.value());
  if (!value) FailAt(node, std::string("属性 ") + attribute + "=\"" + a.value() + "\" 不是数");
  return *value * metresPerUnit_;
}

double Reader::Radius(const pugi::xml_node& node, const char* attribute) const {
  const pugi::xml_attribute a = node.attribute(attribute);
  if (!a || IsInfinityText(a.value())) return kInfiniteRadius;
  const double r = *OptionalLinear(node, attribute);
  if (r == 0) return kInfiniteRadius;
  if (r < 0) FailAt(node, std::string("属性 ") + attribute + " 为负数");
  return r;
}

std::optional<Point2> Reader::PointOf(const pugi::xml_node& element, const char* child) const {
  const pugi::xml_node node = Child(element, child);
  if (!node) return std::nullopt;
  std::string_view text = node.child_value();
  if (Trim(text).empty()) {
    if (const auto ref = node.attribute("pntRef")) {
      const auto found = cgPoints_.find(std::string_view(ref.value()));
      if (found == cgPoints_.end()) FailAt(node, std::string("找不到点 pntRef=\"") + ref.value() + "\"");
      text = found->second;
    }
  }
  std::istringstream words{std::string(text)};
  std::string north;
  std::string east;
  words >> north >> east;
  const auto n = ParseDouble(north);
  const auto e = ParseDouble(east);
  if (!n || !e) FailAt(node, "坐标“" + std::string(Trim(text)) + "”应为“北坐标 东坐标”两个数");
  return Point2{*n * metresPerUnit_, *e * metresPerUnit_};
}

Point2 Reader::RequiredPoint(const pugi::xml_node& element, std::size_t index, const char* child) const {
  const auto point = PointOf(element, child);
  if (!point) FailElement(element, index, std::string("缺少 ") + child);
  return *point;
}

int Reader::Rot(const pugi::xml_node& element, std::size_t index) const {
  const std::string_view rot = element.attribute("rot").value();
  if (rot == "cw") return +1;
  if (rot == "ccw") return -1;
  if (rot.empty()) FailElement(element, index, "缺少属性 rot（cw 或 ccw）");
  FailElement(element, index, "的 rot=\"" + std::string(rot) + "\" 应为 cw 或 ccw");
}

std::optional<double> Reader::Angle(const pugi::xml_node& node, const char* attribute, const std::string& unit) const {
  const pugi::xml_attribute a = node.attribute(attribute);
  if (!a) return std::nullopt;
  try {
    return LandXmlAngleToRadians(a.value(), unit);
  } catch (const CalculationError& e) {
    FailAt(node, std::string("属性 ") + attribute + "：" + e.what());
  }
}

std::vector<GradePoint> Reader::ReadProfile(const pugi::xml_node& alignment) const {
  const pugi::xml_node profAlign = Child(Child(alignment, "Profile"), "ProfAlign");
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
    point.station_m = *station * metresPerUnit_;
    point.elevation_m = *elevation * metresPerUnit_;
    if (kind == "ParaCurve") point.curveLength_m = Linear(node, "length", true);
    if (kind == "CircCurve") {
      point.circular = true;
      point.radius_m = OptionalLinear(node, "radius").value_or(0);
      if (point.radius_m == 0) lengthOnly.push_back(points.size());
    }
    if (point.radius_m < 0 || point.curveLength_m < 0) FailAt(node, "竖曲线长度或半径为负数");
    points.push_back(point);
    nodes.push_back(node);
  }
  // A circle given by its length alone: the radius of the arc of that length
  // between the two grades' directions.
  for (const std::size_t i : lengthOnly) {
    const double length = Linear(nodes[i], "length", true);
    if (i == 0 || i + 1 == points.size()) FailAt(nodes[i], "纵断面的起点或终点不能设竖曲线");
    const GradePoint& p = points[i];
    const double i1 = (p.elevation_m - points[i - 1].elevation_m) / (p.station_m - points[i - 1].station_m);
    const double i2 = (points[i + 1].elevation_m - p.elevation_m) / (points[i + 1].station_m - p.station_m);
    const double turn = std::abs(std::atan(i2) - std::atan(i1));
    if (!(turn > 0) || !std::isfinite(length / turn)) FailAt(nodes[i], "两侧坡度相同，无法由长度求圆形竖曲线的半径");
    points[i].radius_m = length / turn;
  }
  return points;
}

RoadAlignment Reader::Read() {
  pugi::xml_document document;
  const pugi::xml_parse_result parsed =
      document.load_buffer(text_.data(), text_.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    const auto offset = static_cast<std::size_t>(std::max<std::ptrdiff_t>(parsed.offset, 0));
    const long line =
        1 + static_cast<long>(std::count(text_.begin(), text_.begin() + std::min(offset, text_.size()), '\n'));
    Fail("第" + std::to_string(line) + "行不是正确的 XML：" + parsed.description());
  }
  const pugi::xml_node root = document.document_element();
  if (LocalName(root) != "LandXML") Fail("不是 LandXML 文件（根元素应为 LandXML）");
  ReadUnits(root);
  for (pugi::xml_node points : root.children()) {
    if (LocalName(points) != "CgPoints") continue;
    for (pugi::xml_node p : points.children()) {
      if (LocalName(p) == "CgPoint" && p.attribute("name")) cgPoints_[p.attribute("name").value()] = p.child_value();
    }
  }

  const pugi::xml_node alignment = Child(Child(root, "Alignments"), "Alignment");
  if (!alignment) Fail("中没有路线（Alignments/Alignment）");
  const pugi::xml_node geometry = Child(alignment, "CoordGeom");
  if (!geometry) FailAt(alignment, "缺少平面线形 CoordGeom");

  std::vector<pugi::xml_node> nodes;
  for (pugi::xml_node node : geometry.children()) {
    if (node.type() != pugi::node_element) continue;
    const std::string_view kind = LocalName(node);
    if (kind == "Line" || kind == "Curve" || kind == "Spiral") {
      nodes.push_back(node);
    } else if (kind != "Feature") {
      FailElement(node, nodes.size(), "不是直线、圆曲线或缓和曲线，无法读取");
    }
  }
  if (nodes.empty()) FailAt(geometry, "没有线元");

  std::vector<ElementSpec> designed;
  std::vector<Point2> starts;
  std::vector<Point2> ends;
  std::optional<double> startAzimuth_rad;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const pugi::xml_node& node = nodes[i];
    const std::string_view kind = LocalName(node);
    const Point2 start = RequiredPoint(node, i, "Start");
    const Point2 end = RequiredPoint(node, i, "End");
    ElementSpec design;
    double azimuth_rad = 0;  // tangent at the start
    bool knowsAzimuth = true;
    const auto lengthAttribute = OptionalLinear(node, "length");
    if (lengthAttribute && !(*lengthAttribute > 0)) FailElement(node, i, "的长度 length 应为正数");
    // A Curve without a radius attribute takes it from its centre.
    const auto centreGiven = PointOf(node, "Center");
    const double radius = kind == "Line"                                                ? kInfiniteRadius
                          : kind == "Curve" && !node.attribute("radius") && centreGiven ? Distance(*centreGiven, start)
                                                                                        : Radius(node, "radius");
    if (kind == "Curve" && !node.attribute("radius") && !centreGiven) {
      FailElement(node, i, "缺少半径 radius 和圆心 Center");
    }
    if (kind == "Line" || (kind == "Curve" && !std::isfinite(radius))) {
      design.type = ElementType::Straight;
      design.length_m = lengthAttribute.value_or(Distance(start, end));
      azimuth_rad = AzimuthOf(start, end);
      if (Distance(start, end) == 0) FailElement(node, i, "的起点与终点重合");
    } else if (kind == "Curve") {
      design.type = ElementType::Arc;
      design.turn = Rot(node, i);
      design.startRadius_m = design.endRadius_m = radius;
      Point2 centre;
      if (centreGiven) {
        centre = *centreGiven;
        for (const auto& [point, which] : {std::pair{start, "起点"}, {end, "终点"}}) {
          if (std::abs(Distance(centre, point) - radius) > kJoinTolerance_m) {
            FailElement(node, i, std::string("的圆心到") + which + "的距离与半径 radius 不符");
          }
        }
        // The centre lies right of the direction of travel on a right turn.
        azimuth_rad = AzimuthOf(start, centre) - design.turn * kPi / 2;
      } else if (const auto pi = PointOf(node, "PI")) {
        azimuth_rad = AzimuthOf(start, *pi);
        const double normal = azimuth_rad + design.turn * kPi / 2;
        centre = {start.X + radius * std::cos(normal), start.Y + radius * std::sin(normal)};
      } else {
        FailElement(node, i, "缺少圆心 Center");
      }
      double sweep = design.turn * (AzimuthOf(centre, end) - AzimuthOf(centre, start));
      sweep -= 2 * kPi * std::floor(sweep / (2 * kPi));
      design.length_m = lengthAttribute.value_or(radius * sweep);
      if (const auto delta = Angle(node, "delta", angularUnit_)) {
        if (std::abs(std::abs(*delta) * radius - design.length_m) > kJoinTolerance_m) {
          FailElement(node, i, "的圆心角 delta 与长度、半径不符");
        }
      }
    } else {
      const std::string_view type = node.attribute("spiType").value();
      if (!type.empty() && type != "clothoid") {
        FailElement(node, i, "的类型 spiType=\"" + std::string(type) + "\" 不是回旋线（clothoid）");
      }
      design.type = ElementType::Spiral;
      design.turn = Rot(node, i);
      design.startRadius_m = Radius(node, "radiusStart");
      design.endRadius_m = Radius(node, "radiusEnd");
      if (!lengthAttribute) FailElement(node, i, "缺少属性 length");
      design.length_m = *lengthAttribute;
      if (const auto pi = PointOf(node, "PI"); pi && Distance(start, *pi) > 0) {
        azimuth_rad = AzimuthOf(start, *pi);
      } else if (const auto dir = Angle(node, "dirStart", directionUnit_)) {
        azimuth_rad = -*dir;  // counter-clockwise from north
      } else {
        knowsAzimuth = false;
      }
    }
    if (i == 0) {
      if (!knowsAzimuth) FailElement(node, i, "缺少 PI 或 dirStart，无法确定起点方向");
      // A written direction is more exact than one taken from coordinates;
      // it is used when it agrees with them.
      const char* dirName = kind == "Line" ? "dir" : "dirStart";
      if (const auto dir = Angle(node, dirName, directionUnit_)) {
        if (std::abs(Wrap(-*dir - azimuth_rad)) * design.length_m <= kJoinTolerance_m / 10) azimuth_rad = -*dir;
      }
      startAzimuth_rad = azimuth_rad;
    }
    designed.push_back(design);
    starts.push_back(start);
    ends.push_back(end);
  }

  LineStart lineStart{starts.front().X, starts.front().Y, *startAzimuth_rad, 0};
  if (alignment.attribute("staStart")) lineStart.station_m = Linear(alignment, "staStart", true);

  std::vector<std::pair<double, ChainageEquation>> equations;
  for (pugi::xml_node node : alignment.children()) {
    if (LocalName(node) != "StaEquation") continue;
    ChainageEquation equation{Linear(node, "staBack", true), Linear(node, "staAhead", true)};
    const auto internal = OptionalLinear(node, "staInternal");
    equations.emplace_back(internal.value_or(static_cast<double>(equations.size())), equation);
  }
  std::stable_sort(equations.begin(), equations.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<ChainageEquation> chainage;
  for (const auto& e : equations) chainage.push_back(e.second);

  // A gap between two elements is named as such before the line is built.
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    const double gap = Distance(starts[i], ends[i - 1]);
    if (gap > kJoinTolerance_m) {
      FailElement(nodes[i], i,
                  "的起点与上一线元的终点不相接（相差 " + ShortestText(std::round(gap * 1e4) / 1e4) + " 米）");
    }
  }

  std::optional<Line> line;
  try {
    line.emplace(lineStart, designed, chainage);
  } catch (const CalculationError& e) {
    Fail("：" + std::string(e.what()));
  }
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const LineElement& built = line->Elements()[i];
    const double startGap = Distance(starts[i], {built.start.X_m, built.start.Y_m});
    const double endGap = Distance(ends[i], {built.end.X_m, built.end.Y_m});
    if (startGap > kJoinTolerance_m) {
      FailElement(nodes[i], i,
                  "的起点与前面线元推算的位置相差 " + ShortestText(std::round(startGap * 1e4) / 1e4) + " 米");
    }
    if (endGap > kJoinTolerance_m) {
      FailElement(nodes[i], i,
                  "的终点与由起点、方向、长度和半径推算的位置相差 " + ShortestText(std::round(endGap * 1e4) / 1e4) +
                      " 米（线元不相切，或长度、半径与坐标不符）");
    }
  }

  RoadAlignment result{alignment.attribute("name").value(), std::move(*line), ReadProfile(alignment)};
  if (!result.profile.empty()) {
    try {
      Profile check(result.line, result.profile);
    } catch (const CalculationError& e) {
      Fail("的纵断面：" + std::string(e.what()));
    }
  }
  return result;
}

// --- writing ---------------------------------------------------------------

std::string PointText(double X_m, double Y_m) { return ShortestText(X_m) + " " + ShortestText(Y_m); }

void AddPoint(pugi::xml_node parent, const char* name, double X_m, double Y_m) {
  parent.append_child(name).text().set(PointText(X_m, Y_m).c_str());
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

double NorthCounterClockwise(double azimuth_rad) {
  double dir = -azimuth_rad;
  dir -= 2 * kPi * std::floor(dir / (2 * kPi));
  return dir;
}

}  // namespace

double LandXmlMetresPerUnit(std::string_view unit) {
  if (unit == "meter") return 1;
  if (unit == "millimeter") return 0.001;
  if (unit == "centimeter") return 0.01;
  if (unit == "kilometer") return 1000;
  if (unit == "foot") return 0.3048;
  if (unit == "USSurveyFoot") return 1200.0 / 3937.0;
  throw CalculationError("不支持的长度单位“" + std::string(unit) + "”");
}

double LandXmlAngleToRadians(std::string_view text, std::string_view unit) {
  const std::string_view t = Trim(text);
  if (unit == "decimal dd.mm.ss") {
    // 45.3015 is 45 deg 30' 15"; "45.30.15" is read the same.
    std::string digits(t);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative) digits.erase(0, 1);
    if (std::count(digits.begin(), digits.end(), '.') == 2) digits.erase(digits.rfind('.'), 1);
    const auto point = digits.find('.');
    const std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    const auto degrees = ParseDouble(whole);
    if (!degrees || whole.find_first_not_of("0123456789") != std::string::npos ||
        fraction.find_first_not_of("0123456789") != std::string::npos) {
      throw CalculationError("角度“" + std::string(t) + "”不是度.分秒");
    }
    fraction.resize(std::max<std::size_t>(fraction.size(), 4), '0');
    const double minutes = std::stod(fraction.substr(0, 2));
    const std::string secondsText = fraction.substr(2, 2) + "." + fraction.substr(4);
    const double seconds = *ParseDouble(secondsText.back() == '.' ? secondsText + "0" : secondsText);
    if (minutes >= 60 || seconds >= 60) throw CalculationError("角度“" + std::string(t) + "”的分或秒不小于60");
    const double value = (*degrees + minutes / 60 + seconds / 3600) * kPi / 180;
    return negative ? -value : value;
  }
  const auto value = ParseDouble(t);
  double factor = 0;
  if (unit == "radians") factor = 1;
  if (unit == "decimal degrees") factor = kPi / 180;
  if (unit == "grads") factor = kPi / 200;
  if (factor == 0) throw CalculationError("不支持的角度单位“" + std::string(unit) + "”");
  if (!value) throw CalculationError("角度“" + std::string(t) + "”不是数");
  return factor == 1 ? *value : *value * factor;
}

RoadAlignment ReadLandXmlText(std::string_view text, const std::string& fileName) {
  return Reader(text, fileName).Read();
}

RoadAlignment ReadLandXml(const std::string& path) { return ReadLandXmlText(ReadWholeFile(path), path); }

std::string LandXmlText(const RoadAlignment& alignment) {
  const Line& line = alignment.line;
  pugi::xml_document document;
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

  pugi::xml_node xmlAlignment = root.append_child("Alignments").append_child("Alignment");
  xmlAlignment.append_attribute("name") = alignment.name.c_str();
  xmlAlignment.append_attribute("length") = ShortestText(line.Length_m()).c_str();
  xmlAlignment.append_attribute("staStart") = ShortestText(line.Start().station_m).c_str();
  pugi::xml_node geometry = xmlAlignment.append_child("CoordGeom");
  bool first = true;
  for (const LineElement& element : line.Elements()) {
    const ElementSpec& design = element.design;
    const char* rot = design.turn > 0 ? "cw" : "ccw";
    if (design.type == ElementType::Straight) {
      pugi::xml_node node = geometry.append_child("Line");
      if (first) node.append_attribute("dir") = ShortestText(NorthCounterClockwise(element.start.azimuth_rad)).c_str();
      node.append_attribute("length") = ShortestText(design.length_m).c_str();
      AddPoint(node, "Start", element.start.X_m, element.start.Y_m);
      AddPoint(node, "End", element.end.X_m, element.end.Y_m);
    } else if (design.type == ElementType::Arc) {
      pugi::xml_node node = geometry.append_child("Curve");
      node.append_attribute("rot") = rot;
      if (first) {
        node.append_attribute("dirStart") = ShortestText(NorthCounterClockwise(element.start.azimuth_rad)).c_str();
      }
      node.append_attribute("radius") = ShortestText(design.startRadius_m).c_str();
      node.append_attribute("length") = ShortestText(design.length_m).c_str();
      node.append_attribute("delta") = ShortestText(design.length_m / design.startRadius_m).c_str();
      const double normal = element.start.azimuth_rad + design.turn * kPi / 2;
      AddPoint(node, "Start", element.start.X_m, element.start.Y_m);
      AddPoint(node, "Center", element.start.X_m + design.startRadius_m * std::cos(normal),
               element.start.Y_m + design.startRadius_m * std::sin(normal));
      AddPoint(node, "End", element.end.X_m, element.end.Y_m);
      if (design.length_m / design.startRadius_m < kPi * 0.999) {
        if (const auto pi = TangentIntersection(element.start, element.end)) AddPoint(node, "PI", pi->X, pi->Y);
      }
    } else {
      pugi::xml_node node = geometry.append_child("Spiral");
      node.append_attribute("rot") = rot;
      node.append_attribute("spiType") = "clothoid";
      node.append_attribute("length") = ShortestText(design.length_m).c_str();
      node.append_attribute("radiusStart") = RadiusText(design.startRadius_m).c_str();
      node.append_attribute("radiusEnd") = RadiusText(design.endRadius_m).c_str();
      node.append_attribute("dirStart") = ShortestText(NorthCounterClockwise(element.start.azimuth_rad)).c_str();
      node.append_attribute("dirEnd") = ShortestText(NorthCounterClockwise(element.end.azimuth_rad)).c_str();
      AddPoint(node, "Start", element.start.X_m, element.start.Y_m);
      const double turned = std::abs(Wrap(element.end.azimuth_rad - element.start.azimuth_rad));
      const double turnedByLength =
          design.length_m / 2 * (1 / design.startRadius_m + 1 / design.endRadius_m);  // the angle a clothoid turns
      if (turnedByLength < kPi * 0.999 && turned > 0) {
        if (const auto pi = TangentIntersection(element.start, element.end)) AddPoint(node, "PI", pi->X, pi->Y);
      }
      AddPoint(node, "End", element.end.X_m, element.end.Y_m);
    }
    first = false;
  }

  // Each equation stands where its DL key point lies.
  std::vector<double> equationDistances;
  for (const KeyPoint& key : line.KeyPoints()) {
    if (key.code == "DL") equationDistances.push_back(key.distance_m);
  }
  for (std::size_t i = 0; i < line.Equations().size(); ++i) {
    const ChainageEquation& equation = line.Equations()[i];
    pugi::xml_node node = xmlAlignment.append_child("StaEquation");
    if (i < equationDistances.size()) {
      node.append_attribute("staInternal") = ShortestText(line.Start().station_m + equationDistances[i]).c_str();
    }
    node.append_attribute("staBack") = ShortestText(equation.stationBack_m).c_str();
    node.append_attribute("staAhead") = ShortestText(equation.stationAhead_m).c_str();
  }

  if (!alignment.profile.empty()) {
    pugi::xml_node profAlign = xmlAlignment.append_child("Profile").append_child("ProfAlign");
    profAlign.append_attribute("name") = alignment.name.c_str();
    const auto& points = alignment.profile;
    const Profile profile(line, points);
    for (std::size_t i = 0; i < points.size(); ++i) {
      const GradePoint& p = points[i];
      const double length = p.radius_m > 0 && !p.circular ? profile.CurveAt(i).length_m : p.curveLength_m;
      const char* kind = p.circular ? "CircCurve" : length > 0 ? "ParaCurve" : "PVI";
      pugi::xml_node node = profAlign.append_child(kind);
      if (p.circular) {
        node.append_attribute("radius") = ShortestText(p.radius_m).c_str();
      } else if (length > 0) {
        node.append_attribute("length") = ShortestText(length).c_str();
      }
      node.text().set((ShortestText(p.station_m) + " " + ShortestText(p.elevation_m)).c_str());
    }
  }

  std::ostringstream out;
  document.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

void WriteLandXml(const std::string& path, const RoadAlignment& alignment) {
  WriteFileAtomically(path, LandXmlText(alignment));
}

}  // namespace quorvane
