#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "calc/line.h"
#include "calc/profile.h"

namespace quorvane {

// A road line as a LandXML 1.2 file carries it: one Alignment with its
// horizontal geometry (CoordGeom: Line, Curve, Spiral), its start station and
// chainage equations (StaEquation), and optionally its vertical profile
// (Profile / ProfAlign: PVI, ParaCurve, CircCurve).
struct RoadAlignment {
  std::string name;
  Line line;
  std::vector<GradePoint> profile;  // empty: the alignment has no profile
};

// Reads the first Alignment of a LandXML file (UTF-8 path).
//
//  - Coordinates are "north east" (an elevation after them is ignored);
//    lengths, radii, stations and elevations are in the Units element's linear
//    unit: meter (the default), millimeter, kilometer, foot (international,
//    0.3048 m) or USSurveyFoot (1200/3937 m); angles (Curve delta) in its
//    angular unit and directions (Spiral dirStart, read only for a first
//    spiral without PI) in its direction unit: radians (the default), decimal
//    degrees, grads, or "decimal dd.mm.ss" (45.3015 is 45 deg 30' 15").
//    Directions count counter-clockwise from north, as LandXML defines them.
//  - Each element's geometry comes from its coordinates with its length,
//    radius and rot: a Line from Start and End; a Curve from Start, Center and
//    End (the swept angle taken in the sense of rot), its radius and length
//    checked against them when given; a Spiral (spiType clothoid, or none)
//    from its length, radiusStart, radiusEnd and rot, its start tangent from
//    Start and PI (else the end tangent of the element before it). A radius of
//    "INF", "inf", 0 or none is a straight end.
//  - The line is then built from these elements and each element's Start and
//    End must lie within 1 mm of where the built line puts them: a gap at a
//    joint, an element that does not leave tangent to the one before it, or a
//    length or radius that does not fit its coordinates is refused.
//  - A CircCurve of the profile is read exactly, as the circle of its radius
//    (GradePoint::circular); one given by its length alone gets the radius
//    of an arc of that length between the two grades' directions (grades
//    taken over the stations). ParaCurve keeps its length. UnsymParaCurve is
//    refused. Profile stations are the displayed chainage.
//
// Throws CalculationError with a Chinese message naming the file and the
// element (its kind, its number and its line in the file); the file's own
// read errors as CalculationError too (文件不存在, …).
RoadAlignment ReadLandXml(const std::string& path);

// The same from the text of a file; `fileName` is used in the messages only.
RoadAlignment ReadLandXmlText(std::string_view text, const std::string& fileName);

// A LandXML 1.2 document for the alignment: metres and radians, every number
// written to full precision (shortest text that reads back to the same
// double), each element with its length, radii, rot and its Start, Center /
// PI and End; a parabola given by its radius is written as the ParaCurve of
// its length R * |i2 - i1|, a circle as the CircCurve of its radius. Reading
// it back gives the same line and the same heights.
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
