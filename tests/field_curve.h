#pragma once

#include "calc/curve_input.h"

namespace quorvane::test {

// The window's default curve, the worked example of the printed tables:
// interval 10, right turn.
inline constexpr CurveInput kFieldCurve{.Xa = 4040964.994, .Ya = 195601.155, .lb = 180.108, .le = 250.365,
                                        .Ra = 1500, .Rb = 130, .a = 17.3415, .d = 10, .turn = 1};

}  // namespace quorvane::test
