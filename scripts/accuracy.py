#!/usr/bin/python3
"""How far the stake coordinates are from the exact curve.

The program integrates the tangent direction from the curve start to each
stake with one five-point Gauss-Legendre rule over the whole distance D, with
the node and weight decimals below. This script evaluates that rule and an
exact integral of the same azimuth law (mpmath.quad at 40 digits) and reports
the position error in millimetres against the total turning at the stake.

Azimuth law along the curve (s from the curve start, L = le - lb):
    theta(s) = alpha + turn * (s/Ra + s^2 * (1/Rb - 1/Ra) / (2 L))
A stake at distance D on such a curve sees theta(t D) = alpha + a t + b t^2
with a = D/Ra, b = D^2 (1/Rb - 1/Ra) / (2 L), turn a + b; the error is D times
the rule's error for exp(i (a t + b t^2)) on 0..1, independent of alpha.

Run: /usr/bin/python3 scripts/accuracy.py          (needs python3-mpmath)
"""
import math
import sys

import mpmath as mp

mp.mp.dps = 40

T1 = mp.mpf("0.046910077")
T2 = mp.mpf("0.2307653449")
NODES = [T1, T2, mp.mpf("0.5"), 1 - T2, 1 - T1]
W1 = mp.mpf("0.1184634425")
W2 = mp.mpf("0.2393143352")
WEIGHTS = [W1, W2, mp.mpf("0.2844444444"), W2, W1]


def rule_error_m(D, a, b):
    """Distance in metres between the rule and the exact integral at D."""
    theta = lambda t: a * t + b * t * t
    x_rule = D * mp.fsum(w * mp.cos(theta(t)) for t, w in zip(NODES, WEIGHTS))
    y_rule = D * mp.fsum(w * mp.sin(theta(t)) for t, w in zip(NODES, WEIGHTS))
    # Split the exact integral where the integrand oscillates, for quad's sake.
    pieces = max(1, int(abs(a) + abs(b)) * 2)
    grid = [mp.mpf(k) / pieces for k in range(pieces + 1)]
    x_exact = D * mp.quad(lambda t: mp.cos(theta(t)), grid)
    y_exact = D * mp.quad(lambda t: mp.sin(theta(t)), grid)
    return float(mp.sqrt((x_rule - x_exact) ** 2 + (y_rule - y_exact) ** 2))


# Kinds of curve, each as the share of the turn taken by the linear term a
# (the start curvature) and by the quadratic term b (its change):
#   spiral from a straight (Ra = 0): a = 0
#   circular arc (Ra = Rb): b = 0
#   spiral between radii, end curvature 3x the start's: a = turn/2
#   spiral easing out to a straight: b = -a/2 (turn = a/2), the stake at the end
KINDS = [
    ("spiral from straight", lambda turn: (0, turn)),
    ("spiral Rb = Ra/3", lambda turn: (turn / 2, turn / 2)),
    ("circular arc", lambda turn: (turn, 0)),
    ("spiral to straight", lambda turn: (2 * turn, -turn)),
]
LENGTHS = [50, 100, 200, 400, 800]


def limit_turn(D, kind, tol_m):
    """Largest turn (rad) up to which the error at D stays within tol_m."""
    lo, hi = mp.mpf(0), mp.mpf("0.05")
    # Walk up until the error exceeds the tolerance, then bisect.
    while rule_error_m(D, *kind(hi)) <= tol_m:
        lo, hi = hi, hi * mp.mpf("1.25")
        if hi > 20:
            return float("inf")
    for _ in range(30):
        mid = (lo + hi) / 2
        if rule_error_m(D, *kind(mid)) <= tol_m:
            lo = mid
        else:
            hi = mid
    return float(lo)


def main():
    print("Position error of the five-point rule against mpmath.quad, millimetres")
    turns = [0.5, 1.0, 1.5, 1.9, 2.1, 2.5, 3.0]
    for name, kind in KINDS:
        print(f"\n{name}: error (mm) at the stake, by distance D (rows) and turn (columns, rad)")
        print("   D m " + "".join(f"{t:>10.1f}" for t in turns))
        for D in LENGTHS:
            row = "".join(f"{rule_error_m(D, *kind(t)) * 1000:>10.4f}" for t in turns)
            print(f"{D:>6} {row}")

    print("\nLargest turn (rad, degrees) with the error within 0.2 mm and within 1 mm")
    print(f"{'kind':<24}{'D m':>6}{'0.2 mm':>16}{'1 mm':>16}")
    worst = {D: {0.2: float("inf"), 1.0: float("inf")} for D in LENGTHS}
    for name, kind in KINDS:
        for D in LENGTHS:
            limits = {}
            for tol_mm in (0.2, 1.0):
                limits[tol_mm] = limit_turn(D, kind, tol_mm / 1000)
                worst[D][tol_mm] = min(worst[D][tol_mm], limits[tol_mm])
            cells = "".join(f"{limits[t]:>8.2f} ({math.degrees(limits[t]):>4.0f}°)" for t in (0.2, 1.0))
            print(f"{name:<24}{D:>6}{cells}")
    print("\nWorst kind of curve, by distance from the curve start to the stake")
    for D in LENGTHS:
        w = worst[D]
        print(f"  D = {D:>4} m: within 0.2 mm up to {w[0.2]:.2f} rad ({math.degrees(w[0.2]):.0f}°), "
              f"within 1 mm up to {w[1.0]:.2f} rad ({math.degrees(w[1.0]):.0f}°)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
