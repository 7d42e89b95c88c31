#pragma once

// The evaluated shape of a line's elements and the search index of
// Line::Locate. Used by line.cpp, line_locate.cpp and jd_design.cpp only.

#include <cstddef>
#include <vector>

#include "calc/line.h"
#include "calc/spiral.h"

namespace quorvane {

// One element's shape from its start point and azimuth. The curvature is
// signed (right turn positive, as the azimuth grows clockwise) and changes
// linearly with the length s along the element:
//   k(s) = k0 + g s,   azimuth(s) = azimuth0 + k0 s + g s^2 / 2.
// A straight and an arc are evaluated in closed form. A spiral is the spiral
// kernel's (calc/spiral.h) with the exact policy: equal panels over which the
// tangent turns by at most kPanelTurn_rad, the point at each panel boundary
// computed once when the element is built, and a point inside a panel by
// the full-precision five-point rule from the panel's start. With the turn
// per panel this small the rule's error is far below a double's rounding,
// so the points along the element carry no error from the integration.
class ElementCurve {
 public:
  static constexpr double kPanelTurn_rad = kExactPolicy.panelTurn_rad;

  ElementCurve(ElementType type, double X0_m, double Y0_m, double azimuth0_rad, double k0, double k1, double length_m);

  ElementType Type() const { return type_; }
  double Length() const { return law_.L; }
  double Curvature(double s) const { return SpiralCurvature(law_, s); }
  double CurvatureRate() const { return SpiralCurvatureChange(law_); }
  double Azimuth(double s) const { return SpiralAzimuth(law_, s); }
  // The point at s (0..Length(); a little beyond extrapolates the same
  // law) and the azimuth there, not reduced to 0..2pi.
  LinePoint At(double s) const;
  // Panel boundaries of a spiral (Panels() + 1 of them, equally spaced);
  // a straight or an arc has one panel.
  std::size_t Panels() const { return static_cast<std::size_t>(spiral_.Panels()); }
  double PanelLength() const { return spiral_.PanelLength(); }

 private:
  ElementType type_;
  double X0_, Y0_;
  SpiralLaw law_;  // turn +1: k0 and dk are signed
  Spiral spiral_;  // a spiral's panels, summed once
};

// A stretch of one element over which the tangent turns by at most a quarter
// radian: what Locate examines, with its two ends evaluated once.
struct LinePiece {
  std::size_t element = 0;
  double s0 = 0, s1 = 0;  // along the element
  double X0 = 0, Y0 = 0, cos0 = 1, sin0 = 0, k0 = 0;
  double X1 = 0, Y1 = 0, cos1 = 1, sin1 = 0, k1 = 0;
};

// A box of the tree over the pieces, in line order: an inner node has two
// children, a leaf a run of pieces.
struct LineBox {
  double minX, minY, maxX, maxY;
  // The tangent azimuths met inside, counted on along the line without
  // reduction to 0..2pi (an element's azimuth is monotonic).
  double minAzimuth, maxAzimuth;
  std::size_t first, last;  // leaf: pieces [first, last); inner: children
  bool leaf;
};

struct LineGeometry {
  std::vector<ElementCurve> curves;
  std::vector<double> startDistance;  // of each element
  std::vector<LinePiece> pieces;
  std::vector<LineBox> boxes;  // boxes[0] is the root

  void BuildIndex(double length_m);
};

// Curvature of an element design's end, signed by its turn (0 for infinite).
double SignedCurvature(double radius_m, int turn);

}  // namespace quorvane
