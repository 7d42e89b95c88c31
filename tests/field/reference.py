#!/usr/bin/python3
"""Reference values of tests/field (mpmath, 40 digits): setting-out data seen
from the sample line's start sighting its first tangent point, and the JD line
of road_tables_test.cpp (JD1: R 500, Ls 100 both sides, 30 deg right, 1000 m
from the start at K1+000; JD2: R 800 without spirals, 30 deg left, 1000 m on;
the end 1000 m further)."""
from mpmath import mp, mpf, atan2, hypot, pi, quad, cos, sin, tan, sec, sqrt

mp.dps = 40
s, b = (mpf('3381250.125'), mpf('501230.75')), (mpf('3381380.028811'), mpf('501305.75'))
for p in [(mpf('3381757.64057'), mpf('502019.669222')), (mpf('3381100.5'), mpf('501200.25')),
          (mpf('3381300.001'), mpf('501100.999'))]:
    az = atan2(p[1] - s[1], p[0] - s[0]) % (2 * pi)
    angle = (az - atan2(b[1] - s[1], b[0] - s[0])) % (2 * pi)
    print('setout', mp.nstr(az, 17), mp.nstr(hypot(p[0] - s[0], p[1] - s[1]), 17), mp.nstr(angle, 17))

R, Ls, D = mpf(500), mpf(100), pi / 6
x = quad(lambda t: cos(t * t / (2 * R * Ls)), [0, Ls])  # the clothoid's end point
y = quad(lambda t: sin(t * t / (2 * R * Ls)), [0, Ls])
beta = Ls / (2 * R)
p, q = y - R * (1 - cos(beta)), x - R * sin(beta)
T, L, E = q + (R + p) * tan(D / 2), 2 * Ls + R * (D - 2 * beta), (R + p) * sec(D / 2) - R
ZH = 1000 + 1000 - T
T2, L2, E2 = 800 * tan(D / 2), 800 * D, 800 * (sec(D / 2) - 1)
ZY = ZH + L + 1000 - T - T2
values = {'JD1 T': T, 'L': L, 'E': E, 'J': 2 * T - L, 'A': sqrt(R * Ls), 'ZH': ZH, 'HY': ZH + Ls, 'QZ': ZH + L / 2,
          'YH': ZH + L - Ls, 'HZ': ZH + L, 'straight to JD2': 1000 - T - T2, 'JD2 T': T2, 'L2': L2, 'E2': E2,
          'J2': 2 * T2 - L2, 'ZY': ZY, 'JD2': ZY + T2, 'QZ2': ZY + L2 / 2, 'YZ': ZY + L2,
          'last straight': 1000 - T2, 'end': ZY + L2 + 1000 - T2}
for name, v in values.items():
    print(name, mp.nstr(v, 15))
