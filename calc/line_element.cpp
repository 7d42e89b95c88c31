#include <cmath>

#include "calc/line_geometry.h"

namespace quorvane {

double SignedCurvature(double radius_m, int turn) {
  return std::isinf(radius_m) ? 0.0 : static_cast<double>(turn) / radius_m;
}

ElementCurve::ElementCurve(ElementType type, double X0_m, double Y0_m, double azimuth0_rad, double k0, double k1,
                           double length_m)
    : type_(type),
      X0_(X0_m),
      Y0_(Y0_m),
      law_{azimuth0_rad, k0, type == ElementType::Spiral ? k1 - k0 : 0.0, length_m, 1.0} {
  if (type_ != ElementType::Spiral) return;
  Spiral spiral(law_, kExactPolicy, static_cast<std::int64_t>(SpiralPanelCount(k0, k1, length_m, kExactPolicy)));
  auto nodes = std::make_shared<std::vector<SpiralNode>>();
  spiral.AppendNodes(*nodes);
  panels_ = static_cast<std::uint32_t>(spiral.Panels());
  nodes_ = nodes->data();
  own_ = std::move(nodes);
}

ElementCurve::ElementCurve(ElementType type, double X0_m, double Y0_m, double azimuth0_rad, double k0, double dk,
                           double length_m, std::uint32_t panels, const SpiralNode* nodes)
    : type_(type), X0_(X0_m), Y0_(Y0_m), law_{azimuth0_rad, k0, dk, length_m, 1.0}, panels_(panels), nodes_(nodes) {}

LinePoint ElementCurve::At(double s) const {
  switch (type_) {
    case ElementType::Straight:
      return {X0_ + s * std::cos(law_.alpha), Y0_ + s * std::sin(law_.alpha), law_.alpha};
    case ElementType::Arc: {
      // The chord 2 sin(k s / 2) / k along the azimuth halfway round.
      const double half = 0.5 * law_.k0 * s;
      const double chord = std::abs(half) < 1e-300 ? s : std::sin(half) / (0.5 * law_.k0);
      const double mid = law_.alpha + half;
      return {X0_ + chord * std::cos(mid), Y0_ + chord * std::sin(mid), law_.alpha + law_.k0 * s};
    }
    case ElementType::Spiral:
      break;
  }
  const SpiralOffset p = Spiral::AtNodes(law_, panels_, nodes_, s);
  return {X0_ + p.x, Y0_ + p.y, p.azimuth};
}

ElementCurve LineGeometry::Curve(std::size_t element) const {
  const LineElement& e = elements[element];
  const ElementShape& shape = shapes[element];
  return {e.design.type, e.start.X_m,       e.start.Y_m,  e.start.azimuth_rad,      shape.k0,
          shape.dk,      e.design.length_m, shape.panels, nodes.data() + shape.node};
}

}  // namespace quorvane
