#!/usr/bin/env python3
"""How far a circular vertical curve lies from the parabola that replaces it.

A circle of radius R tangent to the grades g1 and g2 through a grade-change
point at (0, 0), against three parabolas tangent to the same grades:
  span:   over the circle's own horizontal span (its tangent points),
  arc:    of length equal to the circle's arc length R*|atan g2 - atan g1|,
  R|di|:  of length R*|g2 - g1|, the length the radius gives a parabola.
Prints the largest height difference along the curve, in millimetres.
"""
from mpmath import mp, mpf, sqrt, atan, linspace

mp.dps = 40


def circle(g1, g2, R):
    s1, s2 = sqrt(1 + g1 * g1), sqrt(1 + g2 * g2)
    sign = 1 if g1 > g2 else -1  # crest: centre below both grades
    xc = sign * R * (s1 - s2) / (g1 - g2)
    yc = g1 * xc - sign * R * s1
    xa = (xc + g1 * yc) / (1 + g1 * g1)
    xb = (xc + g2 * yc) / (1 + g2 * g2)
    return (lambda x: yc + sign * sqrt(R * R - (x - xc) ** 2)), xa, xb


def parabola(g1, g2, L):
    T = L / 2

    def y(x):
        if x <= -T:
            return g1 * x
        if x >= T:
            return g2 * x
        return g1 * x + (g2 - g1) / (2 * L) * (x + T) ** 2

    return y


def worst(g1, g2, R, L):
    yc, xa, xb = circle(g1, g2, R)
    yp = parabola(g1, g2, L)
    lo, hi = min(xa, -L / 2), max(xb, L / 2)

    def yc_ext(x):  # the circle continued by its grades
        return g1 * x if x < xa else g2 * x if x > xb else yc(x)

    return max(abs(yc_ext(x) - yp(x)) for x in linspace(lo, hi, 801))


if __name__ == "__main__":
    print(f"{'g1':>6} {'g2':>6} {'R':>7} {'span mm':>9} {'arc mm':>9} {'R|di| mm':>9}")
    for g1, g2 in [(0.03, -0.03), (0.05, -0.04), (0.09, -0.09), (-0.05, 0.04), (-0.09, 0.09)]:
        for R in [400, 1000, 2000, 5000, 10000, 20000]:
            g1m, g2m, Rm = mpf(g1), mpf(g2), mpf(R)
            _, xa, xb = circle(g1m, g2m, Rm)
            span = worst(g1m, g2m, Rm, xb - xa)
            arc = worst(g1m, g2m, Rm, Rm * abs(atan(g2m) - atan(g1m)))
            rdi = worst(g1m, g2m, Rm, Rm * abs(g2m - g1m))
            print(f"{g1:6} {g2:6} {R:7} {float(span)*1e3:9.4f} {float(arc)*1e3:9.4f} {float(rdi)*1e3:9.4f}")
