#pragma once

#include <cstddef>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

struct LineGeometry;  // the evaluated elements and the search index, line.cpp

// A whole road line (路线): a start point, start azimuth and start station,
// then straights, circular arcs and spirals one after another, tangent to
// each other by construction, and the chainage equations (断链) that make
// the displayed chainage differ from the distance along the line.
//
// Conventions of this header:
//  - survey X is north, Y is east, in metres; an azimuth is in radians,
//    clockwise from +X, computed with the full-precision pi (the single-curve
//    window keeps its own shortened law and is not built on this);
//  - a *distance* (distance_m) is measured along the line from its start,
//    0 .. Length_m(); a *station* (station_m) is the displayed chainage a
//    surveyor reads and types, which the chainage equations make jump;
//  - an offset is perpendicular to the line, right of the direction of
//    travel positive, metres;
//  - every failure is a CalculationError whose what() is the Chinese message
//    the user sees, naming the element, JD or equation at fault.

inline constexpr double kInfiniteRadius = std::numeric_limits<double>::infinity();

enum class ElementType { Straight, Arc, Spiral };

// One element as the design gives it (线元法).
//  - Straight: length only; radii infinite, turn 0.
//  - Arc: length, radius (start == end, finite), turn -1 left / +1 right.
//  - Spiral: length, start and end radius, either may be infinite (a spiral
//    from or into a straight); both finite (and different) for an egg spiral
//    between two arcs turning the same way. Turn -1 / +1.
struct ElementSpec {
  ElementType type = ElementType::Straight;
  double length_m = 0;                     // > 0
  double startRadius_m = kInfiniteRadius;  // > 0, or kInfiniteRadius
  double endRadius_m = kInfiniteRadius;    // > 0, or kInfiniteRadius
  int turn = 0;                            // -1 left, +1 right, 0 for a straight

  bool operator==(const ElementSpec&) const = default;
};

// Where the line begins.
struct LineStart {
  double X_m = 0;          // north
  double Y_m = 0;          // east
  double azimuth_rad = 0;  // tangent azimuth at the start
  double station_m = 0;    // displayed chainage of the start point

  bool operator==(const LineStart&) const = default;
};

// One chainage equation (断链), as a design table writes it:
// "stationBack = stationAhead". It stands where the displayed chainage of the
// part before it reaches stationBack; from there on the chainage counts on
// from stationAhead. stationAhead < stationBack is a long chain (长链: a
// stretch of stations repeats), stationAhead > stationBack a short chain
// (短链: a stretch of stations is skipped). Equations are given in order
// along the line.
struct ChainageEquation {
  double stationBack_m = 0;
  double stationAhead_m = 0;

  bool operator==(const ChainageEquation&) const = default;
};

// A point on or beside the line and the line's tangent azimuth there.
struct LinePoint {
  double X_m = 0;
  double Y_m = 0;
  double azimuth_rad = 0;
};

// One element once the line is built: its design and where it lies.
struct LineElement {
  ElementSpec design;
  double startDistance_m = 0;  // distance of its start from the line start
  LinePoint start;             // point and tangent at its start
  LinePoint end;               // point and tangent at its end
};

// Key points (主点) carry the Chinese field codes: QD/ZD at the line's start
// and end, ZH HY QZ YH HZ on a spiral-arc-spiral curve, ZY QZ YZ on an arc
// without spirals, GQ where two curves or two spirals meet without a straight
// between them, DL at a chainage equation.
//
// Which joint gets which code, by the elements on either side of it:
//   straight -> spiral ZH      spiral -> straight HZ
//   straight -> arc    ZY      arc -> straight    YZ
//   spiral from a straight (start radius infinite) -> arc  HY
//   arc -> spiral into a straight (end radius infinite)    YH
//   arc -> arc, spiral -> spiral, straight -> straight, and an arc meeting
//   an egg spiral (both radii finite) on either side        GQ
// QZ stands at the middle of each curve run: the elements between two
// points where the line is straight (a straight, a spiral's infinite-radius
// end, or the line's ends) or where the turn changes side; a QZ that falls on
// a joint is not listed again. One DL stands at each chainage equation.
inline constexpr const char* kCodeQD = "QD";
inline constexpr const char* kCodeZD = "ZD";
inline constexpr const char* kCodeZH = "ZH";
inline constexpr const char* kCodeHY = "HY";
inline constexpr const char* kCodeQZ = "QZ";
inline constexpr const char* kCodeYH = "YH";
inline constexpr const char* kCodeHZ = "HZ";
inline constexpr const char* kCodeZY = "ZY";
inline constexpr const char* kCodeYZ = "YZ";
inline constexpr const char* kCodeGQ = "GQ";
inline constexpr const char* kCodeDL = "DL";

struct KeyPoint {
  double distance_m = 0;
  double station_m = 0;   // displayed chainage (at DL: the station back)
  std::string_view code;  // one of the kCode* texts above: "QD", "ZH", ...
};

// One row of a stake list: an ordinary stake (empty code) or a key point.
struct LineStake {
  double distance_m = 0;
  double station_m = 0;
  std::string_view code;  // empty, or one of the kCode* texts above
  LinePoint point;
  // At a chainage equation (code DL): the equation, owned by the line;
  // station_m is then its station back or ahead as Stakes() describes.
  const ChainageEquation* equation = nullptr;
  // How often the displayed chainage has shown this station so far along
  // the line: 1, or 2, 3, ... in a long chain's repeated stretch (where the
  // same station text stands for a second point).
  int pass = 1;
};

// The most stakes one call of Line::Stakes returns: a stake every 5 cm over
// 100 km, some 150 MB of stakes.
inline constexpr std::size_t kMaxLineStakes = 2'000'000;

// The foot of the perpendicular from a point to the line.
struct LineFoot {
  double distance_m = 0;
  double station_m = 0;
  double offset_m = 0;  // right of the direction of travel positive
  LinePoint onLine;     // the foot itself
  // The part of the line between chainage equations the foot lies in (0
  // before the first equation, i after equation i).
  std::size_t part = 0;
  // Where a long chain makes the foot's station occur more than once: which
  // time the line passes it, 1 on the first pass, 2 on the second...; 0 where
  // the station occurs once on the line.
  int pass = 0;
};

// A point beyond an end of the line by no more than this (along the end's
// tangent) is located at that end.
inline constexpr double kLocateEndAllowance_m = 1e-3;

enum class LocateStatus {
  OnLine,       // a foot on the line, or an end within kLocateEndAllowance_m
  BeforeStart,  // the point lies nearest behind the line's start
  AfterEnd,     // the point lies nearest past the line's end
  NoFoot,       // no foot at all (only a degenerate line could give this)
};

// Where a point lies against the line.
struct LineLocation {
  LocateStatus status = LocateStatus::NoFoot;
  // OnLine: the foot. BeforeStart / AfterEnd: the end itself (its distance,
  // station and point), the offset measured square to the end's tangent.
  LineFoot foot;
  // How far the point lies beyond the end along the end's tangent: more than
  // kLocateEndAllowance_m for BeforeStart / AfterEnd; up to it for a point
  // located at an end; 0 for a foot inside the line.
  double beyond_m = 0;
};

class Line {
 public:
  // Validates once: every value finite, lengths > 0, radii > 0 (or
  // infinite), the radii and turn each element type allows, no element
  // winding more than a hundred turns, equations in order along the line and
  // strictly inside it. Throws CalculationError naming the element
  // ("第3个线元：…") or equation ("第1个断链：…") at fault; the texts are in
  // calc/messages.h.
  Line(LineStart start, std::vector<ElementSpec> elements, std::vector<ChainageEquation> equations = {});

  const LineStart& Start() const { return start_; }
  const std::vector<LineElement>& Elements() const;
  const std::vector<ChainageEquation>& Equations() const { return equations_; }
  double Length_m() const { return length_m_; }

  // Displayed chainage at a distance 0..Length_m() (throws outside).
  // A distance beyond an end by no more than 1e-9 of the line's length (and
  // at least a nanometre) counts as that end. At a chainage equation the
  // station back is shown.
  // Throws CalculationError(kDistanceOutsideLinePrompt).
  double StationAt(double distance_m) const;
  // Distance of a displayed station. In a long chain's repeated stretch the
  // first occurrence is taken; a station in a short chain's gap
  // (kStationInShortChainPrompt), or off the line (kStationOutsideLinePrompt),
  // throws CalculationError.
  double DistanceAt(double station_m) const;

  // The index into Elements() of the element at a distance (at a joint: the
  // element that starts there; at the line's end: the last one).
  std::size_t ElementIndexAt(double distance_m) const;

  // The point and tangent at a distance 0..Length_m() (the ends' allowance
  // as StationAt's), exact to 0.01 mm (in practice to some nanometres over
  // 100 km); the azimuth in 0..2pi. Throws kDistanceOutsideLinePrompt.
  LinePoint PointAtDistance(double distance_m) const;
  // The point `offset_m` right (> 0) or left (< 0) of the line at a distance;
  // the azimuth is the line's there. Throws as PointAtDistance, and
  // kOffsetNotFinitePrompt.
  LinePoint PointAtOffset(double distance_m, double offset_m) const;

  // Where (X_m, Y_m) lies against the line. A foot counts where the
  // distance from the point to the line is smallest along the line (the
  // perpendicular from the inside of a bend's far side, where the distance
  // is greatest, does not); an end of the line counts where the point lies
  // at or beyond it along the end's tangent. Of these the nearest to the
  // point is taken, also on the inside of tight curves where a point sees a
  // bend at two places: a foot gives OnLine; an end gives OnLine when the
  // point lies beyond it by no more than kLocateEndAllowance_m (offset square
  // to the end's tangent), else BeforeStart or AfterEnd and how far. The
  // station is the displayed chainage at the foot, with its part and pass in
  // a long chain. Throws CalculationError(kLinePointNotFinitePrompt) for X
  // or Y not finite.
  LineLocation Find(double X_m, double Y_m) const;
  // The foot of a point Find puts OnLine; nothing for the others.
  std::optional<LineFoot> Locate(double X_m, double Y_m) const;

  // Every element joint and both ends, coded, in order of distance; one DL
  // per chainage equation.
  std::vector<KeyPoint> KeyPoints() const;

  // The stakes between two displayed stations (default: the whole line), in
  // order along the line: the whole multiples of interval_m (> 0) of the
  // displayed chainage within each part between equations, and with
  // withKeyPoints every key point in the range; each distance once (a key
  // point on a multiple keeps its code; the multiple's station is shown). A
  // multiple at a chainage equation is listed once with code DL, with the
  // station back when that is a multiple, else the station ahead.
  // fromStation_m is taken at its first occurrence along the line and
  // toStation_m at its last (a long chain's repeated stretch is covered
  // whole); either falling in a short chain's gap starts or ends the range at
  // the equation. Throws CalculationError: kStakeIntervalPrompt,
  // kStationOutsideLinePrompt, kLineEndBeforeStartPrompt (from after to
  // along the line), kLineTooManyStakesPrompt (more than kMaxLineStakes).
  std::vector<LineStake> Stakes(double interval_m, std::optional<double> fromStation_m = std::nullopt,
                                std::optional<double> toStation_m = std::nullopt, bool withKeyPoints = false) const;

  // The same stakes handed one at a time to `visit`, in order along the line,
  // as they are computed: memory does not grow with their number, and there
  // is no limit on it. Throws as Stakes (but never kLineTooManyStakesPrompt)
  // before the first stake is handed over; whatever `visit` throws passes
  // through.
  void ForEachStake(double interval_m, std::optional<double> fromStation_m, std::optional<double> toStation_m,
                    bool withKeyPoints, const std::function<void(const LineStake&)>& visit) const;

  // How many times the displayed chainage has shown `station_m` up to and
  // including `distance_m` (where it shows that station): 1 except in a long
  // chain's repeated stretch, where the second showing is 2, and so on.
  int PassAt(double distance_m, double station_m) const;

 private:
  LineStart start_;
  std::vector<ChainageEquation> equations_;
  // Distances of the equations and the displayed chainage where each part
  // of the line begins (part 0 at the start, part i after equation i).
  std::vector<double> partDistance_m_;
  std::vector<double> partStation_m_;
  double length_m_ = 0;
  std::shared_ptr<const LineGeometry> geometry_;  // the elements and all computed once, shared by copies

  double Tolerance() const;
  std::size_t PartAt(double distance_m) const;
  // The foot at `distance_m` seen from (X_m, Y_m), with its part and pass.
  LineFoot FootAt(double distance_m, const LinePoint& onLine, double X_m, double Y_m) const;
  // The distance of a station at its first (last == false) or last
  // occurrence; a station in a short chain's gap gives the equation's
  // distance when snapToGap, else throws. *part (if given) is the part the
  // station lies in; at a gap, the part after it (first) or before it (last).
  double ResolveStation(double station_m, bool last, bool snapToGap, std::size_t* part = nullptr) const;
};

}  // namespace quorvane
