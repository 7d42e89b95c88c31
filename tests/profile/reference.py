#!/usr/bin/env python3
"""Reference heights of the profile tests, worked with mpmath.

The parabolic curves follow the textbook (道路勘测设计) working:
  omega = i2 - i1, L = R*|omega|, T = L/2, E = T^2/(2R),
  start (BVC) = point - T, end (EVC) = point + T,
  y = x^2/(2R) with x from the nearer tangent point,
  height = tangent height -/+ y (crest -, sag +).
Stations are turned into distances by hand where a chainage equation lies
between them. The circle is the circle of radius R tangent to both grades.
Run: python3 tests/profile/reference.py
"""
from mpmath import mp, mpf, sqrt

mp.dps = 30


def textbook(name, pvi, H, i1, i2, R, stations):
    pvi, H, i1, i2, R = (mpf(v) for v in (pvi, H, i1, i2, R))
    L = R * abs(i2 - i1)
    T = L / 2
    E = T * T / (2 * R)
    crest = i2 < i1
    bvc, evc = pvi - T, pvi + T
    Hb, He = H - i1 * T, H + i2 * T
    print(f"{name}: L={L} T={T} E={E} BVC={bvc} H={Hb} EVC={evc} H={He}")
    for s in stations:
        s = mpf(s)
        if s <= bvc:
            h = H + i1 * (s - pvi)
        elif s >= evc:
            h = H + i2 * (s - pvi)
        elif s <= pvi:  # from the start: tangent height on i1, y over x from BVC
            x = s - bvc
            h = Hb + i1 * x + (-1 if crest else 1) * x * x / (2 * R)
        else:  # from the end, on i2
            x = evc - s
            h = He - i2 * x + (-1 if crest else 1) * x * x / (2 * R)
        print(f"  {float(s):10.3f}  {mp.nstr(h, 15)}")


def circle(name, pvi, H, i1, i2, R, stations):
    pvi, H, g1, g2, R = (mpf(v) for v in (pvi, H, i1, i2, R))
    sign = 1 if g1 > g2 else -1
    s1, s2 = sqrt(1 + g1 * g1), sqrt(1 + g2 * g2)
    xc = sign * R * (s1 - s2) / (g1 - g2)  # centre, relative to the point
    yc = g1 * xc - sign * R * s1
    xa = (xc + g1 * yc) / (1 + g1 * g1)
    xb = (xc + g2 * yc) / (1 + g2 * g2)
    E = abs(yc + sign * sqrt(R * R - xc * xc))
    print(f"{name}: start={mp.nstr(pvi + xa, 15)} end={mp.nstr(pvi + xb, 15)} E={mp.nstr(E, 15)}")
    for s in stations:
        x = mpf(s) - pvi
        if x <= xa:
            h = H + g1 * x
        elif x >= xb:
            h = H + g2 * x
        else:
            h = H + yc + sign * sqrt(R * R - (x - xc) ** 2)
        print(f"  {float(s):10.3f}  {mp.nstr(h, 15)}")


if __name__ == "__main__":
    # Crest: K5+030, 427.68 m, +5 % / -4 %, R = 2000 m. Points of the profile:
    # K4+800 at 427.68 - 230*0.05 = 416.18, K5+300 at 427.68 - 270*0.04 = 416.88.
    textbook("crest", 5030, "427.68", "0.05", "-0.04", 2000, [4800, 4900, 4940, 4995, 5000, 5015, 5030, 5100, 5120, 5300])
    # Sag: K25+460, 780.72 m, +0.8 % / +5 %, R = 5000 m. Points: K25+300 at
    # 780.72 - 160*0.008 = 779.44, K25+700 at 780.72 + 240*0.05 = 792.72.
    textbook("sag", 25460, "780.72", "0.008", "0.05", 5000, [25355, 25400, 25449, 25450, 25460, 25500, 25565])
    # The crest again as a circle of R = 2000 m.
    circle("circle", 5030, "427.68", "0.05", "-0.04", 2000, [4940, 5000, 5030, 5100, 5120])
    # A steep sag circle, -9 % / +9 %, R = 1000 m, at K1+000, 50 m.
    circle("steep circle", 1000, 50, "-0.09", "0.09", 1000, [910, 950, 1000, 1060])
    # Two curves end to end, distances 0..1000: 0 m at 100, 300 m at 106
    # (L = 200), 500 m at 100 (L = 200), 1000 m at 110: grades +2 %, -3 %, +2 %.
    textbook("first of two", 300, 106, "0.02", "-0.03", mpf(200) / mpf("0.05"), [250, 400])
    textbook("second of two", 500, 100, "-0.03", "0.02", mpf(200) / mpf("0.05"), [400, 450])
