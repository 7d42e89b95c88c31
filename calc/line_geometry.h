#pragma once

// The evaluated shape of a line's elements and the search index of
// Line::Locate. Used by line.cpp, line_locate.cpp and jd_design.cpp only
// (and the tests of the foot search).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "calc/foot_search.h"
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

  // An element on its own, its spiral's panels summed into storage of its own.
  ElementCurve(ElementType type, double X0_m, double Y0_m, double azimuth0_rad, double k0, double k1, double length_m);
  // An element of a line: `dk` the change of curvature over the element (0
  // but for a spiral), a spiral's Panels() + 1 panel starts at `nodes`, kept
  // by the line.
  ElementCurve(ElementType type, double X0_m, double Y0_m, double azimuth0_rad, double k0, double dk, double length_m,
               std::uint32_t panels, const SpiralNode* nodes);

  ElementType Type() const { return type_; }
  double Length() const { return law_.L; }
  double Curvature(double s) const { return SpiralCurvature(law_, s); }
  double CurvatureRate() const { return SpiralCurvatureChange(law_); }
  double Azimuth(double s) const { return SpiralAzimuth(law_, s); }
  // The point at s (0..Length(); a little beyond extrapolates the same
  // law) and the azimuth there, not reduced to 0..2pi.
  LinePoint At(double s) const;
  // Panels of a spiral (equally spaced); a straight or an arc has one.
  std::size_t Panels() const { return panels_; }

 private:
  ElementType type_;
  double X0_, Y0_;
  SpiralLaw law_;  // turn +1: k0 and dk are signed
  std::uint32_t panels_ = 1;
  const SpiralNode* nodes_ = nullptr;
  std::shared_ptr<const std::vector<SpiralNode>> own_;  // an element on its own only
};

// The point (X, Y) (metres) seen from one element for the foot search
// (calc/foot_search.h): At(s) is the probe at s metres from the element's
// start, 0..Length() (a little beyond extrapolates the same law). Throws
// nothing.
class ElementProbes {
 public:
  ElementProbes(const ElementCurve& curve, double X_m, double Y_m);
  FootProbe At(double s) const;

 private:
  const ElementCurve& curve_;
  double X_m_, Y_m_;
  double rate_;  // the curvature's change per metre
};

// What a line keeps of one element's shape besides its LineElement: 24
// bytes, and a spiral's panel starts in the line's one array of them.
struct ElementShape {
  double k0 = 0;             // signed curvature at the start
  double dk = 0;             // a spiral's change of curvature over it, else 0
  std::uint32_t node = 0;    // a spiral's first panel start in LineGeometry::nodes
  std::uint32_t panels = 1;  // a spiral's panel count, else 1
};

// A stretch of one element over which the tangent turns by at most a quarter
// radian: what Locate examines, with its two ends evaluated once.
struct LinePiece {
  std::size_t element = 0;
  double s0 = 0, s1 = 0;  // along the element
  double X0 = 0, Y0 = 0, cos0 = 1, sin0 = 0, k0 = 0;
  double X1 = 0, Y1 = 0, cos1 = 1, sin1 = 0, k1 = 0;
  double rate = 0;  // the element's change of curvature per metre
};

// What a line keeps of a LinePiece: 64 bytes. The rest follows exactly
// from its neighbours and the element: s0 is the previous piece's s1 on the
// same element (else 0), the end point the next piece's start point (the
// elements join without a gap), the curvatures the element's at s0 and s1.
struct StoredPiece {
  double s1;
  double X0, Y0, cos0, sin0;
  double cos1, sin1;  // the end's tangent, which the next element's start does not share
  std::uint32_t element;
};

// A box of the tree over the pieces, in line order: an inner node has two
// children, a leaf a run of pieces. 44 bytes: the coordinates are taken from
// LineGeometry's origin and rounded outwards to floats, so that a box holds
// at least what it held in doubles.
struct LineBox {
  float minX, minY, maxX, maxY;  // from the origin
  // The unit tangents at the least and the greatest azimuth met inside
  // (cos, sin of each, rounded to floats); NaN where the tangents inside
  // turn by a half turn or more.
  float cos0, sin0, cos1, sin1;
  std::uint32_t first, last;  // leaf: pieces [first, last); inner: children
  bool leaf;
};

// Everything a line computes once, shared by its copies and never changed.
struct LineGeometry {
  std::vector<LineElement> elements;
  std::vector<ElementShape> shapes;  // of each element
  std::vector<SpiralNode> nodes;     // every spiral's panel starts, element after element
  std::vector<StoredPiece> pieces;
  double endX = 0, endY = 0;        // the line's end point, where the last piece ends
  double originX = 0, originY = 0;  // of the boxes' coordinates
  std::vector<LineBox> boxes;       // boxes[0] is the root

  ElementCurve Curve(std::size_t element) const;
  LinePiece Piece(std::size_t i) const;
  void BuildIndex(double length_m);
};

// Curvature of an element design's end, signed by its turn (0 for infinite).
double SignedCurvature(double radius_m, int turn);

}  // namespace quorvane
