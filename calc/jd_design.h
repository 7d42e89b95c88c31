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
// growth. Throws CalculationError naming the JD for a spiral too long for
// its deflection, curves that overlap each other or the line's ends, a
// radius that is not positive, and coincident points.
JdDesign DesignFromJd(const std::vector<JdRow>& rows, double startStation_m);

}  // namespace quorvane
