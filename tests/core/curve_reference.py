#!/usr/bin/python3
"""Reference points of curves that turn far, for tests/core/geometry_test.cpp
and tests/core/curve_point_test.cpp.

Each point is the exact integral of the curve law at 40 significant digits
(mpmath.quad over pieces that turn by at most 0.25 rad):
    X = Xa + integral of cos(theta(s)) ds,  Y = Ya + integral of sin(theta(s)) ds
over s = 0..D, D = station - lb, with
    theta(s) = alpha + turn * (s/Ra + s^2 * (1/Rb - 1/Ra) / (2 L)),  L = le - lb,
1/R = 0 for R = 0, and alpha the DD.MMSS start azimuth in radians with
pi = 3.14159265. Feet of a point are the roots of the along-track distance
(P - C(s)) . T(s), found on a fine grid and refined with mpmath.findroot.

Run: /usr/bin/python3 tests/core/curve_reference.py    (needs python3-mpmath)
and paste the rows it prints.
"""
import mpmath as mp

mp.mp.dps = 40
PI = mp.mpf("3.14159265")


def radians(ddmmss):
    """DD.MMSS (given as text) to radians, with the shortened pi."""
    sign = -1 if ddmmss.startswith("-") else 1
    text = ddmmss.lstrip("-")
    deg, _, frac = text.partition(".")
    frac = (frac + "0000")[:4]
    value = int(deg) + mp.mpf(int(frac[:2])) / 60 + mp.mpf(int(frac[2:])) / 3600
    return sign * value * PI / 180


class Curve:
    def __init__(self, Xa, Ya, lb, le, Ra, Rb, a, turn):
        self.Xa, self.Ya = mp.mpf(Xa), mp.mpf(Ya)
        self.lb, self.le = mp.mpf(lb), mp.mpf(le)
        self.L = self.le - self.lb
        self.k0 = 0 if Ra == "0" else 1 / mp.mpf(Ra)
        self.k1 = 0 if Rb == "0" else 1 / mp.mpf(Rb)
        self.alpha = radians(a)
        self.turn = turn

    def theta(self, s):
        return self.alpha + self.turn * (s * self.k0 + s * s * (self.k1 - self.k0) / (2 * self.L))

    def curvature(self, s):
        return self.turn * (self.k0 + (self.k1 - self.k0) * s / self.L)

    def point(self, station):
        D = mp.mpf(station) - self.lb
        kmax = max(abs(self.k0), abs(self.k1), mp.mpf("1e-9"))
        pieces = max(1, int(abs(D) * kmax / mp.mpf("0.25")) + 1)
        grid = [D * i / pieces for i in range(pieces + 1)]
        x = mp.quad(lambda s: mp.cos(self.theta(s)), grid)
        y = mp.quad(lambda s: mp.sin(self.theta(s)), grid)
        return self.Xa + x, self.Ya + y, self.theta(D)

    def feet(self, X, Y, samples=2000):
        """Every foot of (X, Y) between the ends: (station, offset, distance)."""
        X, Y = mp.mpf(X), mp.mpf(Y)

        def along(D):
            x, y, t = self.point(self.lb + D)
            return (X - x) * mp.cos(t) + (Y - y) * mp.sin(t)

        found = []
        grid = [self.L * i / samples for i in range(samples + 1)]
        values = [along(D) for D in grid]
        for (a, fa), (b, fb) in zip(zip(grid, values), zip(grid[1:], values[1:])):
            if fa == 0 or fa * fb < 0:
                D = mp.findroot(along, (a, b), solver="anderson")
                x, y, t = self.point(self.lb + D)
                offset = (Y - y) * mp.cos(t) - (X - x) * mp.sin(t)
                found.append((self.lb + D, offset, mp.hypot(X - x, Y - y)))
        return found


def f(v, digits=10):
    return mp.nstr(v, 25, min_fixed=-1, max_fixed=30) if digits is None else format(float(v), f".{digits}f")


DEFAULT = dict(Xa="4040964.994", Ya="195601.155", a="17.3415")


def stake_rows():
    cases = [
        ("defaults, 0..3276.7, right", dict(DEFAULT, lb="0", le="3276.7", Ra="1500", Rb="130", turn=1),
         ["10", "1100", "2000", "3270"]),
        ("loop ramp, radii 120 / 120", dict(DEFAULT, lb="0", le="900", Ra="120", Rb="120", turn=1), ["450", "900"]),
        ("1000..2200, radii 600 to 100, left", dict(DEFAULT, lb="1000", le="2200", Ra="600", Rb="100", turn=-1),
         ["1600", "2200"]),
        ("0..600, radii 0 to 95.5", dict(DEFAULT, lb="0", le="600", Ra="0", Rb="95.5", turn=1), ["300", "600"]),
        ("circle of 20 m, four turns", dict(Xa="1000", Ya="2000", a="45", lb="0", le="500", Ra="20", Rb="20", turn=1),
         ["250", "500"]),
        ("spiral into 15 m, three turns, left", dict(Xa="1000", Ya="2000", a="300.3030", lb="0", le="600", Ra="0",
                                                      Rb="15", turn=-1), ["400", "600"]),
        ("spiral out of 15 m, staked backwards", dict(Xa="1000", Ya="2000", a="300.3030", lb="600", le="0", Ra="15",
                                                       Rb="0", turn=1), ["300", "0"]),
    ]
    print("// stake rows: name, lb, le, Ra, Rb, Xa, Ya, a, turn, station, X, Y")
    for name, c, stations in cases:
        curve = Curve(c["Xa"], c["Ya"], c["lb"], c["le"], c["Ra"], c["Rb"], c["a"], c["turn"])
        for station in stations:
            x, y, _ = curve.point(station)
            print(f'{{"{name}", {c["lb"]}, {c["le"]}, {c["Ra"]}, {c["Rb"]}, {c["Xa"]}, {c["Ya"]}, {c["a"]}, '
                  f'{c["turn"]}, {station}, {f(x)}, {f(y)}}},')


def locate_rows():
    print("// feet: curve, X, Y -> every foot (station, offset, distance); the nearest first")
    cases = [
        ("spiral 0..40 into 60 m", Curve("0", "0", "0", "40", "0", "60", "0", 1), [("5", "110"), ("10", "115")]),
        ("defaults, right", Curve(DEFAULT["Xa"], DEFAULT["Ya"], "180.108", "250.365", "1500", "130", "17.3415", 1),
         [("4040955.6854", "195736.4732")]),
        ("defaults, left", Curve(DEFAULT["Xa"], DEFAULT["Ya"], "180.108", "250.365", "1500", "130", "17.3415", -1),
         [("4041035.2712", "195485.1431")]),
    ]
    for name, curve, points in cases:
        for X, Y in points:
            feet = sorted(curve.feet(X, Y), key=lambda foot: foot[2])
            print(f"{name}: ({X}, {Y})")
            for station, offset, distance in feet:
                print(f"    station {f(station)}, offset {f(offset)}, distance {f(distance)}")
        # The centre of the end circle: the end point moved the radius to the inside.
        x, y, t = curve.point(curve.le)
        r = 1 / abs(curve.curvature(curve.L))
        side = 1 if curve.turn > 0 else -1
        print(f"{name}: centre of the end circle ({f(x - side * r * mp.sin(t))}, {f(y + side * r * mp.cos(t))})")

    print("// PointAt a station 5e-7 past the end of lb 0, le 1000, Ra 0, Rb 100, a 0, right")
    x, y, _ = Curve("0", "0", "0", "1000", "0", "100", "0", 1).point("1000.0000005")
    print(f"    {f(x)}, {f(y)}")


if __name__ == "__main__":
    stake_rows()
    locate_rows()
