#!/usr/bin/python3
"""Reference values for tests/field (mpmath, 40 digits): the setting-out data
of a few points seen from a station, and the JD curve worked in
road_tables_test.cpp (a symmetric spiral-arc-spiral curve R 500, Ls 100,
turning 30 degrees right, then a plain arc R 800 turning 30 degrees left).

Usage: reference.py      prints the values the tests hold
"""
from mpmath import mp, mpf, atan2, hypot, pi, quad, cos, sin, tan, sec, sqrt, floor

mp.dps = 40


def dms(rad):
    """DD.MMSS to the whole second, 0 .. < 360."""
    seconds = int(floor(rad * 180 / pi * 3600 + mpf('0.5'))) % (360 * 3600)
    return f"{seconds // 3600}.{seconds // 60 % 60:02d}{seconds % 60:02d}"


def full(a):
    return a + 2 * pi if a < 0 else a


print("# setout: station, backsight, point -> azimuth rad, distance, angle rad, texts")
station = (mpf('3381250.125'), mpf('501230.75'))
backsight = (mpf('3381380.028811'), mpf('501305.75'))
for point in [(mpf('3381757.64057'), mpf('502019.669222')), (mpf('3381100.5'), mpf('501200.25')),
              (mpf('3381300.001'), mpf('501100.999'))]:
    az = full(atan2(point[1] - station[1], point[0] - station[0]))
    bs = full(atan2(backsight[1] - station[1], backsight[0] - station[0]))
    angle = az - bs
    if angle < 0:
        angle += 2 * pi
    d = hypot(point[0] - station[0], point[1] - station[1])
    print(f"  {{{mp.nstr(point[0], 15)}, {mp.nstr(point[1], 15)}, {mp.nstr(az, 17)}, {mp.nstr(d, 17)}, "
          f"{mp.nstr(angle, 17)}}},  // {dms(az)} {dms(angle)}")

print("# JD1: R 500, Ls 100, 30 degrees right")
R, Ls, D = mpf(500), mpf(100), pi / 6
x = quad(lambda s: cos(s * s / (2 * R * Ls)), [0, Ls])
y = quad(lambda s: sin(s * s / (2 * R * Ls)), [0, Ls])
b = Ls / (2 * R)
p = y - R * (1 - cos(b))
q = x - R * sin(b)
T = q + (R + p) * tan(D / 2)
L = 2 * Ls + R * (D - 2 * b)
E = (R + p) * sec(D / 2) - R
start_station = mpf(1000)
ZH = start_station + 1000 - T
for name, v in [("p", p), ("q", q), ("T", T), ("L", L), ("E", E), ("J", 2 * T - L), ("A", sqrt(R * Ls)),
                ("ZH", ZH), ("HY", ZH + Ls), ("QZ", ZH + L / 2), ("YH", ZH + L - Ls), ("HZ", ZH + L)]:
    print(f"  {name} = {mp.nstr(v, 15)}")
print("# JD2: R 800, no spirals, 30 degrees left")
R2 = mpf(800)
T2 = R2 * tan(D / 2)
L2 = R2 * D
E2 = R2 * (sec(D / 2) - 1)
HZ1 = ZH + L
ZY = HZ1 + (1000 - T - T2)
for name, v in [("T", T2), ("L", L2), ("E", E2), ("J", 2 * T2 - L2), ("straight JD1-JD2", 1000 - T - T2),
                ("ZY", ZY), ("JD2", ZY + T2), ("QZ", ZY + L2 / 2), ("YZ", ZY + L2),
                ("end", ZY + L2 + 1000 - T2), ("last straight", 1000 - T2)]:
    print(f"  {name} = {mp.nstr(v, 15)}")
print("  JD2 X, Y =", mp.nstr(mpf('3382250.125') + 1000 * cos(D), 15), mp.nstr(mpf('501230.75') + 1000 * sin(D), 15))
