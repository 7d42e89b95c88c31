#include <algorithm>
#include <cmath>

#include "calc/line_geometry.h"

namespace quorvane {

namespace {

// Five-point Gauss-Legendre nodes on -1..1 and their weights, to full double
// precision (the roots of P5: 0, +-sqrt(5 -+ 2 sqrt(10/7)) / 3).
constexpr double kNode1 = 0.53846931010568309103631442070020880;
constexpr double kNode2 = 0.90617984593866399279762687829939297;
constexpr double kWeight0 = 128.0 / 225.0;
constexpr double kWeight1 = 0.47862867049936646804129151483563819;
constexpr double kWeight2 = 0.23692688505618908751426404071991736;

// The integral of (cos, sin) of azimuth + k t + g t^2 / 2 over t = 0..u.
void IntegrateTangent(double azimuth, double k, double g, double u, double& dX, double& dY) {
  static constexpr double x[5] = {-kNode2, -kNode1, 0.0, kNode1, kNode2};
  static constexpr double w[5] = {kWeight2, kWeight1, kWeight0, kWeight1, kWeight2};
  const double half = 0.5 * u;
  double sx = 0, sy = 0;
  for (int i = 0; i < 5; ++i) {
    const double t = half + half * x[i];
    const double a = azimuth + t * (k + 0.5 * g * t);
    sx += w[i] * std::cos(a);
    sy += w[i] * std::sin(a);
  }
  dX = half * sx;
  dY = half * sy;
}

}  // namespace

double SignedCurvature(double radius_m, int turn) {
  return std::isinf(radius_m) ? 0.0 : static_cast<double>(turn) / radius_m;
}

ElementCurve::ElementCurve(ElementType type, double X0_m, double Y0_m, double azimuth0_rad, double k0, double k1,
                           double length_m)
    : type_(type),
      X0_(X0_m),
      Y0_(Y0_m),
      azimuth0_(azimuth0_rad),
      k0_(k0),
      g_(type == ElementType::Spiral ? (k1 - k0) / length_m : 0.0),
      length_(length_m),
      panelLength_(length_m) {
  if (type_ != ElementType::Spiral) return;
  const double largest = std::max(std::abs(k0), std::abs(k1));
  panels_ = std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(largest * length_m / kPanelTurn_rad)));
  panelLength_ = length_m / static_cast<double>(panels_);
  nodeX_.resize(panels_ + 1);
  nodeY_.resize(panels_ + 1);
  nodeX_[0] = X0_;
  nodeY_[0] = Y0_;
  for (std::size_t j = 0; j < panels_; ++j) {
    const double s = static_cast<double>(j) * panelLength_;
    const double sNext = j + 1 == panels_ ? length_m : static_cast<double>(j + 1) * panelLength_;
    double dX, dY;
    IntegrateTangent(Azimuth(s), Curvature(s), g_, sNext - s, dX, dY);
    nodeX_[j + 1] = nodeX_[j] + dX;
    nodeY_[j + 1] = nodeY_[j] + dY;
  }
}

LinePoint ElementCurve::At(double s) const {
  switch (type_) {
    case ElementType::Straight:
      return {X0_ + s * std::cos(azimuth0_), Y0_ + s * std::sin(azimuth0_), azimuth0_};
    case ElementType::Arc: {
      // The chord 2 sin(k s / 2) / k along the azimuth halfway round.
      const double half = 0.5 * k0_ * s;
      const double chord = std::abs(half) < 1e-300 ? s : std::sin(half) / (0.5 * k0_);
      const double mid = azimuth0_ + half;
      return {X0_ + chord * std::cos(mid), Y0_ + chord * std::sin(mid), azimuth0_ + k0_ * s};
    }
    case ElementType::Spiral:
      break;
  }
  const double position = s / panelLength_;
  std::size_t j = position <= 0 ? 0 : static_cast<std::size_t>(position);
  if (j >= panels_) j = panels_ - 1;
  const double sj = static_cast<double>(j) * panelLength_;
  double dX, dY;
  IntegrateTangent(Azimuth(sj), Curvature(sj), g_, s - sj, dX, dY);
  return {nodeX_[j] + dX, nodeY_[j] + dY, Azimuth(s)};
}

}  // namespace quorvane
