#!/usr/bin/env python3
"""Reference numbers of the 路线 window test, from the textbook formulas of a
symmetric spiral-arc-spiral curve at one JD, with the exact spiral shift p
and tangent growth q of the clothoid (mpmath, 30 digits).

Line: QD (0, 0), JD1 (500, 0), ZD 500 m on at azimuth 30 deg (right turn of
30 deg), R = 500, Ls = 100, start station 0.
"""
from mpmath import mp, mpf, quad, cos, sin, tan, pi, radians

mp.dps = 30
R, Ls, alpha = mpf(500), mpf(100), radians(30)
A2 = R * Ls
x = quad(lambda t: cos(t * t / (2 * A2)), [0, Ls])
y = quad(lambda t: sin(t * t / (2 * A2)), [0, Ls])
beta = Ls / (2 * R)
q = x - R * sin(beta)
p = y - R * (1 - cos(beta))
T = (R + p) * tan(alpha / 2) + q
L = R * (alpha - 2 * beta) + 2 * Ls
E = (R + p) / cos(alpha / 2) - R
ZH = 500 - T
for name, value in [("T", T), ("L", L), ("E", E), ("ZH", ZH), ("HY", ZH + Ls), ("QZ", ZH + L / 2),
                    ("YH", ZH + L - Ls), ("HZ", ZH + L), ("ZD", ZH + L + 500 - T)]:
    print(f"{name} = {mp.nstr(value, 15)}")
