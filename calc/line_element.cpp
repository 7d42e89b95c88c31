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
      law_{azimuth0_rad, k0, type == ElementType::Spiral ? k1 - k0 : 0.0, length_m, 1.0},
      spiral_(law_, kExactPolicy,
              type == ElementType::Spiral ? static_cast<std::int64_t>(SpiralPanelCount(k0, k1, length_m, kExactPolicy))
                                          : 1) {
  if (type_ == ElementType::Spiral) spiral_.SumAllPanels();
}

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
  const SpiralOffset p = spiral_.At(s);
  return {X0_ + p.x, Y0_ + p.y, p.azimuth};
}

}  // namespace quorvane
