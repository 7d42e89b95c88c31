#!/usr/bin/python3
"""How far the stake coordinates can be from the exact curve.

The program integrates the tangent direction from the curve start to each
stake in one of two ways (the stake tables' policy of the spiral kernel,
calc/spiral.h, kStakeTablePolicy):
  - one five-point Gauss-Legendre rule over the whole distance D, with the
    shortened node and weight decimals below, wherever an a-priori bound of
    its error is within 0.005 mm;
  - beyond, equal panels that turn by at most 0.5 rad through their start
    curvature (A) and 0.05 rad through its change (B), each with the rule to
    full precision.
This script checks both against mpmath at 40 digits:
  1. the rule's error on t^m (m = 10..60), the constants the bound is built
     from (calc/spiral.cpp, kMonomialError);
  2. for kinds of curve and distances D, the largest turn at which the one
     rule is still used, and its true error there (mpmath.quad);
  3. the full-precision rule's true error on the largest panel, per metre.

Azimuth law along the curve (s from the curve start, L = le - lb):
    theta(s) = alpha + turn * (s/Ra + s^2 * (1/Rb - 1/Ra) / (2 L))
A point at distance D sees theta(t D) = alpha + a t + b t^2 with a = D/Ra,
b = D^2 (1/Rb - 1/Ra) / (2 L); the error is D times the rule's error for
exp(i (a t + b t^2)) on 0..1, independent of alpha.

Run: /usr/bin/python3 scripts/accuracy.py          (needs python3-mpmath)
"""
import math
import sys

import mpmath as mp

mp.mp.dps = 40

T1 = mp.mpf("0.046910077")
T2 = mp.mpf("0.2307653449")
SHORT_NODES = [T1, T2, mp.mpf("0.5"), 1 - T2, 1 - T1]
W1 = mp.mpf("0.1184634425")
W2 = mp.mpf("0.2393143352")
SHORT_WEIGHTS = [W1, W2, mp.mpf("0.2844444444"), W2, W1]

_r = [mp.mpf(0), mp.sqrt(5 - 2 * mp.sqrt(mp.mpf(10) / 7)) / 3, mp.sqrt(5 + 2 * mp.sqrt(mp.mpf(10) / 7)) / 3]
_w = [mp.mpf(128) / 225, (322 + 13 * mp.sqrt(70)) / 900, (322 - 13 * mp.sqrt(70)) / 900]
NODES = [(1 - _r[2]) / 2, (1 - _r[1]) / 2, mp.mpf(1) / 2, (1 + _r[1]) / 2, (1 + _r[2]) / 2]
WEIGHTS = [_w[2] / 2, _w[1] / 2, _w[0] / 2, _w[1] / 2, _w[2] / 2]

TOLERANCE_M = mp.mpf("5e-6")  # the one rule serves a point while its bound is within this
MAX_RULE_TURN = 3             # ... and A + B stays within this
PANEL_A, PANEL_B = mp.mpf("0.5"), mp.mpf("0.05")

MONOMIAL_ERROR = [mp.mpf(1) / (m + 1) - mp.fsum(w * t ** m for t, w in zip(NODES, WEIGHTS)) for m in range(61)]
SHORT_WEIGHT_ERROR = mp.fsum(abs(a - b) for a, b in zip(SHORT_WEIGHTS, WEIGHTS))
SHORT_NODE_ERROR = mp.fsum(w * abs(a - b) for a, b, w in zip(SHORT_NODES, NODES, WEIGHTS))


def bound(A, B):
    """The bound of the full-precision rule on exp(i(At + Bt^2)) over 0..1."""
    c = [mp.mpf(1), mp.mpf(A)]
    for m in range(1, 60):
        c.append((A * c[m] + 2 * B * c[m - 1]) / (m + 1))
    return mp.fsum(MONOMIAL_ERROR[m] * c[m] for m in range(10, 61))


def single_rule_bound_m(D, A, B):
    return D * (SHORT_WEIGHT_ERROR + SHORT_NODE_ERROR * (A + 2 * B) + bound(A, B))


def exact(A, B):
    theta = lambda t: A * t + B * t * t
    pieces = max(1, int(abs(A) + abs(B)) * 4)
    grid = [mp.mpf(k) / pieces for k in range(pieces + 1)]
    return mp.quad(lambda t: mp.cos(theta(t)), grid), mp.quad(lambda t: mp.sin(theta(t)), grid)


def rule(A, B, nodes, weights):
    theta = lambda t: A * t + B * t * t
    return (mp.fsum(w * mp.cos(theta(t)) for t, w in zip(nodes, weights)),
            mp.fsum(w * mp.sin(theta(t)) for t, w in zip(nodes, weights)))


def error_m(D, A, B, nodes=SHORT_NODES, weights=SHORT_WEIGHTS):
    (xr, yr), (xe, ye) = rule(A, B, nodes, weights), exact(A, B)
    return D * mp.hypot(xr - xe, yr - ye)


# Kinds of curve, each as the share of the turn taken by the start curvature
# (A) and by its change (B).
KINDS = [
    ("spiral from a straight", lambda turn: (0, turn)),
    ("spiral, end curvature 3x", lambda turn: (turn / 2, turn / 2)),
    ("circular arc", lambda turn: (turn, 0)),
    ("spiral to a straight", lambda turn: (2 * turn, -turn)),
]
LENGTHS = [50, 100, 200, 400, 800, 3000]


def limit_turn(D, kind):
    """Largest turn (rad) at which the one rule still serves a point at D."""
    def holds(turn):
        A, B = (abs(v) for v in kind(turn))
        return A + B <= MAX_RULE_TURN and single_rule_bound_m(D, A, B) <= TOLERANCE_M
    lo, hi = mp.mpf(0), mp.mpf(MAX_RULE_TURN)
    if not holds(lo):
        return None
    for _ in range(40):
        mid = (lo + hi) / 2
        lo, hi = (mid, hi) if holds(mid) else (lo, mid)
    return lo


def main():
    print("Error of the full-precision five-point rule on t^m over 0..1 (kMonomialError):")
    print(", ".join(mp.nstr(MONOMIAL_ERROR[m], 17) for m in range(10, 61)))
    print(f"\nShortened decimals: sum |w - w_exact| = {mp.nstr(SHORT_WEIGHT_ERROR, 3)}, "
          f"sum w |t - t_exact| = {mp.nstr(SHORT_NODE_ERROR, 3)}")

    print("\nThe one shortened rule: largest turn from the start to the point at which it is used,")
    print("and its true error there against mpmath.quad (mm)")
    print(f"{'kind':<26}{'D m':>6}{'turn rad':>10}{'deg':>6}{'true error mm':>15}")
    for name, kind in KINDS:
        for D in LENGTHS:
            turn = limit_turn(D, kind)
            if turn is None:
                print(f"{name:<26}{D:>6}{'never':>10}")
                continue
            A, B = kind(turn)
            print(f"{name:<26}{D:>6}{float(turn):>10.3f}{math.degrees(turn):>6.0f}"
                  f"{float(error_m(D, A, B)) * 1000:>15.6f}")
    straight = TOLERANCE_M / SHORT_WEIGHT_ERROR
    print(f"\nA straight keeps the one rule up to D = {float(straight) / 1000:.1f} km "
          f"(the weights' 2e-10 of D reaches 0.005 mm).")
    quick = mp.mpf("0.25")
    reach = TOLERANCE_M / (SHORT_WEIGHT_ERROR + SHORT_NODE_ERROR * 3 * quick + bound(quick, quick))
    print(f"Any curve turning less than 0.25 rad keeps it up to D = {float(reach) / 1000:.1f} km.")

    print("\nThe panels: the full-precision rule on the largest panel (A = 0.5, B = 0.05 rad), per metre")
    for A, B in [(PANEL_A, 0), (0, PANEL_B), (PANEL_A, PANEL_B), (PANEL_A, -PANEL_B)]:
        print(f"  A = {float(A):.2f}, B = {float(B):+.2f}: true {mp.nstr(error_m(1, A, B, NODES, WEIGHTS), 3)}, "
              f"bound {mp.nstr(bound(abs(A), abs(B)), 3)}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
