#!/usr/bin/python3
"""Reads a LandXML file written by WriteLandXml from the sample line (with a
chainage equation added) with lxml, a reader that shares no code with the
writer, and checks it against the mpmath reference of reference.py.
Exit status 0 when everything matches; the faults on stdout otherwise.

Usage: check_written_landxml.py FILE
"""
import math
import sys

from lxml import etree

NS = {'l': 'http://www.landxml.org/schema/LandXML-1.2'}
# Element ends of the sample line from reference.py: X (north), Y (east).
ENDS = [(3381380.028811, 501305.750000), (3381480.723094, 501370.802948), (3381600.061471, 501528.701434),
        (3381635.166262, 501643.326380), (3381679.210042, 501817.854732), (3381700.499546, 501894.953558),
        (3381739.138348, 501987.061735), (3381788.394841, 502062.157886), (3381831.594667, 502103.652356),
        (3381889.823110, 502142.427645), (3382009.278962, 502215.436545)]
KINDS = ['Line', 'Spiral', 'Curve', 'Spiral', 'Line', 'Spiral', 'Curve', 'Spiral', 'Curve', 'Spiral', 'Line']
faults = []


def check(condition, what):
    if not condition:
        faults.append(what)
        print('FAIL:', what)


def point(element, name):
    return [float(v) for v in element.find(f'l:{name}', NS).text.split()]


root = etree.parse(sys.argv[1]).getroot()
check(root.get('version') == '1.2' and root.get('date') and root.get('time'), 'LandXML version, date, time')
metric = root.find('l:Units/l:Metric', NS)
check(metric is not None and metric.get('linearUnit') == 'meter' and metric.get('angularUnit') == 'radians',
      'metres and radians')
alignments = root.findall('l:Alignments/l:Alignment', NS)
check(len(alignments) == 1, 'one alignment')
a = alignments[0]
check(a.get('name') == 'sample' and float(a.get('staStart')) == 1200 and abs(float(a.get('length')) - 1310) < 1e-9,
      f'alignment attributes {a.attrib}')
elements = list(a.find('l:CoordGeom', NS))
check([etree.QName(e).localname for e in elements] == KINDS, 'element kinds')
start = (3381250.125, 501230.75)
for i, (e, end) in enumerate(zip(elements, ENDS)):
    check(math.dist(point(e, 'Start'), start) < 1e-5, f'element {i + 1} start')
    check(math.dist(point(e, 'End'), end) < 1e-5, f'element {i + 1} end {point(e, "End")}')
    start = end
curve = elements[2]
check(curve.get('rot') == 'cw' and float(curve.get('radius')) == 400 and float(curve.get('length')) == 200 and
      abs(float(curve.get('delta')) - 0.5) < 1e-15, f'first arc {curve.attrib}')
centre = point(curve, 'Center')
check(all(abs(math.dist(centre, p) - 400) < 1e-6 for p in (point(curve, 'Start'), point(curve, 'End'))),
      'arc centre 400 m from both ends')
egg = elements[7]
check(egg.get('spiType') == 'clothoid' and egg.get('rot') == 'ccw' and float(egg.get('radiusStart')) == 600 and
      float(egg.get('radiusEnd')) == 300 and float(egg.get('length')) == 90, f'egg spiral {egg.attrib}')
check(elements[1].get('radiusStart') == 'INF' and elements[3].get('radiusEnd') == 'INF', 'straight ends INF')
# The PI of a spiral lies on the tangents at both its ends.
for s in (elements[1], elements[5]):
    p, b, e = point(s, 'Start'), point(s, 'PI'), point(s, 'End')
    check(math.dist(p, b) > 1 and math.dist(b, e) > 1, 'spiral PI apart from its ends')
# Directions clockwise from north in radians: the sample starts at 30 degrees
# and its first arc (radius 400, 200 m, right) turns it by 0.5 rad.
check(abs(float(elements[0].get('dir')) - math.pi / 6) < 1e-9, f'first straight dir {elements[0].get("dir")}')
check(abs(float(curve.get('dirEnd')) - float(curve.get('dirStart')) - 0.5) < 1e-12, 'first arc dirStart, dirEnd')
for e in elements:
    for name in ('dir', 'dirStart', 'dirEnd'):
        if e.get(name) is not None:
            check(0 <= float(e.get(name)) < 2 * math.pi, f'{name} in 0 .. 2 pi')
# The JD table: its points in AlignPIs for every reader, the whole of it in the
# program's own Feature.
pis = a.findall('l:AlignPIs/l:AlignPI/l:PI', NS)
check([p.get('name') for p in pis] == ['QD', 'JD1', 'ZD'] and
      [float(v) for v in pis[1].text.split()] == [3381500, 501375], 'AlignPIs')
own = [f for f in a.findall('l:Feature', NS) if f.get('code') == 'quorvane' and f.get('name') == 'jd']
check(len(own) == 1 and [f.get('name') for f in own[0].findall('l:Feature', NS)] == ['QD', 'JD1', 'ZD'],
      'JD table in the Feature')
# The 超高/加宽 table in the program's own Feature, one Feature a row.
section = [f for f in a.findall('l:Feature', NS) if f.get('code') == 'quorvane' and f.get('name') == 'crossSection']
rows = [{p.get('label'): p.get('value') for p in r.findall('l:Property', NS)}
        for r in (section[0].findall('l:Feature', NS) if section else [])]
check([(float(r['station']), float(r['leftWidth']), float(r['rightSlope']), r['transition']) for r in rows] ==
      [(1200, 3.75, -2, 'linear'), (1350.5, 4.25, 6, 'higherOrder')], f'cross-section rows {rows}')
equations = a.findall('l:StaEquation', NS)
check(len(equations) == 1 and float(equations[0].get('staBack')) == 2000 and
      float(equations[0].get('staAhead')) == 1990 and abs(float(equations[0].get('staInternal')) - 2000) < 1e-9,
      f'equation {[e.attrib for e in equations]}')
prof = [e for e in a.findall('l:Profile/l:ProfAlign/*', NS) if etree.QName(e).localname != 'Feature']
check([etree.QName(e).localname for e in prof] == ['PVI', 'ParaCurve', 'CircCurve', 'PVI'], 'profile kinds')
# On the internal stationing: K2+500 lies 10 m after the long chain's
# K2+000 = K1+990, at internal station 2510.
check([[float(v) for v in e.text.split()] for e in prof] == [[1200, 52], [1500, 59.5], [1900, 53.5], [2510, 59.5]],
      f'profile stations and elevations {[e.text for e in prof]}')
kept = [p.get('value') for p in a.findall('l:Profile/l:ProfAlign/l:Feature/l:Property', NS)
        if p.get('label') == 'station']
check(kept == ['0 1200', '1 1500', '2 1900', '3 2500'], f'displayed stations kept in the Feature {kept}')
check(float(prof[1].get('length')) == 120 and float(prof[2].get('radius')) == 6000, 'vertical curves')
print(f'{len(faults)} faults')
sys.exit(1 if faults else 0)
