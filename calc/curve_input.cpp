#include "calc/curve_input.h"

#include <cmath>

#include "calc/calculation_error.h"

namespace quorvane {

void RequireFinite(std::initializer_list<double> values) {
  for (const double v : values) {
    if (!std::isfinite(v)) throw CalculationError(kOverflowPrompt);
  }
}

void RequireOnTheMap(std::initializer_list<double> values) {
  for (const double v : values) {
    if (!(std::fabs(v) < kMaxCoordinate_m)) throw CalculationError(kOverflowPrompt);
  }
}

void CheckCurveInput(const CurveInput& input) {
  RequireFinite({input.Xa, input.Ya, input.lb, input.le, input.Ra, input.Rb, input.a, input.d});
  RequireOnTheMap({input.Xa, input.Ya, input.lb, input.le});
}

}  // namespace quorvane
