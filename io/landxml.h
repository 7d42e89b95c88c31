#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/cross_section.h"
#include "calc/jd_design.h"
#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane {

// The widths and cross slopes of a line's stake list (逐桩坐标), kept with
// the line so that a saved line reopens with them.
struct StakeSettings {
  double leftWidth_m = 0;
  double rightWidth_m = 0;
  double leftSlope_percent = 0;
  double rightSlope_percent = 0;

  bool operator==(const StakeSettings&) const = default;
};

// A road line as a LandXML 1.2 file carries it: one Alignment with its
// horizontal geometry (CoordGeom: Line, Curve, Spiral), its start station and
// chainage equations (StaEquation), and optionally its vertical profile
// (Profile / ProfAlign: PVI, ParaCurve, CircCurve).
struct RoadAlignment {
  std::string name;
  Line line;
  std::vector<GradePoint> profile;  // empty: the alignment has no profile
  // What the reader accepted but the user should know, one fact a line, in
  // Chinese, naming the element: values that disagree with the coordinates
  // by up to 5 mm, elements of no length left out, where the profile's
  // heights stop.
  std::vector<std::string> warnings{};
  std::optional<JdTable> jd{};                   // the JD table the line was designed from
  std::optional<StakeSettings> stakeSettings{};  // the stake list's widths and slopes
  // The 超高/加宽 table, rows in the order given; empty when the line has
  // none. Kept in this program's extension: LandXML's own Superelevation
  // describes run-offs by their stations of full and zero superelevation,
  // not as a table of widths and slopes at stations. Rows read back have
  // line 0 (named by their place among the rows).
  std::vector<CrossSectionRow> crossSection{};
};

// One alignment of a file as the file states it, without building it.
struct AlignmentSummary {
  std::string name;
  double length_m = 0;  // Alignment@length, else the sum of its elements' lengths
};

// Tolerances of the reader: a redundant value (a Center, PI, length, radius,
// delta, direction, the alignment's length, an element's End against the
// next one's Start or against the built line) that disagrees with what the
// coordinates give by more than kLandXmlWarnAbove_m is told in a warning, by
// more than kLandXmlRefuseAbove_m refused. Design programs work to 5 mm.
inline constexpr double kLandXmlWarnAbove_m = 0.001;
inline constexpr double kLandXmlRefuseAbove_m = 0.005;

// Reads the first Alignment of a LandXML file (UTF-8 path); every
// <Alignments> block counts, in document order.
//
//  - The bytes are in the encoding the byte-order mark or the declaration
//    names (XmlBytesToUtf8: UTF-8, UTF-16, GB2312, GBK, GB18030).
//  - Coordinates are "north east" (an elevation after them is ignored);
//    lengths, radii, stations and elevations are in the Units element's linear
//    unit: meter (the default), millimeter, kilometer, foot (international,
//    0.3048 m) or USSurveyFoot (1200/3937 m); angles (Curve delta) in its
//    angular unit and directions in its direction unit: radians (the
//    default), decimal degrees, grads, or "decimal dd.mm.ss" (45.3015 is
//    45 deg 30' 15").
//  - Coordinates decide. A Line is its Start and End; a Curve its Start,
//    End and Center (with its radius when given; else Start, End and PI), the
//    swept angle taken in the sense of rot; a Spiral (spiType clothoid, or
//    none) its length, radiusStart, radiusEnd and rot, its start tangent
//    from Start and PI, else the tangent of the element before it, else (the
//    first element) the chord from Start to End. A radius of "INF", "inf", 0
//    or none is a straight end. Directions (dir, dirStart, dirEnd) only
//    check: exporters write them clockwise from north, counter-clockwise from
//    east or from north, and one that fits none of these is a disagreement.
//  - The line is then built from these elements; every redundant value and
//    every element's End is compared with it: up to kLandXmlWarnAbove_m is a
//    rounding, up to kLandXmlRefuseAbove_m a warning naming the element and
//    the amount in millimetres, beyond that the file is refused naming the
//    element. An element of no length is left out with a warning.
//  - A StaEquation without staBack takes the station the line shows at its
//    staInternal.
//  - A CircCurve of the profile is read as the circle of its radius, its
//    sign ignored (the grades tell crest from sag); one given by its length
//    alone gets the radius of an arc of that length between the two grades'
//    directions. ParaCurve keeps its length. UnsymParaCurve is refused.
//    Profile stations in the file run on the internal stationing (staStart
//    plus the distance along, as Civil 3D's raw stations and J-LandXML);
//    on a line with chainage equations they are turned into the displayed
//    stations RoadAlignment::profile holds. A profile that runs past the
//    line's ends keeps its grades, one that stops short gives heights where
//    it lies and a warning says where they stop; an end point within 5 mm
//    of the line's end stands for it (a warning beyond 1 mm).
//  - This program's own extension (Feature code="quorvane") gives back the
//    JD table, the radii of parabolic vertical curves as typed, the stake
//    settings and the 超高/加宽 table.
//
// Throws CalculationError with a Chinese message naming the file and the
// element (its kind, its number and its line in the file), and the
// alignment's name when the file holds more than one; malformed XML is
// told by its line and in plain words; the file's own read errors as
// CalculationError too (文件不存在, …).
RoadAlignment ReadLandXml(const std::string& path);

// The alignment named `name` (Alignment@name); only it needs to be sound.
// Throws CalculationError listing the names the file holds when none has it.
RoadAlignment ReadLandXml(const std::string& path, std::string_view name);

// Every alignment of the file, in document order; throws for the first that
// cannot be read, naming it.
std::vector<RoadAlignment> ReadLandXmlAlignments(const std::string& path);
std::vector<RoadAlignment> ReadLandXmlAlignmentsText(std::string_view text, const std::string& fileName);

// The names and lengths of the file's alignments, read without building
// them (to ask which one to open).
std::vector<AlignmentSummary> ListLandXmlAlignments(const std::string& path);
std::vector<AlignmentSummary> ListLandXmlAlignmentsText(std::string_view text, const std::string& fileName);

// The same from the bytes of a file; `fileName` is used in the messages only.
RoadAlignment ReadLandXmlText(std::string_view text, const std::string& fileName);
RoadAlignment ReadLandXmlText(std::string_view text, const std::string& fileName, std::string_view name);

// A LandXML 1.2 document for the alignment: metres and radians, every number
// written to full precision (shortest text that reads back to the same
// double), each element with its length, radii, rot, its directions
// (clockwise from north) and its Start, Center, PI (where the tangents meet
// ahead of the start) and End; a parabola given by its radius is written as
// the ParaCurve of its length R * |i2 - i1| (the radius kept in the
// extension), a circle as the CircCurve of its radius; on a line with
// chainage equations the profile's stations are written on the internal
// stationing, the displayed ones kept in the extension. The JD table goes in
// AlignPIs (each JD's PI and name) and, whole, with the stake settings and
// the 超高/加宽 table in the extension. Reading it back gives the same line, heights and tables.
std::string LandXmlText(const RoadAlignment& alignment);

// Writes LandXmlText to `path` whole or not at all (WriteFileAtomically);
// throws FileError.
void WriteLandXml(const std::string& path, const RoadAlignment& alignment);

// Converts an angle text in a LandXML angular or direction unit ("radians",
// "decimal degrees", "grads", "decimal dd.mm.ss") to radians. Throws
// CalculationError for another unit or a text that is not a number.
double LandXmlAngleToRadians(std::string_view text, std::string_view unit);

// Metres in one LandXML linear unit; throws CalculationError for a unit it
// does not know.
double LandXmlMetresPerUnit(std::string_view unit);

}  // namespace quorvane
