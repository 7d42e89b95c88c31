#!/usr/bin/python3
"""End point of the field example (default boxes, right turn) for the export
rows: the curve law integrated exactly with mpmath at 40 digits, angles
converted with the 3.14159265 the stake tables are defined with.

    theta(s) = alpha + turn * (s/Ra + s^2 (1/Rb - 1/Ra) / (2 L)),  L = le - lb
    X = Xa + integral cos(theta), Y = Ya + integral sin(theta) over 0..L

Run: /usr/bin/python3 tests/core/export_reference.py   (needs python3-mpmath)
"""
import mpmath as mp

mp.mp.dps = 40
PI = mp.mpf("3.14159265")

Xa, Ya = mp.mpf("4040964.994"), mp.mpf("195601.155")
lb, le, Ra, Rb, turn = mp.mpf("180.108"), mp.mpf("250.365"), mp.mpf(1500), mp.mpf(130), 1
alpha = (17 + mp.mpf(34) / 60 + mp.mpf(15) / 3600) * PI / 180
L = le - lb


def theta(s):
    return alpha + turn * (s / Ra + s * s * (1 / Rb - 1 / Ra) / (2 * L))


X = Xa + mp.quad(lambda s: mp.cos(theta(s)), [0, L])
Y = Ya + mp.quad(lambda s: mp.sin(theta(s)), [0, L])
degrees = theta(L) * 180 / PI
seconds = mp.nint(degrees * 3600)
d, rest = divmod(int(seconds), 3600)
m, s = divmod(rest, 60)
print(f"end 0+250.365: X {mp.nstr(X, 12)}  Y {mp.nstr(Y, 12)}  azimuth {d}.{m:02d}{s:02d}")
