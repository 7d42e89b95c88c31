#!/usr/bin/python3
"""Independent reference for the LandXML and command-line tests, with mpmath.

A line is integrated element by element from its curvature law: the azimuth
a(s) = a0 + k0*s + (k1 - k0)*s^2/(2L) (right turns positive, curvature 1/R),
X += integral cos a(s) ds, Y += integral sin a(s) ds (X north, Y east), at 40
digits. The script writes the sample LandXML files under tests/data and
prints the check points and JD curve elements the C++ and Python tests keep
as data.

Run:  python3 tests/cli/reference.py   (from the repository root)
"""
import mpmath as mp

mp.mp.dps = 40
INF = None

# The sample line: start point, azimuth 30 deg, start station K1+200.
X0, Y0 = mp.mpf('3381250.125'), mp.mpf('501230.75')
A0 = mp.pi / 6
STA0 = mp.mpf(1200)
# (kind, length, start radius, end radius, turn)
ELEMENTS = [
    ('Line', 150, INF, INF, 0),
    ('Spiral', 120, INF, 400, +1),
    ('Curve', 200, 400, 400, +1),
    ('Spiral', 120, 400, INF, +1),
    ('Line', 180, INF, INF, 0),
    ('Spiral', 80, INF, 600, -1),
    ('Curve', 100, 600, 600, -1),
    ('Spiral', 90, 600, 300, -1),   # egg spiral between two arcs turning left
    ('Curve', 60, 300, 300, -1),
    ('Spiral', 70, 300, INF, -1),
    ('Line', 140, INF, INF, 0),
]


def curvature(radius, turn):
    return mp.mpf(0) if radius is INF else turn / mp.mpf(radius)


def along(x, y, a, length, k0, k1, s):
    """Point and azimuth at s (0..length) along one element."""
    def az(t):
        return a + k0 * t + (k1 - k0) * t * t / (2 * length)
    if s == 0:
        return x, y, a
    dx = mp.quad(lambda t: mp.cos(az(t)), [0, s])
    dy = mp.quad(lambda t: mp.sin(az(t)), [0, s])
    return x + dx, y + dy, az(s)


def build():
    """Each element with its start, end, centre and PI, and a function for
    the point at any distance."""
    out = []
    x, y, a, d = X0, Y0, A0, mp.mpf(0)
    for kind, length, r0, r1, turn in ELEMENTS:
        length = mp.mpf(length)
        k0, k1 = curvature(r0, turn), curvature(r1, turn)
        ex, ey, ea = along(x, y, a, length, k0, k1, length)
        e = dict(kind=kind, length=length, r0=r0, r1=r1, turn=turn, start=(x, y, a), end=(ex, ey, ea),
                 k0=k0, k1=k1, d=d)
        if kind == 'Curve':
            n = a + turn * mp.pi / 2
            e['center'] = (x + r0 * mp.cos(n), y + r0 * mp.sin(n))
        if kind != 'Line':
            # tangents meet: start + t*u = end - s*v
            ux, uy, vx, vy = mp.cos(a), mp.sin(a), mp.cos(ea), mp.sin(ea)
            cross = ux * vy - uy * vx
            t = ((ex - x) * vy - (ey - y) * vx) / cross
            e['pi'] = (x + t * ux, y + t * uy)
        out.append(e)
        x, y, a, d = ex, ey, ea, d + length
    return out


def point_at(elements, distance):
    for e in elements:
        if distance <= e['d'] + e['length']:
            x, y, a = e['start']
            return along(x, y, a, e['length'], e['k0'], e['k1'], distance - e['d'])
    raise ValueError(distance)


def fmt(v, digits=9):
    return mp.nstr(v, 30, min_fixed=-1, max_fixed=40) if digits is None else f"{float(mp.nstr(v, 25)):.{digits}f}"


def pt(p, scale=1):
    return f"{fmt(p[0] / scale)} {fmt(p[1] / scale)}"


def write_landxml(path, elements, scale=1, unit='meter', system='Metric', angular='radians',
                  angle=lambda r: fmt(r, 12), profile=True):
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<LandXML xmlns="http://www.landxml.org/schema/LandXML-1.2" version="1.2" date="2026-12-07" time="12:00:00">',
             f'  <Units><{system} linearUnit="{unit}" angularUnit="{angular}" directionUnit="{angular}"/></Units>',
             '  <Alignments>',
             f'    <Alignment name="sample" length="{fmt(sum(e["length"] for e in elements) / scale)}" '
             f'staStart="{fmt(STA0 / scale)}">',
             '      <CoordGeom>']
    for e in elements:
        s, en = e['start'], e['end']
        rot = 'cw' if e['turn'] > 0 else 'ccw'
        L = fmt(e['length'] / scale)
        if e['kind'] == 'Line':
            lines.append(f'        <Line length="{L}"><Start>{pt(s, scale)}</Start><End>{pt(en, scale)}</End></Line>')
        elif e['kind'] == 'Curve':
            delta = e['length'] / e['r0']
            lines.append(f'        <Curve rot="{rot}" radius="{fmt(e["r0"] / scale)}" length="{L}" '
                         f'delta="{angle(delta)}"><Start>{pt(s, scale)}</Start><Center>{pt(e["center"], scale)}'
                         f'</Center><End>{pt(en, scale)}</End><PI>{pt(e["pi"], scale)}</PI></Curve>')
        else:
            r0 = 'INF' if e['r0'] is INF else fmt(e['r0'] / scale)
            r1 = 'INF' if e['r1'] is INF else fmt(e['r1'] / scale)
            lines.append(f'        <Spiral rot="{rot}" spiType="clothoid" length="{L}" radiusStart="{r0}" '
                         f'radiusEnd="{r1}"><Start>{pt(s, scale)}</Start><PI>{pt(e["pi"], scale)}</PI>'
                         f'<End>{pt(en, scale)}</End></Spiral>')
    lines.append('      </CoordGeom>')
    if profile:
        # K1+200 at 52.000, +2.5 % to K1+500 (ParaCurve 120 m), -1.5 % to
        # K1+900 (CircCurve R 6000), +1 % to the end K2+500.
        lines += ['      <Profile><ProfAlign name="sample">',
                  f'        <PVI>{fmt(1200 / scale)} {fmt(52 / scale)}</PVI>',
                  f'        <ParaCurve length="{fmt(120 / scale)}">{fmt(1500 / scale)} {fmt(59.5 / scale)}</ParaCurve>',
                  f'        <CircCurve radius="{fmt(6000 / scale)}">{fmt(1900 / scale)} {fmt(53.5 / scale)}</CircCurve>',
                  f'        <PVI>{fmt(2510 / scale)} {fmt(59.6 / scale)}</PVI>',
                  '      </ProfAlign></Profile>']
    lines += ['    </Alignment>', '  </Alignments>', '</LandXML>', '']
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines))


def dms(r):
    """Radians to DD.MMSSsss text (seconds with three decimals)."""
    total = mp.degrees(r) * 3600
    d = int(mp.floor(total / 3600))
    m = int(mp.floor((total - d * 3600) / 60))
    s = total - d * 3600 - m * 60
    return f"{d}.{m:02d}{int(s):02d}{int(round((s - int(s)) * 1000)):03d}"


def spiral_end(ls, r):
    """Local x, y at the end of a spiral from a straight (tangent along x)."""
    A2 = ls * r
    x = mp.quad(lambda t: mp.cos(t * t / (2 * A2)), [0, ls])
    y = mp.quad(lambda t: mp.sin(t * t / (2 * A2)), [0, ls])
    return x, y


def jd_curve(alpha_deg, r, ls1, ls2):
    """Exact elements of an asymmetric spiral-arc-spiral curve: shifts p,
    tangent growths q, T1, T2, L and E (deflection alpha)."""
    alpha = mp.radians(alpha_deg)
    res = {}
    pq = []
    for ls in (ls1, ls2):
        if ls == 0:
            pq.append((mp.mpf(0), mp.mpf(0)))
            continue
        b = ls / (2 * r)
        x, y = spiral_end(ls, r)
        pq.append((y - r * (1 - mp.cos(b)), x - r * mp.sin(b)))
    (p1, q1), (p2, q2) = pq
    res['T1'] = (r + p1) * mp.tan(alpha / 2) + q1 - (p1 - p2) / mp.sin(alpha)
    res['T2'] = (r + p2) * mp.tan(alpha / 2) + q2 + (p1 - p2) / mp.sin(alpha)
    res['L'] = r * (alpha - (ls1 + ls2) / (2 * r)) + ls1 + ls2
    return res


if __name__ == '__main__':
    import os
    here = os.path.dirname(os.path.abspath(__file__))
    data = os.path.join(here, '..', 'data')
    els = build()
    write_landxml(os.path.join(data, 'sample_line.xml'), els)
    write_landxml(os.path.join(data, 'sample_line_ft.xml'), els, scale=mp.mpf('0.3048'), unit='foot',
                  system='Imperial', angular='decimal dd.mm.ss', angle=dms, profile=False)
    write_landxml(os.path.join(data, 'sample_line_usft.xml'), els, scale=mp.mpf(1200) / 3937,
                  unit='USSurveyFoot', system='Imperial', angular='grads',
                  angle=lambda r: fmt(r * 200 / mp.pi, 12), profile=False)
    total = sum(e['length'] for e in els)
    print('// distance, X, Y, azimuth (rad) along the sample line')
    for dist in [0, 75, 150, 210, 270, 370, 470, 530, 590, 700, 770, 845, 900, 987.5, 1035, 1100, 1160, total]:
        x, y, a = point_at(els, mp.mpf(dist))
        print(f"{{{fmt(mp.mpf(dist), 4)}, {fmt(x, 6)}, {fmt(y, 6)}, {fmt(a, 12)}}},")
    print('// element ends: X, Y')
    for e in els:
        print(f"{{{fmt(e['end'][0], 6)}, {fmt(e['end'][1], 6)}}},")
    print('// JD curve elements (alpha deg, R, Ls1, Ls2) -> T1, T2, L')
    for case in [(30, 500, 100, 100), (42.5, 400, 120, 80)]:
        r = jd_curve(*[mp.mpf(v) for v in case])
        print(case, {k: fmt(v, 6) for k, v in r.items()})


def sag_circle_height(x_pvi, y_pvi, i1, i2, r, x):
    """Height at x of the circle of radius r tangent to the grades i1 (before
    the point) and i2 (after), i2 > i1: centre above both lines."""
    # a line y = y_pvi + i*(x - x_pvi): the centre lies r above it, measured
    # perpendicular: (cy - y_pvi - i*(cx - x_pvi)) / sqrt(1 + i^2) = r
    a1, a2 = mp.sqrt(1 + i1 * i1), mp.sqrt(1 + i2 * i2)
    # cy - i1*cx = r*a1 + y_pvi - i1*x_pvi ; cy - i2*cx = r*a2 + y_pvi - i2*x_pvi
    b1, b2 = r * a1 + y_pvi - i1 * x_pvi, r * a2 + y_pvi - i2 * x_pvi
    cx = (b1 - b2) / (i2 - i1)
    cy = b1 + i1 * cx
    return cy - mp.sqrt(r * r - (x - cx) ** 2)


if __name__ == '__main__':
    print('// vertical circle of the sample at K1+900 (R 6000, -1.5 % / +1 %)')
    i1, i2 = mp.mpf(-6) / 400, mp.mpf('6.1') / 610
    for x in (1850, 1900, 1950):
        print(x, fmt(sag_circle_height(mp.mpf(1900), mp.mpf('53.5'), i1, i2, mp.mpf(6000), mp.mpf(x)), 6))
    print('// symmetric JD: E')
    alpha, r, ls = mp.radians(30), mp.mpf(500), mp.mpf(100)
    x, y = spiral_end(ls, r)
    b = ls / (2 * r)
    p = y - r * (1 - mp.cos(b))
    print('E', fmt((r + p) / mp.cos(alpha / 2) - r, 6))
