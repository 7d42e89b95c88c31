#!/usr/bin/python3
"""Real LandXML files from design programs (tests/data/real, credited in its
README.md): every alignment of every file is staked by quorvane-line, and
lxml, sharing no code with the reader, says what to expect. Where the file's
own elements join tangent (lxml measures each joint's kink from the
coordinates: a Line's Start to End, a Curve's radius to its Start, a
Spiral's Start to PI) the stakes must run from the first Start to the last
End within 5 mm and a key point must stand within 5 mm of every element's
End; where a joint kinks by more than 5 mm over the element after it, the
file must be refused naming that element. A file that is not well-formed
XML must be refused naming the line lxml names.

Usage: stake_real_samples.py QUORVANE_LINE DATA_DIR
"""
import csv
import glob
import io
import math
import os
import subprocess
import sys

from lxml import etree

TOOL, DATA = sys.argv[1], sys.argv[2]
UNITS = {'meter': 1.0, 'foot': 0.3048, 'USSurveyFoot': 1200 / 3937, 'millimeter': 0.001, 'kilometer': 1000.0}
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL:', what)


def local(element):
    return etree.QName(element).localname


def child(element, name):
    for c in element:
        if isinstance(c.tag, str) and local(c) == name:
            return c
    return None


def point(element, name, unit):
    c = child(element, name)
    if c is None or not (c.text or '').split():
        return None
    n, e = c.text.split()[:2]
    return float(n) * unit, float(e) * unit


def bearing(a, b):
    return math.atan2(b[1] - a[1], b[0] - a[0])


def tangents(element, unit):
    """Start and end tangent bearings of an element, where its points fix them."""
    kind = local(element)
    s, e = point(element, 'Start', unit), point(element, 'End', unit)
    if kind == 'Line':
        return bearing(s, e), bearing(s, e)
    if kind == 'Curve' and point(element, 'Center', unit):
        c = point(element, 'Center', unit)
        turn = 1 if element.get('rot') == 'cw' else -1
        return bearing(s, c) - turn * math.pi / 2, bearing(e, c) - turn * math.pi / 2
    pi = point(element, 'PI', unit)
    if pi and math.dist(pi, s) > 0 and math.dist(pi, e) > 0:
        return bearing(s, pi), bearing(pi, e)
    return None, None


def wrap(a):
    return math.remainder(a, 2 * math.pi)


def expectation(alignment, unit):
    """('refused', n) for the first element that kinks, else ('stakes', first Start, last End)."""
    elements = [e for e in child(alignment, 'CoordGeom') if isinstance(e.tag, str) and local(e) != 'Feature']
    previous_end = None
    for n, e in enumerate(elements, 1):
        start, end = tangents(e, unit)
        length = float(e.get('length', '0')) * unit or math.dist(point(e, 'Start', unit), point(e, 'End', unit))
        if previous_end is not None and start is not None and abs(wrap(start - previous_end)) * length > 0.005:
            return 'refused', n
        previous_end = end
    ends = [point(e, 'End', unit) for e in elements]
    return 'stakes', point(elements[0], 'Start', unit), ends[-1], ends


files = sorted(glob.glob(os.path.join(DATA, 'real', '*.xml')))
check(files, 'samples present')
for path in files:
    try:
        root = etree.parse(path).getroot()
    except etree.XMLSyntaxError as fault:
        p = subprocess.run([TOOL, 'stakes', path, '--interval', '20'], capture_output=True)
        err = p.stderr.decode('utf-8')
        check(p.returncode == 2 and f'第{fault.lineno}行' in err and '不是正确的 XML' in err,
              f'{os.path.basename(path)} refused as malformed at line {fault.lineno}: {err}')
        continue
    metric = root.find('.//{*}Units/*')
    unit = UNITS[metric.get('linearUnit', 'meter')] if metric is not None else 1.0
    alignments = root.findall('{*}Alignments/{*}Alignment')
    for index, alignment in enumerate(alignments):
        name = alignment.get('name', '')
        expect = expectation(alignment, unit)
        args = [TOOL, 'stakes', path, '--interval', '20', '--key-points']
        if index > 0:
            args += ['--alignment', name]  # the first alignment needs no name
        p = subprocess.run(args, capture_output=True)
        out, err = p.stdout.decode('utf-8'), p.stderr.decode('utf-8')
        what = f'{os.path.basename(path)} “{name}”'
        if index > 0 and '--alignment' in err and p.returncode == 2:
            print(f'SKIP {what}: this quorvane-line has no --alignment')
            continue
        if expect[0] == 'refused':
            check(p.returncode == 2 and f'第{expect[1]}个线元' in err, f'{what} refused at element {expect[1]}: {err}')
            continue
        check(p.returncode == 0, f'{what} stakes: {err}')
        rows = list(csv.reader(io.StringIO(out)))
        check(len(rows) > 2, f'{what} has stakes')
        if len(rows) > 2:
            first, last = rows[1], rows[-1]
            x0, y0, x1, y1 = float(first[2]), float(first[3]), float(last[2]), float(last[3])
            check(math.dist((x0, y0), expect[1]) < 0.005, f'{what} starts at its first Start: {first}')
            check(math.dist((x1, y1), expect[2]) < 0.005, f'{what} ends at its last End: {last}')
            keys = [(float(r[2]), float(r[3])) for r in rows[1:] if r[1]]
            for n, end in enumerate(expect[3], 1):
                near = min(math.dist(end, k) for k in keys)
                check(near < 0.005, f'{what} has a key point at element {n}\'s End ({near:.4f} m off)')
        for line in err.splitlines():
            check(line.startswith('quorvane-line：提示：'), f'{what} remark in Chinese: {line}')
print(f'{len(failures)} faults')
sys.exit(1 if failures else 0)
