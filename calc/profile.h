#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "calc/line.h"
#include "calc/messages.h"

namespace quorvane {

// The vertical profile (纵断面) of a line: grade-change points (变坡点) joined
// by straight grades, and at each interior point a symmetric parabolic
// vertical curve (竖曲线) over L/2 either side of it, the field's standard:
// T = L/2, E = T^2 / 2R, L = R * |i2 - i1|.
//
// Stations are displayed chainage (the line's chainage equations honoured);
// elevations in metres; grades as rises per metre (0.02 is 2 %).
//
// The grades and the parabolas are laid out in distance along the line, not
// in displayed chainage: a grade is the rise between two points over the
// distance between them, and a vertical curve spans distance d +/- L/2 about
// its point. A chainage equation between two points or inside a vertical
// curve therefore changes which station a height belongs to, never the shape
// of the road.
//
// A circular vertical curve (LandXML's CircCurve: set circular and the
// radius; its length follows from the radius and the grades) is kept exactly
// as the circle of that radius tangent to both grades, not replaced by a
// parabola. A parabola of the same radius or the same span lies 1.0 to 1.2 mm
// off the circle at R = 2000 m with grades +5 % / -4 %, 5 to 6 mm at
// R = 10000 m, and 16 mm at R = 2000 m with +9 % / -9 %: the difference grows
// as R * (i2 - i1)^4, too much to ignore on long curves
// (tests/profile/circle_vs_parabola.py measures it).

// One grade-change point. An interior point has a vertical curve given by
// its radius (竖曲线半径, as Chinese drawings give it) or by its length
// (LandXML's ParaCurve length); both 0 means none (the grades meet at a
// kink). The first and last point have no curve. A circular curve is given
// by its radius only.
struct GradePoint {
  double station_m = 0;
  double elevation_m = 0;
  double radius_m = 0;       // > 0, or 0 when given by length or none
  double curveLength_m = 0;  // > 0, or 0 when given by radius or none
  bool circular = false;     // a circle of radius_m instead of the parabola

  bool operator==(const GradePoint&) const = default;
};

// Cross slopes in percent, each side's own; negative falls away from the
// centre line (-2 is the usual crown).
struct CrossSlopes {
  double left_percent = 0;
  double right_percent = 0;

  // How far a point offset_m right (> 0) or left (< 0) of the centre line
  // lies above it (negative: below): slope/100 * |offset| of its side.
  double RiseAt(double offset_m) const {
    return (offset_m < 0 ? left_percent : right_percent) / 100 * std::fabs(offset_m);
  }
};

// The elements (竖曲线要素) of the vertical curve at one point, all in
// distance along the line; every field is 0 where the point has no curve.
// For a circle, L is its span in distance between its tangent points, T half
// of that (the tangent points lie at slightly different distances from the
// point, startDistance_m and endDistance_m tell them exactly) and E the
// exact height between the point and the circle.
struct VerticalCurve {
  double length_m = 0;         // L, from the radius when given by radius
  double radius_m = 0;         // R = L / |i2 - i1|; 0 also where the grades agree
  double tangent_m = 0;        // T = L / 2
  double external_m = 0;       // E = T^2 / 2R, height between the point and the curve
  double startDistance_m = 0;  // 竖曲线起点, distance along the line
  double endDistance_m = 0;    // 竖曲线终点
  bool crest = false;          // 凸形 (the grade falls, i2 < i1); otherwise 凹形
};

// The profile's messages are in calc/messages.h.

// "第N个变坡点" + reason, N = index + 1.
std::string GradePointMessage(std::size_t index, const char* reason);

// Vertical curves that overlap by up to this much are accepted: a drawing
// that puts two curves end to end gives the rounded elevations and radii
// back only to about a millimetre. Within the overlap each station is taken
// on the curve of the nearer point; the two differ there by far less than a
// millimetre.
inline constexpr double kCurveOverlapTolerance_m = 0.001;

// A query this far past the first or last point, relative to the last
// point's distance, counts as that point: a rounding of the station.
inline constexpr double kProfileEndSlack = 1e-9;

// A first or last point no further than this inside the line's end stands
// for that end: design programs round the profile's ends apart from the
// line's by some hundredths of a millimetre, and some end it a few
// millimetres short (3D-Win: 2.1 mm), within the 5 mm they work to. Over
// 5 mm a grade of 10 % changes the height by 0.5 mm.
inline constexpr double kProfileEndSnap_m = 0.005;

class Profile {
 public:
  // Validates once, mapping each station to its distance on `line`. Throws
  // CalculationError naming the point (第N个变坡点…): stations not in
  // order along the line, vertical curves that overlap each other or reach
  // past the first or last point, a curve on the first or last point, a
  // value that is not finite or a negative radius or length, fewer than two
  // points. Values of 10^12 or more in magnitude count as not finite, and
  // giving both a radius and a length is refused. A station before the
  // line's start or past its end lies that far beyond the end (the profile's
  // grades hold there; heights are only asked on the line); a station in a
  // short chain's gap is refused with the line's own reason after the
  // point's name. In a long chain's repeated
  // stretch a station is taken at its first occurrence, as Line::DistanceAt
  // does.
  Profile(const Line& line, std::vector<GradePoint> points);

  const std::vector<GradePoint>& Points() const { return points_; }

  // Distance along the line of each point, as the constructor mapped it.
  const std::vector<double>& Distances_m() const { return distances_m_; }

  // Grade from point `index` to the next one (0 .. Points().size() - 2), a
  // rise per metre of distance.
  double Grade(std::size_t index) const { return grades_.at(index); }

  // The vertical curve at point `index` (all zeros where there is none).
  VerticalCurve CurveAt(std::size_t index) const;

  // Design elevation of the centre line at a distance along the line, within
  // the first and last point (throws CalculationError with
  // kStationOutsideProfilePrompt outside, or for a distance that is not a
  // number). A distance past an end by no more than kProfileEndSlack of the
  // last point's distance (and at least that many metres) counts as the end.
  double ElevationAtDistance(double distance_m) const;

  // The same for heights asked in order along the line (every stake of a
  // line): `grade` remembers where the last answer was found and is updated,
  // so that the next one costs no search. Start it at 0; any value gives the
  // same answers as the one above.
  double ElevationAtDistance(double distance_m, std::size_t& grade) const;

  // Whether ElevationAtDistance answers at this distance (within the first
  // and last point, the slack included), to ask without catching.
  bool Covers(double distance_m) const { return distance_m >= lowest_m_ && distance_m <= highest_m_; }

  // The stretch of the line the profile gives heights on, as distances
  // within 0 .. the line's length; the whole line when the profile reaches
  // (or runs past) both ends, a point within kProfileEndSnap_m of an end
  // counting as on it.
  double CoveredFrom_m() const;
  double CoveredTo_m() const;
  bool CoversWholeLine() const;

  // Design elevation of the centre line at a displayed station of `line` (the
  // line the profile was built on). Throws CalculationError for a station the line has no distance for
  // or one outside the profile.
  double ElevationAtStation(const Line& line, double station_m) const;

  // Design elevation of a point offset_m right (> 0) or left (< 0) of the
  // centre line: H + slope/100 * |offset| with the slope of its side. Throws
  // as ElevationAtDistance, and with kCrossSlopeNotANumberPrompt for an
  // offset or a slope that is not finite. (For many side stakes, add
  // slopes.RiseAt(offset) to the centre line's height once found.)
  double ElevationAtOffset(double distance_m, double offset_m, CrossSlopes slopes) const;

 private:
  // The vertical curve of one point where it is worked out: the parabola
  // y = H + i1 (d - dp) + curvature/2 (d - start)^2, or the circle about
  // (centre, middle - sign R): y = middle - sign (R - sqrt(R^2 - (d - centre)^2)),
  // middle being the top (crest, sign +1) or bottom of the whole circle.
  struct Curve {
    double start_m = 0;  // both the point's own distance where there is none
    double end_m = 0;
    double curvature = 0;  // parabola: (i2 - i1) / L
    double radius_m = 0;   // circle: R; 0 for a parabola
    double centre_m = 0;   // circle: distance of its centre
    double middle_m = 0;   // circle: elevation of its top or bottom
    double sign = 0;       // circle: +1 crest, -1 sag
  };

  std::vector<GradePoint> points_;
  std::vector<double> distances_m_;  // of each point along the line
  std::vector<double> grades_;       // from each point to the next
  std::vector<Curve> curves_;        // of each point
  double lowest_m_ = 0;              // the distances answered, the slack included
  double highest_m_ = 0;
  double lineLength_m_ = 0;

  double OnGrade(std::size_t grade, double distance_m) const;
  double OnCurve(std::size_t point, double distance_m) const;
};

}  // namespace quorvane
