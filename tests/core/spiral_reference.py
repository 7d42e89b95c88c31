#!/usr/bin/python3
"""Reference points of the spiral kernel, for tests/core/spiral_test.cpp.

Each row is a curve whose tangent azimuth at s metres from its start is
    theta(s) = alpha + turn * (s/Ra + s^2 * (1/Rb - 1/Ra) / (2 L)),
1/R = 0 for R = 0, and the point at D is the exact integral of
(cos theta, sin theta) over s = 0..D, taken with mpmath.quad at 40 digits
over pieces that turn by at most 0.25 rad: north x and east y from the start.
The curves are those of tests/core/curve_reference.py (the single curve's
references) and the spirals of tests/line/reference.py (the whole line's),
each at the distances those files check.

Run: /usr/bin/python3 tests/core/spiral_reference.py    (needs python3-mpmath)
and paste the rows it prints.
"""
import mpmath as mp

mp.mp.dps = 40
STAKE_TABLE_PI = mp.mpf("3.14159265")


def ddmmss(deg, minutes, seconds):
    """An azimuth typed as DD.MMSS in the single curve, with the tables' pi."""
    return (deg + mp.mpf(minutes) / 60 + mp.mpf(seconds) / 3600) * STAKE_TABLE_PI / 180


def point(alpha, Ra, Rb, L, turn, D):
    k0 = 0 if Ra == "0" else 1 / mp.mpf(Ra)
    k1 = 0 if Rb == "0" else 1 / mp.mpf(Rb)
    L, D = mp.mpf(L), mp.mpf(D)
    theta = lambda s: alpha + turn * (s * k0 + s * s * (k1 - k0) / (2 * L))
    kmax = max(abs(k0), abs(k1), mp.mpf("1e-9"))
    pieces = max(1, int(abs(D) * kmax / mp.mpf("0.25")) + 1)
    grid = [D * i / pieces for i in range(pieces + 1)]
    return mp.quad(lambda s: mp.cos(theta(s)), grid), mp.quad(lambda s: mp.sin(theta(s)), grid)


# name, alpha (C++ expression, its value), Ra, Rb, L, turn, distances
DEFAULT_A = ("Dms(17, 34, 15)", ddmmss(17, 34, 15))
CURVES = [
    ("field curve, right", DEFAULT_A, "1500", "130", "70.257", 1, ["9.892", "69.892", "70.257"]),
    ("field curve, left", DEFAULT_A, "1500", "130", "70.257", -1, ["9.892", "70.257"]),
    ("defaults over 3276.7 m, right", DEFAULT_A, "1500", "130", "3276.7", 1, ["10", "1100", "2000", "3270"]),
    ("loop ramp, circle of 120", DEFAULT_A, "120", "120", "900", 1, ["450", "900"]),
    ("radii 600 to 100, left", DEFAULT_A, "600", "100", "1200", -1, ["600", "1200"]),
    ("straight into 95.5", DEFAULT_A, "0", "95.5", "600", 1, ["300", "600"]),
    ("circle of 20 m, four turns", ("Dms(45, 0, 0)", ddmmss(45, 0, 0)), "20", "20", "500", 1, ["250", "500"]),
    ("straight into 15, three turns, left", ("Dms(300, 30, 30)", ddmmss(300, 30, 30)), "0", "15", "600", -1,
     ["400", "600"]),
    ("out of 15 staked backwards", ("Dms(300, 30, 30)", ddmmss(300, 30, 30)), "15", "0", "-600", 1, ["-300", "-600"]),
    # The whole line's: the winding spiral and the mixed line's spirals.
    ("line: straight into 40 over 2 km, left", ("5.5", mp.mpf("5.5")), "0", "40", "2000", -1,
     ["0.5", "250", "999.999", "1500.25", "1987.654321", "2000"]),
    ("line: straight into 500", ("0.7853981633974483", mp.mpf("0.7853981633974483")), "0", "500", "100", 1,
     ["56.544", "100"]),
    ("line: egg 500 to 300", ("1.0384861633974483", mp.mpf("1.0384861633974483")), "500", "300", "90", 1,
     ["45", "90"]),
]

if __name__ == "__main__":
    for name, (alpha_cpp, alpha), Ra, Rb, L, turn, distances in CURVES:
        for D in distances:
            x, y = point(alpha, Ra, Rb, L, turn, D)
            print(f'{{"{name}", {alpha_cpp}, {Ra}, {Rb}, {L}, {turn}, {D}, '
                  f'{mp.nstr(x, 25, min_fixed=-5, max_fixed=30)}, {mp.nstr(y, 25, min_fixed=-5, max_fixed=30)}}},')
