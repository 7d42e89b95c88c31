#!/usr/bin/env python3
"""Reference numbers of the line tests, from an independent model in mpmath.

Each element is evaluated in closed form at 50 digits: a straight and an arc
directly, a clothoid through the Fresnel integrals (the azimuth's square
completed), never by the quadrature the program uses. The feet of Locate are
found by scanning each element's along-track function and refining every sign
change with mpmath's root finder; the JD tables by the textbook's exact
construction. Writes reference_data.txt beside this script:

    python3 tests/line/reference.py
"""
import os
from mpmath import mp, mpf, cos, sin, sqrt, pi, fresnelc, fresnels, atan2, tan, hypot, findroot, inf

mp.dps = 50

STRAIGHT, ARC, SPIRAL = 'Straight', 'Arc', 'Spiral'


def el(kind, length, r0=inf, r1=inf, turn=0):
    return (kind, str(length), r0 if r0 == inf else str(r0), r1 if r1 == inf else str(r1), turn)


class Element:
    def __init__(self, design, X0, Y0, th0):
        kind, length, r0, r1, turn = design
        self.kind, self.L = kind, mpf(length)
        self.k0 = 0 if r0 == inf else turn / mpf(r0)
        self.k1 = 0 if r1 == inf else turn / mpf(r1)
        if kind == ARC:
            self.k1 = self.k0
        self.X0, self.Y0, self.th0 = X0, Y0, th0
        self.a = (self.k1 - self.k0) / (2 * self.L)  # azimuth = th0 + k0 s + a s^2

    def azimuth(self, s):
        return self.th0 + self.k0 * s + self.a * s * s

    def curvature(self, s):
        return self.k0 + 2 * self.a * s

    def point(self, s):
        s = mpf(s)
        if self.kind == STRAIGHT or (self.k0 == 0 and self.a == 0):
            return self.X0 + s * cos(self.th0), self.Y0 + s * sin(self.th0)
        if self.a == 0:  # circle about its centre
            k = self.k0
            return (self.X0 + (sin(self.th0 + k * s) - sin(self.th0)) / k,
                    self.Y0 - (cos(self.th0 + k * s) - cos(self.th0)) / k)
        # azimuth = phi + a (s + h)^2, h = k0 / 2a; integral of exp(i a u^2)
        # = sqrt(pi / 2|a|) (C(z) + i sgn(a) S(z)), z = u sqrt(2|a| / pi).
        a, h = self.a, self.k0 / (2 * self.a)
        phi = self.th0 - a * h * h
        c = sqrt(2 * abs(a) / pi)
        sg = 1 if a > 0 else -1
        z0, z1 = h * c, (s + h) * c
        re = (fresnelc(z1) - fresnelc(z0)) / c
        im = sg * (fresnels(z1) - fresnels(z0)) / c
        return (self.X0 + re * cos(phi) - im * sin(phi), self.Y0 + re * sin(phi) + im * cos(phi))


class RefLine:
    def __init__(self, name, X0, Y0, az0, station, designed):
        self.name, self.designed = name, designed
        self.start = (X0, Y0, az0, station)
        X, Y, th = mpf(X0), mpf(Y0), mpf(az0)
        self.elements, self.starts, d = [], [], mpf(0)
        for design in designed:
            e = Element(design, X, Y, th)
            self.elements.append(e)
            self.starts.append(d)
            X, Y = e.point(e.L)
            th = e.azimuth(e.L)
            d += e.L
        self.length = d

    def at(self, distance):
        distance = mpf(distance)
        i = max(j for j in range(len(self.starts)) if self.starts[j] <= distance)
        e = self.elements[i]
        s = distance - self.starts[i]
        X, Y = e.point(s)
        return X, Y, e.azimuth(s) % (2 * pi)

    def feet(self, X, Y):
        """Every foot (distance, offset, distance to the point).

        The along-track function f = (P - C).T has f' = -1 + k offset. The
        grid's sign changes of f' and the roots of f' inside them cut each
        element into stretches where f is monotonic; a foot is a sign change
        of f on one of them."""
        X, Y, found = mpf(X), mpf(Y), []
        for e, d0 in zip(self.elements, self.starts):
            def track(s):
                px, py = e.point(s)
                t = e.azimuth(s)
                dx, dy = X - px, Y - py
                off = -dx * sin(t) + dy * cos(t)
                return dx * cos(t) + dy * sin(t), -1 + e.curvature(s) * off, off
            n = int(max(400, 80 * abs(e.azimuth(e.L) - e.th0)))
            grid = [e.L * j / n for j in range(n + 1)]
            vals = [track(s) for s in grid]
            cuts = [(grid[0], vals[0])]
            for j in range(n):
                if vals[j][1] * vals[j + 1][1] < 0:
                    m = findroot(lambda s: track(s)[1], (grid[j], grid[j + 1]), solver='anderson')
                    cuts.append((m, track(m)))
                cuts.append((grid[j + 1], vals[j + 1]))
            for (a, va), (b, vb) in zip(cuts, cuts[1:]):
                if va[0] == 0 or va[0] * vb[0] < 0:
                    s = a if va[0] == 0 else findroot(lambda s: track(s)[0], (a, b), solver='anderson')
                    px, py = e.point(s)
                    found.append((d0 + s, track(s)[2], hypot(X - px, Y - py), track(s)[1] < 0))
            if vals[-1][0] == 0 and e is self.elements[-1]:
                found.append((d0 + e.L, vals[-1][2], abs(vals[-1][2]), vals[-1][1] < 0))
        return found

    def locate(self, X, Y):
        """(status, distance, offset, beyond): the nearest of the feet where
        the distance is smallest (f' < 0) and of the ends the point lies
        beyond along their tangents; an end within a millimetre is on the line."""
        X, Y = mpf(X), mpf(Y)
        candidates = [(dist, 'OnLine', d, off, mpf(0)) for d, off, dist, smallest in self.feet(X, Y) if smallest]
        for d, status in ((mpf(0), 'BeforeStart'), (self.length, 'AfterEnd')):
            px, py, t = self.at(d)
            dx, dy = X - px, Y - py
            f = dx * cos(t) + dy * sin(t)
            if (f <= 0) if d == 0 else (f >= 0):
                beyond = abs(f)
                candidates.append((hypot(dx, dy), 'OnLine' if beyond <= mpf('0.001') else status, d,
                                   -dx * sin(t) + dy * cos(t), beyond))
        _, status, d, off, beyond = min(candidates, key=lambda c: c[0])
        return status, d, off, beyond


def num(x, digits=32):
    return mp.nstr(mpf(x), digits, strip_zeros=False, min_fixed=-30, max_fixed=30)


def element_text(design):
    """An element record's fields: type, length, start and end radius ('inf' for a straight's end), turn."""
    kind, length, r0, r1, turn = design
    r = lambda v: 'inf' if v == inf else v
    return '%s %s %s %s %d' % (kind, length, r(r0), r(r1), turn)


def hundred_elements():
    """A 100 km line of 100 elements: straights, spirals, arcs, egg spirals, reverse curves."""
    designed, i, turn = [], 0, 1
    radii = ['850.5', '1200', '2400.25', '960', '3100']
    while len(designed) < 100:
        R = radii[i % 5]
        R2 = str(mpf(R) * mpf('1.75'))
        block = [el(STRAIGHT, '%.3f' % (2900 + 237.331 * (i % 7))),
                 el(SPIRAL, '%.3f' % (180 + 23.7 * (i % 3)), inf, R, turn),
                 el(ARC, '%.3f' % (820 + 91.17 * (i % 4)), R, R, turn)]
        if i % 3 == 1:  # an egg spiral to a larger arc of the same turn
            block += [el(SPIRAL, '160.125', R, R2, turn), el(ARC, '380.5', R2, R2, turn),
                      el(SPIRAL, '210', R2, inf, turn)]
        else:
            block += [el(SPIRAL, '%.3f' % (200 + 11.1 * (i % 5)), R, inf, turn)]
        if i % 4 == 3:  # a reverse curve without a straight between
            turn = -turn
            block = block[1:]
        designed += block
        turn = -turn if i % 2 else turn
        i += 1
    designed = designed[:99]
    designed.append(el(STRAIGHT, '2000'))
    return designed


def lines():
    mixed = RefLine('mixed', '3456789.123', '512345.678', '0.7853981633974483', '1000', [
        el(STRAIGHT, '123.456'),
        el(SPIRAL, '100', inf, '500', 1),
        el(ARC, '261.799', '500', '500', 1),
        el(SPIRAL, '90', '500', '300', 1),          # egg spiral into a tighter arc
        el(ARC, '150.5', '300', '300', 1),
        el(SPIRAL, '120', '300', inf, 1),
        el(SPIRAL, '80', inf, '250', -1),           # reverse curve, spirals meeting
        el(ARC, '200', '250', '250', -1),
        el(ARC, '100', '600', '600', 1),            # reverse curve, arcs meeting
        el(SPIRAL, '60', '600', inf, 1),
        el(STRAIGHT, '50'),
    ])
    winding = RefLine('winding', '100', '-200', '5.5', '0', [
        el(SPIRAL, '2000', inf, '40', -1),          # turns 25 rad, four times round
    ])
    hundred = RefLine('hundred', '2987654.321', '498765.4321', '1.234', '50000', hundred_elements())
    tight = RefLine('tight', '0', '0', '0', '0', [
        el(STRAIGHT, '100'),
        el(ARC, '235.619449', '50', '50', 1),       # three quarters of a turn
        el(STRAIGHT, '100'),
    ])
    evolute = RefLine('evolute', '0', '0', '0', '0', [
        el(SPIRAL, '100', inf, '50', 1),            # eight panels of 12.5 m
    ])
    # A hairpin: north 60 m, half a turn right about (60, 40), south 60 m.
    # From behind the start the far side of the bend is square to the point
    # where the distance is greatest: no foot there.
    hairpin = RefLine('hairpin', '0', '0', '0', '100', [
        el(STRAIGHT, '60'),
        el(ARC, num(40 * pi, 25), '40', '40', 1),
        el(STRAIGHT, '60'),
    ])
    return [mixed, winding, hundred, tight, evolute, hairpin]


def distances(line):
    L = line.length
    if line.name == 'hundred':
        picks = [line.starts[j] for j in range(0, 100, 9)] + [mpf('12345.6789'), L * mpf('0.777'), L]
    elif line.name == 'winding':
        picks = [mpf(x) for x in ('0', '0.5', '250', '999.999', '1500.25', '1987.654321')] + [L]
    elif line.name == 'hairpin':
        picks = [mpf(x) for x in ('0', '30', '60', '100', '185.5')] + [L]
    elif line.name == 'evolute':
        picks = [mpf(x) for x in ('0', '56.25', '99.9')] + [L]
    else:
        picks = [mpf(x) for x in ('0', '50', '123.456', '180', '300')] + line.starts[3:] + [L * mpf('0.9137'), L]
    return picks


def foot_points(line):
    if line.name == 'tight':
        # Near the arc's centre (100, 50): feet on the arc at both sides of
        # the centre and on the second straight; the nearest wins.
        return [('100.5', '52'), ('103', '48'), ('100', '-7.5'), ('-10', '3'), ('300', '20'), ('50', '70')]
    if line.name == 'mixed':
        pts = []
        for d, off in (('60', '-12.5'), ('200', '30'), ('455', '-40'), ('700', '8'), ('880', '-3.25'), ('1000', '15')):
            X, Y, t = line.at(d)
            pts.append((num(X + mpf(off) * -sin(t), 20), num(Y + mpf(off) * cos(t), 20)))
        X, Y, t = line.at(0)
        pts.append((num(X - 5 * cos(t), 20), num(Y - 5 * sin(t), 20)))  # before the start: no foot
        return pts
    if line.name == 'winding':
        # Abeam points, and points near the centres of curvature of the
        # spiral's tight end, where it winds round them several times.
        pts = []
        for d, off in (('300', '25'), ('1200', '-10'), ('1900', '-20'), ('1900', '-42.1'), ('1999', '-60'),
                       ('1700', '-45.5')):
            X, Y, t = line.at(d)
            pts.append((num(X + mpf(off) * -sin(t), 20), num(Y + mpf(off) * cos(t), 20)))
        return pts
    if line.name == 'evolute':
        # Near the centre of curvature at s (on the evolute) the spiral has two
        # feet close together, s and one just before it (beyond the centre) or
        # just after it (short of it), both inside one panel: no sign change of
        # the along-track function at the panel's ends tells them.
        pts = []
        for d, beyond in (('56.25', '0.2'), ('56.25', '0.6'), ('30.3', '0.3'), ('80.1', '-0.4')):
            e = line.elements[0]
            X, Y, t = line.at(d)
            off = 1 / e.curvature(mpf(d)) + mpf(beyond)
            pts.append((num(X + off * -sin(t), 20), num(Y + off * cos(t), 20)))
        return pts
    if line.name == 'hairpin':
        # Behind the start; within and beyond the millimetre at either end;
        # inside the bend, nearer the first straight; beyond the bend's top.
        return [('-20', '10'), ('-0.0005', '3'), ('-0.002', '3'), ('-0.0007', '78'), ('-5', '83'),
                ('30', '35'), ('130', '45'), ('59', '40.5')]
    if line.name == 'hundred':
        pts = []
        for d, off in (('0.001', '5'), ('23456.78', '-150'), ('54321', '300'), ('99999.9', '-2.5'), ('100374', '1')):
            X, Y, t = line.at(d)
            pts.append((num(X + mpf(off) * -sin(t), 20), num(Y + mpf(off) * cos(t), 20)))
        X, Y, t = line.at(line.length)
        pts.append((num(X + 7 * cos(t) + 3 * sin(t), 20), num(Y + 7 * sin(t) - 3 * cos(t), 20)))  # past the end
        return pts
    return []


def jd_cases():
    """(name, start station, rows) with rows (name, X, Y, R, Ls1, Ls2)."""
    def leg(X, Y, az_deg, length):
        a = mpf(az_deg) * pi / 180
        return X + mpf(length) * cos(a), Y + mpf(length) * sin(a)
    cases = []
    # Symmetric: R 500, Ls 100, right turn of 36 degrees exactly.
    X0, Y0 = mpf('4000000'), mpf('500000')
    X1, Y1 = leg(X0, Y0, '30', '800')
    X2, Y2 = leg(X1, Y1, '66', '900')
    cases.append(('symmetric', '10000', [('QD', X0, Y0, 0, 0, 0), ('JD1', X1, Y1, '500', '100', '100'),
                                         ('ZD', X2, Y2, 0, 0, 0)]))
    # Asymmetric spirals, left turn, then a plain arc, then a JD without a curve on a straight.
    X1, Y1 = leg(X0, Y0, '120', '700')
    X2, Y2 = leg(X1, Y1, '78.5', '1100')
    X3, Y3 = leg(X2, Y2, '101.25', '500')
    X4, Y4 = leg(X3, Y3, '101.25', '400')
    cases.append(('asymmetric', '2500.5', [('QD', X0, Y0, 0, 0, 0), ('JD1', X1, Y1, '400', '80', '140'),
                                           ('JD2', X2, Y2, '800', '0', '0'), ('JD3', X3, Y3, '0', '0', '0'),
                                           ('ZD', X4, Y4, 0, 0, 0)]))
    return cases


def clothoid_end(ls, R):
    e = Element((SPIRAL, ls, inf, R, 1), mpf(0), mpf(0), mpf(0))
    return e.point(e.L)


def jd_table(station, rows):
    rows = [(n, mpf(num(X, 20)), mpf(num(Y, 20)), mpf(R), mpf(a), mpf(b)) for n, X, Y, R, a, b in rows]
    az = [atan2(rows[i + 1][2] - rows[i][2], rows[i + 1][1] - rows[i][1]) for i in range(len(rows) - 1)]
    ln = [hypot(rows[i + 1][2] - rows[i][2], rows[i + 1][1] - rows[i][1]) for i in range(len(rows) - 1)]
    out, s, T2prev = [], mpf(station), mpf(0)
    for i in range(1, len(rows) - 1):
        name, X, Y, R, ls1, ls2 = rows[i]
        d = az[i] - az[i - 1]
        d = (d + pi) % (2 * pi) - pi
        D = abs(d)
        if R == 0:
            T1 = T2 = L = E = mpf(0)
        else:
            pq = []
            for ls in (ls1, ls2):
                if ls == 0:
                    pq.append((mpf(0), mpf(0)))
                    continue
                x, y = clothoid_end(ls, R)
                b = ls / (2 * R)
                p, q = y - R * (1 - cos(b)), x - R * sin(b)
                # The classical series agree to their truncation.
                assert abs(p - (ls**2 / (24 * R) - ls**4 / (2688 * R**3))) < ls**6 / R**5 * mpf('1e-5')
                assert abs(q - (ls / 2 - ls**3 / (240 * R**2))) < ls**5 / R**4 * mpf('1e-4')
                pq.append((p, q))
            (p1, q1), (p2, q2) = pq
            T1 = q1 + (R + p1) * tan(D / 2) - (p1 - p2) / sin(D)
            T2 = q2 + (R + p2) * tan(D / 2) + (p1 - p2) / sin(D)
            L = R * (D - ls1 / (2 * R) - ls2 / (2 * R)) + ls1 + ls2
            E = hypot(T1 - q1, R + p1) - R
        ZH = s + ln[i - 1] - T2prev - T1
        out.append(dict(name=name, jd=ZH + T1, d=d, R=R, ls1=ls1, ls2=ls2, T1=T1, T2=T2, L=L, E=E, ZH=ZH,
                        HY=ZH + ls1, QZ=ZH + L / 2, YH=ZH + L - ls2, HZ=ZH + L))
        s, T2prev = ZH + L, T2
    end = s + ln[-1] - T2prev
    return rows, out, end


def main():
    out = ['# Generated by tests/line/reference.py (mpmath, 50 digits). Do not edit.',
           '# A record a line: its kind, then its fields separated by spaces.',
           '#   line name X Y azimuth station, then its records:',
           '#     element type length start-radius end-radius turn',
           '#     point distance X Y azimuth',
           '#     foot X Y status distance offset beyond',
           '#   jd name start-station end-station, then its records:',
           '#     row name X Y R Ls1 Ls2',
           '#     curve name jd deflection R Ls1 Ls2 T1 T2 L E ZH HY QZ YH HZ']
    for line in lines():
        out.append('line %s %s %s %s %s' % ((line.name,) + line.start))
        out += ['element ' + element_text(s) for s in line.designed]
        for d in distances(line):
            X, Y, t = line.at(d)
            out.append('point %s %s %s %s' % (num(d, 20), num(X), num(Y), num(t)))
        for X, Y in foot_points(line):
            status, dist, off, beyond = line.locate(X, Y)
            out.append('foot %s %s %s %s %s %s' % (X, Y, status, num(dist), num(off), num(beyond)))
    for name, station, rows in jd_cases():
        rows, curves, end = jd_table(station, rows)
        out.append('jd %s %s %s' % (name, station, num(end)))
        out += ['row %s %s %s %s %s %s' % (n, num(X, 20), num(Y, 20), num(R, 10), num(a, 10), num(b, 10))
                for n, X, Y, R, a, b in rows]
        for c in curves:
            out.append('curve %s %s' % (c['name'], ' '.join(num(c[k]) for k in (
                'jd', 'd', 'R', 'ls1', 'ls2', 'T1', 'T2', 'L', 'E', 'ZH', 'HY', 'QZ', 'YH', 'HZ'))))
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'reference_data.txt')
    with open(path, 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
