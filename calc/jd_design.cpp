#include "calc/jd_design.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

#include "calc/calculation_error.h"
#include "calc/line_geometry.h"
#include "calc/messages.h"
#include "calc/stakes.h"

namespace quorvane {

namespace {

constexpr double kPi = std::numbers::pi;
// A JD without a curve is allowed where the legs turn by no more than this
// (a tenth of a millimetre over a kilometre would already be a kink).
constexpr double kNoTurn_rad = 1e-10;
// Two points closer than this are one.
constexpr double kSamePoint_m = 1e-6;
// The shortest curve (spirals and arc) a JD may have.
constexpr double kShortestCurve_m = 1e-3;
// How far the built line may stand from where the table puts each HZ and the
// end point.
constexpr double kOnLeg_m = 1e-4;

// A distance in metres to 0.1 mm, '.' whatever the locale ("0.0123").
std::string MetresText(double metres) {
  char buffer[64];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, std::round(metres * 1e4) / 1e4, std::chars_format::fixed);
  return std::string(buffer, ec == std::errc() ? end : buffer);
}

// The deflection at a JD, -pi..pi, right turn positive.
double Deflection(double azimuthIn, double azimuthOut) {
  double d = std::remainder(azimuthOut - azimuthIn, 2 * kPi);
  return d;
}

// Shift p and tangent growth q of a clothoid of length ls running from a
// straight into radius r, from the spiral's exact end point (x along the
// tangent, y towards the curve): p = y - r (1 - cos b), q = x - r sin b,
// b = ls / 2r.
void ShiftAndGrowth(double ls, double r, double& p, double& q) {
  if (ls == 0) {
    p = q = 0;
    return;
  }
  const ElementCurve spiral(ElementType::Spiral, 0, 0, 0, 0, 1 / r, ls);
  const LinePoint end = spiral.At(ls);
  const double b = ls / (2 * r);
  p = end.Y_m - 2 * r * std::sin(0.5 * b) * std::sin(0.5 * b);
  q = end.X_m - r * std::sin(b);
}

// The legs between consecutive rows: their azimuths and lengths, after
// every row's values are checked.
struct Legs {
  std::vector<double> azimuth, length;
};

Legs CheckRows(const std::vector<JdRow>& rows) {
  const std::size_t n = rows.size();
  Legs legs{std::vector<double>(n - 1), std::vector<double>(n - 1)};
  for (std::size_t i = 0; i < n; ++i) {
    const JdRow& r = rows[i];
    const bool interior = i > 0 && i + 1 < n;
    const auto refuse = [&](const char* text) { throw CalculationError(JdMessage(r.name, text), {RowKind::Jd, i}); };
    for (double v : {r.X_m, r.Y_m})
      if (!std::isfinite(v) || std::abs(v) >= kMaxCoordinate_m) refuse(kJdNotFiniteText);
    if (interior) {
      for (double v : {r.R_m, r.Ls1_m, r.Ls2_m})
        if (!std::isfinite(v) || std::abs(v) >= kMaxCoordinate_m) refuse(kJdNotFiniteText);
      if (r.R_m < 0 || r.Ls1_m < 0 || r.Ls2_m < 0) refuse(kJdNegativeText);
    }
    if (i > 0) {
      const double dX = r.X_m - rows[i - 1].X_m, dY = r.Y_m - rows[i - 1].Y_m;
      legs.length[i - 1] = std::hypot(dX, dY);
      if (!(legs.length[i - 1] > kSamePoint_m)) refuse(kJdCoincidentText);
      legs.azimuth[i - 1] = std::atan2(dY, dX);
    }
  }
  return legs;
}

// The curve at interior row i between the legs in and out of it: its
// elements (曲线要素) and the elements that make it (none for a JD without a
// curve). The stations are set later, when the straights are known.
JdCurve DesignCurve(const JdRow& r, std::size_t i, double azimuthIn, double azimuthOut,
                    std::vector<ElementSpec>& elements) {
  const auto refuse = [&](const char* text) { throw CalculationError(JdMessage(r.name, text), {RowKind::Jd, i}); };
  JdCurve c;
  c.name = r.name;
  c.R_m = r.R_m;
  c.Ls1_m = r.Ls1_m;
  c.Ls2_m = r.Ls2_m;
  c.deflection_rad = Deflection(azimuthIn, azimuthOut);
  const double delta = std::abs(c.deflection_rad);
  if (r.R_m == 0) {
    if (r.Ls1_m > 0 || r.Ls2_m > 0) refuse(kJdSpiralWithoutRadiusText);
    if (delta > kNoTurn_rad) refuse(kJdNoRadiusText);
    return c;
  }
  if (delta == 0) {
    if (r.Ls1_m > 0 || r.Ls2_m > 0) refuse(kJdSpiralsTooLongText);
    return c;
  }
  const double R = r.R_m;
  const double beta1 = r.Ls1_m / (2 * R), beta2 = r.Ls2_m / (2 * R);
  if (beta1 + beta2 > delta) refuse(kJdSpiralsTooLongText);
  if (delta > kPi - 1e-9) refuse(kJdTurnsBackText);
  double p1, q1, p2, q2;
  ShiftAndGrowth(r.Ls1_m, R, p1, q1);
  ShiftAndGrowth(r.Ls2_m, R, p2, q2);
  // The centre lies R + p1 from the incoming leg and R + p2 from the
  // outgoing one; its foot on each leg is T - q from the JD.
  const double t = std::tan(0.5 * delta), sd = std::sin(delta);
  const double skew = p1 == p2 ? 0.0 : (p1 - p2) / sd;
  c.T1_m = q1 + (R + p1) * t - skew;
  c.T2_m = q2 + (R + p2) * t + skew;
  const double arc = std::max(0.0, R * (delta - beta1 - beta2));
  c.L_m = r.Ls1_m + arc + r.Ls2_m;
  c.E_m = std::hypot(c.T1_m - q1, R + p1) - R;
  // A curve shorter than a millimetre is a kink: its arc would vanish
  // below the elements' resolution and the line miss the next leg.
  if (!(c.L_m >= kShortestCurve_m)) refuse(kJdRadiusTooSmallText);
  const int turn = c.deflection_rad > 0 ? 1 : -1;
  if (r.Ls1_m > 0) elements.push_back({ElementType::Spiral, r.Ls1_m, kInfiniteRadius, R, turn});
  if (arc > 1e-9) elements.push_back({ElementType::Arc, arc, R, R, turn});
  if (r.Ls2_m > 0) elements.push_back({ElementType::Spiral, r.Ls2_m, R, kInfiniteRadius, turn});
  return c;
}

// The straights between the curves and every curve's stations, in order
// along the line: design.elements gets each straight and then the curve's
// own elements.
void LayOut(const std::vector<JdRow>& rows, const Legs& legs, double startStation_m,
            const std::vector<std::vector<ElementSpec>>& curveElements, JdDesign& design) {
  const std::size_t n = rows.size();
  double station = startStation_m;
  for (std::size_t leg = 0; leg + 1 < n; ++leg) {
    const double before = leg == 0 ? 0.0 : design.curves[leg - 1].T2_m;
    const double after = leg + 2 < n ? design.curves[leg].T1_m : 0.0;
    const double straight = legs.length[leg] - before - after;
    if (straight < -1e-9 * std::max(1.0, legs.length[leg])) {
      if (leg == 0) throw CalculationError(JdMessage(rows[1].name, kJdOverlapsStartText), {RowKind::Jd, 1});
      if (leg + 2 == n) throw CalculationError(JdMessage(rows[leg].name, kJdOverlapsEndText), {RowKind::Jd, leg});
      throw CalculationError(JdMessage(rows[leg].name, kJdOverlapsNextText), {RowKind::Jd, leg});
    }
    if (straight > 1e-9) {
      // A JD without a curve leaves one straight running on.
      if (!design.elements.empty() && design.elements.back().type == ElementType::Straight)
        design.elements.back().length_m += straight;
      else
        design.elements.push_back({ElementType::Straight, straight, kInfiniteRadius, kInfiniteRadius, 0});
    }
    station += std::max(0.0, straight);
    if (leg + 2 < n) {
      JdCurve& c = design.curves[leg];
      c.ZH_m = station;
      c.jdStation_m = station + c.T1_m;
      c.HY_m = station + c.Ls1_m;
      c.HZ_m = station + c.L_m;
      c.YH_m = c.HZ_m - c.Ls2_m;
      c.QZ_m = station + 0.5 * c.L_m;
      station = c.HZ_m;
      for (const ElementSpec& e : curveElements[leg]) design.elements.push_back(e);
    }
  }
  if (design.elements.empty())
    design.elements.push_back({ElementType::Straight, legs.length[0], kInfiniteRadius, kInfiniteRadius, 0});
}

// The line built from the elements must leave each curve on the outgoing
// leg, T2 past the JD, and end on the end row; the first JD after which it
// does not is named.
void CheckBuiltLine(const std::vector<JdRow>& rows, const Legs& legs, double startStation_m, const JdDesign& design) {
  const std::size_t n = rows.size();
  const Line line(design.start, design.elements);
  for (std::size_t i = 1; i <= n - 1; ++i) {
    const bool end = i + 1 == n;
    double X = rows[i].X_m, Y = rows[i].Y_m, distance = line.Length_m();
    if (!end) {
      const JdCurve& c = design.curves[i - 1];
      X += c.T2_m * std::cos(legs.azimuth[i]);
      Y += c.T2_m * std::sin(legs.azimuth[i]);
      distance = std::min(c.HZ_m - startStation_m, line.Length_m());
    }
    const LinePoint at = line.PointAtDistance(distance);
    const double miss = std::hypot(at.X_m - X, at.Y_m - Y);
    if (!(miss <= kOnLeg_m)) {
      const std::size_t named = end ? (n > 2 ? n - 2 : n - 1) : i;
      throw CalculationError(JdMessage(rows[named].name, kJdOffLegText) + MetresText(miss) + kMetresUnit,
                             {RowKind::Jd, named});
    }
  }
}

}  // namespace

JdDesign DesignFromJd(const std::vector<JdRow>& rows, double startStation_m) {
  if (rows.size() < 2) throw CalculationError(kJdTooFewRowsPrompt);
  if (!std::isfinite(startStation_m) || std::abs(startStation_m) >= kMaxCoordinate_m)
    throw CalculationError(kStationOutsideLinePrompt);
  const Legs legs = CheckRows(rows);
  JdDesign design;
  const double startAzimuth = legs.azimuth[0];
  design.start = {rows[0].X_m, rows[0].Y_m, startAzimuth < 0 ? startAzimuth + 2 * kPi : startAzimuth, startStation_m};
  std::vector<std::vector<ElementSpec>> curveElements(rows.size() - 2);
  for (std::size_t i = 1; i + 1 < rows.size(); ++i) {
    design.curves.push_back(DesignCurve(rows[i], i, legs.azimuth[i - 1], legs.azimuth[i], curveElements[i - 1]));
  }
  LayOut(rows, legs, startStation_m, curveElements, design);
  CheckBuiltLine(rows, legs, startStation_m, design);
  return design;
}

}  // namespace quorvane
