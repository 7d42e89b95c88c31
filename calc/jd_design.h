#pragma once

#include <string>
#include <vector>

#include "calc/line.h"

namespace quorvane {

// 交点法: a line given by its start point, its intersection points (交点, JD)
// and its end point. At each JD a curve: spiral Ls1, circular arc of radius
// R, spiral Ls2 (Ls1 and Ls2 may differ, either may be 0; R == 0 with both
// spirals 0 is an angle point without a curve, allowed only where the line
// does not turn).
struct JdRow {
  std::string name;  // "JD1", ...; the start and end rows are named too (QD, ZD)
  double X_m = 0;    // north
  double Y_m = 0;    // east
  double R_m = 0;    // circular radius; unused on the first and last row
  double Ls1_m = 0;  // spiral length before the arc
  double Ls2_m = 0;  // spiral length after the arc

  bool operator==(const JdRow&) const = default;
};

// A JD table as typed: its rows and the start row's station; what a line
// designed from it keeps to show and save the design again.
struct JdTable {
  double startStation_m = 0;
  std::vector<JdRow> rows;

  bool operator==(const JdTable&) const = default;
};

// The curve at one JD: its elements (曲线要素) and main stations.
struct JdCurve {
  std::string name;
  double jdStation_m = 0;     // station of the JD (ZH + T1)
  double deflection_rad = 0;  // 转角, right turn positive
  double R_m = 0;
  double Ls1_m = 0;
  double Ls2_m = 0;
  double T1_m = 0;  // tangent length from ZH to the JD
  double T2_m = 0;  // tangent length from the JD to HZ
  double L_m = 0;   // whole curve length ZH..HZ
  double E_m = 0;   // external distance, JD to the curve's middle
  double ZH_m = 0;  // stations; ZY/YZ when there are no spirals
  double HY_m = 0;
  double QZ_m = 0;  // ZH + L/2
  double YH_m = 0;
  double HZ_m = 0;
};

struct JdDesign {
  LineStart start;
  std::vector<ElementSpec> elements;
  std::vector<JdCurve> curves;  // one per interior JD
};

// Builds the elements from a JD table (first row the start point, last row
// the end point, at least two rows) with exact spiral shift and tangent
// growth: p and q come from the clothoid's end point itself,
//   p = y(Ls) - R (1 - cos b),  q = x(Ls) - R sin b,  b = Ls / 2R,
// and with the deflection D (the legs' azimuths' difference, -pi..pi):
//   T1 = q1 + (R + p1) tan(D/2) - (p1 - p2) / sin D,
//   T2 = q2 + (R + p2) tan(D/2) + (p1 - p2) / sin D,
//   L = Ls1 + R (D - b1 - b2) + Ls2,  E = |JD - centre| - R,
// the centre lying R + p1 from the incoming leg and R + p2 from the outgoing
// one (the symmetric curve's E = (R + p) sec(D/2) - R). The start row's
// station is startStation_m; each curve's ZH follows the previous HZ by the
// straight between them. A JD without a curve (R 0) is allowed where the legs
// turn by no more than 1e-10 rad; its stations are all the JD's.
// Throws CalculationError naming the JD (texts in calc/messages.h):
// fewer than two rows, a value that is not finite, a negative radius or
// spiral length, a point on the previous one, a turn without a radius, a
// spiral without a radius, spirals too long for the deflection
// (b1 + b2 > |D|), a turn within 1e-9 rad of half a turn, curves that
// overlap each other (T2 + T1 > the leg) or the line's ends.
JdDesign DesignFromJd(const std::vector<JdRow>& rows, double startStation_m);

}  // namespace quorvane
