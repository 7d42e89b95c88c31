#!/usr/bin/python3
"""quorvane-line end to end: the sample line of tests/data (written by
reference.py with mpmath), its stakes, side stakes, heights and located
points read back with Python's csv, the JD design's LandXML with lxml, the
drawing with ezdxf, and the refusals (exit status 2, one line on stderr,
nothing written).

The field commands: cross-section (超高、加宽) edges and heights worked by
hand, setout azimuths and angles worked by hand, LandXML points read back
with lxml, the tables' PDF read back with pdftotext.

Usage: cli_test.py QUORVANE_LINE DATA_DIR
"""
import csv
import io
import math
import os
import subprocess
import sys
import tempfile

import ezdxf
from lxml import etree

TOOL, DATA = sys.argv[1], sys.argv[2]
SAMPLE = os.path.join(DATA, 'sample_line.xml')
NS = {'l': 'http://www.landxml.org/schema/LandXML-1.2'}
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print('FAIL:', what)


def run(*args, cwd=None):
    p = subprocess.run([TOOL, *args], capture_output=True, cwd=cwd)
    return p.returncode, p.stdout.decode('utf-8'), p.stderr.decode('utf-8')


def table(text):
    return list(csv.reader(io.StringIO(text)))


def dms(degrees):
    """DD.MMSS of an angle in degrees, seconds rounded with their carries."""
    s = round(abs(degrees) * 3600)
    return f"{'-' if degrees < 0 and s else ''}{s // 3600}.{s // 60 % 60:02d}{s % 60:02d}"


def near(text, value, tolerance=0.0015):
    try:
        return abs(float(text) - value) <= tolerance
    except ValueError:
        return False


# Points of the sample line from reference.py: distance -> X, Y, azimuth.
REFERENCE = {
    210: (3381431.608066, 501336.395235, 0.561098775598),
    370: (3381550.312660, 501442.254451, 0.923598775598),
    530: (3381619.759938, 501585.341941, 1.286098775598),
    845: (3381698.975284, 501890.191575, 1.265005025598),
    1035: (3381785.184223, 502058.324954, 0.881700627450),
    1160: (3381881.294693, 502137.205955, 0.550979727979),
    1310: (3382009.278962, 502215.436545, 0.548598775598),
}
X0, Y0, A0 = 3381250.125, 501230.75, math.radians(30)

# --- help and version ---------------------------------------------------------
code, out, err = run('--help')
check(code == 0 and 'stakes' in out and 'locate' in out and 'jd' in out, '--help')
code, out, err = run('--version')
check(code == 0 and out.startswith('quorvane-line '), '--version')

# --- stakes -------------------------------------------------------------------
code, out, err = run('stakes', SAMPLE, '--interval', '5', '--key-points', '--offsets', '5,7.5',
                     '--cross-slope', '-2%,-1.5%')
check(code == 0 and err == '', f'stakes exit {code} {err}')
check(not out.startswith('\ufeff') and '\r\n' in out, 'stdout: no byte-order mark, CR LF')
rows = table(out)
check(rows[0] == ['桩号', '编码', 'X', 'Y', '方位角', '左边桩X', '左边桩Y', '右边桩X', '右边桩Y', 'H', '左边桩H',
                  '右边桩H'], f'stakes header {rows[0]}')
by_station = {r[0]: r for r in rows[1:]}
check(len(by_station) == len(rows) - 1, 'each station once')
stations = [r[0] for r in rows[1:]]
check(stations[0] == 'K1+200.000' and stations[-1] == 'K2+510.000', 'first and last stake')
check(len(stations) == 1310 // 5 + 1, f'every 5 m and the end: {len(stations)} rows')
codes = {r[0]: r[1] for r in rows[1:] if r[1]}
for station, key in [('K1+200.000', 'QD'), ('K1+350.000', 'ZH'), ('K1+470.000', 'HY'), ('K1+670.000', 'YH'),
                     ('K1+790.000', 'HZ'), ('K2+510.000', 'ZD')]:
    check(codes.get(station) == key, f'key point {key} at {station}: {codes.get(station)}')
for d, (x, y, a) in REFERENCE.items():
    r = by_station.get(f'K{(1200 + d) // 1000}+{(1200 + d) % 1000:03d}.000')
    check(r is not None and near(r[2], x) and near(r[3], y) and r[4] == dms(math.degrees(a)),
          f'stake at distance {d}: {r}')
# On the first straight, 100 m in: side stakes 5 m left and 7.5 m right.
r = by_station['K1+300.000']
x, y = X0 + 100 * math.cos(A0), Y0 + 100 * math.sin(A0)
check(r[2] == f'{x:.3f}' and r[3] == f'{y:.3f}' and r[4] == '30.0000', f'straight stake {r}')
left = (x + 5 * math.cos(A0 - math.pi / 2), y + 5 * math.sin(A0 - math.pi / 2))
right = (x + 7.5 * math.cos(A0 + math.pi / 2), y + 7.5 * math.sin(A0 + math.pi / 2))
check(near(r[5], left[0]) and near(r[6], left[1]) and near(r[7], right[0]) and near(r[8], right[1]),
      f'side stakes {r}')
# Heights by hand: +2.5 % from K1+200 at 52 m; crest K1+500 (L 120 m, R 3000 m,
# E 0.6 m); -1.5 %; sag circle R 6000 m at K1+900 (mpmath: 53.968727).
for station, h in [('K1+300.000', 54.5), ('K1+440.000', 58.0), ('K1+470.000', 58.6), ('K1+500.000', 58.9),
                   ('K1+700.000', 56.5), ('K1+900.000', 53.968727), ('K1+950.000', 54.052072)]:
    r = by_station[station]
    check(near(r[9], h, 0.0006) and near(r[10], h - 0.1, 0.0006) and near(r[11], h - 0.1125, 0.0006),
          f'heights at {station}: {r[9:]}')

# --from / --to in K-notation and metres, --decimals.
code, out, err = run('stakes', SAMPLE, '--interval', '20', '--from', 'K1+300', '--to', '1400.5', '--decimals', '1')
rows = table(out)
check(code == 0 and [r[0] for r in rows[1:]] == ['K1+300.0', 'K1+320.0', 'K1+340.0', 'K1+360.0', 'K1+380.0',
                                                  'K1+400.0'], f'--from/--to: {rows}')
check(rows[0][-1] == 'H' and rows[1][2] == f'{X0 + 100 * math.cos(A0):.1f}', f'one decimal: {rows[1]}')

with tempfile.TemporaryDirectory() as tmp:
    # A short chain at K1+500 (distance 300): stations K1+500 .. K1+520 are
    # skipped, the equation is listed once as DL.
    eq = os.path.join(tmp, 'eq.xml')
    text = open(SAMPLE, encoding='utf-8').read()
    text = text[:text.index('      <Profile>')] + text[text.index('</Profile>') + len('</Profile>\n'):]
    text = text.replace('</CoordGeom>', '</CoordGeom>\n      <StaEquation staInternal="1500" staBack="1500" staAhead="1520"/>')
    open(eq, 'w', encoding='utf-8').write(text)
    code, out, err = run('stakes', eq, '--interval', '10', '--key-points')
    rows = table(out)
    by_station = {r[0]: r for r in rows[1:]}
    check(code == 0 and rows[0][-1] == '方位角', f'stakes across an equation: {code} {err}')
    check(by_station.get('K1+500.000=K1+520.000', [''] * 2)[1] == 'DL' and 'K1+510.000' not in by_station,
          'DL at the equation shows both stations, the skipped stations absent')
    r = by_station.get('K1+590.000')
    check(r is not None and near(r[2], REFERENCE[370][0]) and near(r[3], REFERENCE[370][1]),
          f'stake after the equation: {r}')
    check(rows[-1][0] == 'K2+530.000', f'last stake after the equation: {rows[-1]}')
    # A long chain K1+500 = K1+480 (distance 300): K1+490 stands at distances
    # 290 and 310, and locating a point 2 m left of each says which pass it is.
    with tempfile.TemporaryDirectory() as chain_dir:
        chain = os.path.join(chain_dir, 'chain.xml')
        open(chain, 'w', encoding='utf-8').write(text.replace('staAhead="1520"', 'staAhead="1480"'))
        code, out, err = run('stakes', chain, '--interval', '10', '--decimals', '6')
        twice = [r for r in table(out)[1:] if r[0] == 'K1+490.000000']
        check(code == 0 and len(twice) == 2, f'K1+490 twice on the long chain: {twice} {err}')
        chain_points = os.path.join(chain_dir, 'p.csv')
        with open(chain_points, 'w', encoding='utf-8', newline='') as f:
            for n, r in enumerate(twice):
                d, mmss = r[4].split('.')
                a = math.radians(int(d) + int(mmss[:2]) / 60 + int(mmss[2:]) / 3600)
                f.write(f'C{n + 1},{float(r[2]) - 2 * math.cos(a + math.pi / 2)},'
                        f'{float(r[3]) - 2 * math.sin(a + math.pi / 2)}\n')
        code, out, err = run('locate', chain, chain_points)
        check(code == 0 and table(out)[1:] == [['C1', 'K1+490.000', '-2.000', '长链重复段第1次'],
                                               ['C2', 'K1+490.000', '-2.000', '长链重复段第2次']],
              f'locate names the pass of a long chain: {out} {err}')
    # -o follows the extension: CSV with a byte-order mark, .dat, .dxf.
    csv_path, dat_path, dxf_path = (os.path.join(tmp, 'k.' + e) for e in ('csv', 'dat', 'dxf'))
    for path in (csv_path, dat_path, dxf_path):
        code, out, err = run('stakes', SAMPLE, '--interval', '100', '--offsets', '3,3', '-o', path)
        check(code == 0 and out == '' and os.path.exists(path), f'-o {path}: {code} {err}')
    raw = open(csv_path, 'rb').read()
    check(raw.startswith(b'\xef\xbb\xbf'), 'CSV file with byte-order mark')
    rows = table(raw.decode('utf-8-sig'))
    check(rows[1][0] == 'K1+200.000' and len(rows) == 15, f'CSV file rows {len(rows)}')
    dat = [line.split(',') for line in open(dat_path, encoding='ascii', newline='').read().split('\r\n') if line]
    check(len(dat) == 14 * 3, f'.dat: a stake and two side points per station: {len(dat)}')
    check(dat[3][0] == 'K1+300.000' and near(dat[3][2], Y0 + 100 * math.sin(A0)) and
          near(dat[3][3], X0 + 100 * math.cos(A0)) and near(dat[3][4], 54.5), f'.dat Y,X,H order: {dat[3]}')
    doc = ezdxf.readfile(dxf_path)
    points = [e for e in doc.modelspace() if e.dxftype() == 'POINT' and e.dxf.layer == 'STAKES']
    check(len(points) == 14, f'DXF stake points {len(points)}')
    p = points[1].dxf.location
    check(abs(p.x - (Y0 + 100 * math.sin(A0))) < 1e-3 and abs(p.z - 54.5) < 1e-3, f'DXF point at its height {p}')
    # Every handle lies below $HANDSEED: in the small drawing, and in one of
    # 43,668 stakes with their labels (87,000 entities, handles past FFFF).
    with tempfile.TemporaryDirectory() as big_dir:
        big_path = os.path.join(big_dir, 'big.dxf')
        code, _, err = run('stakes', SAMPLE, '--interval', '0.03', '-o', big_path)
        check(code == 0, f'large DXF {code} {err}')
        check(len(ezdxf.readfile(big_path).modelspace()) > 87000, 'ezdxf reads the large drawing whole')
        for path, large in ((dxf_path, False), (big_path, True)):
            # The file's own group-code pairs: handles are codes 5 and 105.
            lines = open(path, encoding='utf-8').read().splitlines()
            pairs = list(zip(lines[0::2], lines[1::2]))
            at = next(i for i, (c, v) in enumerate(pairs) if v == '$HANDSEED')
            seed = int(pairs[at + 1][1], 16)  # the header variable's own code 5
            handles = [int(v, 16) for i, (c, v) in enumerate(pairs) if c.strip() in ('5', '105') and i != at + 1]
            check(max(handles) > 0xFFFF or not large, 'the large drawing has handles past FFFF')
            check(max(handles) < seed, f'$HANDSEED {seed:X} above every handle (largest {max(handles):X})')

    # --- locate -----------------------------------------------------------------
    xe, ye, ae = REFERENCE[1310]
    pts = os.path.join(tmp, 'p.csv')
    with open(pts, 'w', encoding='utf-8-sig', newline='') as f:
        w = csv.writer(f)
        w.writerow(['点号', 'X', 'Y', 'H'])
        w.writerow(['P1', x + 3 * math.cos(A0 + math.pi / 2), y + 3 * math.sin(A0 + math.pi / 2), 57])
        w.writerow(['P2', xe - 10 * math.cos(ae) - 4 * math.cos(ae + math.pi / 2),
                    ye - 10 * math.sin(ae) - 4 * math.sin(ae + math.pi / 2), ''])
        w.writerow(['P,3', X0 - 50 * math.cos(A0), Y0 - 50 * math.sin(A0), 50])
        # Half a millimetre past the end, 2 m right: at the end; 5 m past it: beyond.
        w.writerow(['P4', xe + 0.0005 * math.cos(ae) + 2 * math.cos(ae + math.pi / 2),
                    ye + 0.0005 * math.sin(ae) + 2 * math.sin(ae + math.pi / 2), ''])
        w.writerow(['P5', xe + 5 * math.cos(ae), ye + 5 * math.sin(ae), ''])
    code, out, err = run('locate', SAMPLE, pts, '--cross-slope', '-2,-1.5')
    rows = table(out)
    check(code == 0, f'locate {code} {err}')
    check(rows == [['点号', '桩号', '偏距', '备注', '设计高程', '高差'],
                   ['P1', 'K1+300.000', '3.000', '', '54.455', '2.545'],
                   ['P2', 'K2+500.000', '-4.000', '', rows[2][4] if len(rows) > 2 else '', ''],
                   ['P,3', '', '', '超出起点 50.000 米', '', ''],
                   ['P4', 'K2+510.000', '2.000', '', rows[4][4] if len(rows) > 4 else '', ''],
                   ['P5', '', '', '超出终点 5.000 米', '', '']], f'locate rows {rows}')
    # On the last grade (+1 % from K1+900 at 53.5 m), 4 m left at -2 %.
    check(len(rows) > 2 and near(rows[2][4], 53.5 + 6 - 0.08, 0.0006), f'P2 design height {rows[2]}')
    plain = os.path.join(tmp, 'plain.csv')
    with open(plain, 'w', encoding='utf-8') as f:
        f.write('1,{:.4f},{:.4f}\n'.format(x, y))
    code, out, err = run('locate', SAMPLE, plain, '--decimals', '2')
    check(code == 0 and table(out) == [['点号', '桩号', '偏距', '备注'], ['1', 'K1+300.00', '0.00', '']],
          f'locate without heights or header: {out}')

    # --- jd ---------------------------------------------------------------------
    jd = os.path.join(tmp, 'jd.csv')
    c30, s30 = math.cos(math.radians(30)), math.sin(math.radians(30))
    j1 = (1000 + 600, 1000.0)
    j2 = (j1[0] + 700 * c30, j1[1] + 700 * s30)
    a2 = math.radians(30 - 42.5)
    end = (j2[0] + 500 * math.cos(a2), j2[1] + 500 * math.sin(a2))
    with open(jd, 'w', encoding='utf-8') as f:
        f.write('交点,X,Y,R,Ls1,Ls2,备注\nQD,1000,1000,,,\n')  # a column after Ls2 is the user's own
        f.write(f'JD1,{j1[0]:.9f},{j1[1]:.9f},500,100,100,第一弯\nJD2,{j2[0]:.9f},{j2[1]:.9f},400,120,80\n')
        f.write(f'ZD,{end[0]:.9f},{end[1]:.9f},,,\n')
    xml = os.path.join(tmp, 'line.xml')
    code, out, err = run('jd', jd, '--start-station', 'K0+000', '-o', xml)
    rows = table(out)
    check(code == 0 and err == '', f'jd {code} {err}')
    check(rows[0] == ['交点', '桩号', '转角', 'R', 'Ls1', 'Ls2', 'T1', 'T2', 'L', 'E', 'ZH', 'HY', 'QZ', 'YH', 'HZ'],
          f'jd header {rows[0]}')
    # mpmath (reference.py): T 184.181145, L 361.799388, E 18.500512.
    check(rows[1][:10] == ['JD1', 'K0+600.000', '30.0000', '500.000', '100.000', '100.000', '184.181', '184.181',
                           '361.799', '18.501'], f'JD1 {rows[1]}')
    check(rows[1][10:] == ['K0+415.819', 'K0+515.819', 'K0+596.719', 'K0+677.618', 'K0+777.618'],
          f'JD1 stations {rows[1][10:]}')
    # mpmath: T1 214.857312, T2 197.029381, L 396.705973; left turn.
    check(rows[2][2:9] == ['-42.3000', '400.000', '120.000', '80.000', '214.857', '197.029', '396.706'],
          f'JD2 {rows[2]}')
    tree = etree.parse(xml)
    geometry = tree.findall('.//l:Alignment/l:CoordGeom/*', NS)
    kinds = [etree.QName(e).localname for e in geometry]
    check(kinds == ['Line', 'Spiral', 'Curve', 'Spiral', 'Line', 'Spiral', 'Curve', 'Spiral', 'Line'],
          f'LandXML elements {kinds}')
    s1 = geometry[1]
    check(s1.get('spiType') == 'clothoid' and s1.get('rot') == 'cw' and float(s1.get('length')) == 100 and
          s1.get('radiusStart') == 'INF' and float(s1.get('radiusEnd')) == 500, f'first spiral {s1.attrib}')
    check(geometry[6].get('rot') == 'ccw' and float(geometry[6].get('radius')) == 400, 'second arc')
    start = [float(v) for v in geometry[0].find('l:Start', NS).text.split()]
    last = [float(v) for v in geometry[-1].find('l:End', NS).text.split()]
    check(start == [1000, 1000] and math.dist(last, end) < 1e-6, f'ends {start} {last}')
    check(abs(float(geometry[0].get('length')) - (600 - 184.181145)) < 1e-5, 'first straight to ZH')
    for a, b in zip(geometry, geometry[1:]):
        gap = math.dist([float(v) for v in a.find('l:End', NS).text.split()],
                        [float(v) for v in b.find('l:Start', NS).text.split()])
        check(gap < 1e-7, f'elements join: {gap}')
    # The written line reads back: its stakes at the key points.
    code, out, err = run('stakes', xml, '--interval', '1000', '--key-points')
    keys = {}
    for r in table(out)[1:]:
        keys.setdefault(r[1], r[0])
    check(code == 0 and keys.get('ZH') == 'K0+415.819' and keys.get('HZ') == 'K0+777.618', f'read back {keys} {err}')

    # --- refusals: exit 2, one line in Chinese naming the fault, nothing written --
    bad_xml = os.path.join(tmp, 'gap.xml')
    text = open(SAMPLE, encoding='utf-8').read()
    first_end = text.split('<End>')[1].split('</End>')[0]
    n, e = first_end.split()
    open(bad_xml, 'w', encoding='utf-8').write(text.replace(f'<End>{first_end}</End>', f'<End>{n} {float(e) + 0.01:.9f}</End>', 1))
    keep = os.path.join(tmp, 'keep.csv')
    open(keep, 'w').write('earlier')
    bad_pts = os.path.join(tmp, 'bad.csv')
    open(bad_pts, 'w', encoding='utf-8').write('点号,X,Y,H\nA,1,2,50\nB,abc,2,50\n')
    jd_start_r = os.path.join(tmp, 'jd_r.csv')
    open(jd_start_r, 'w', encoding='utf-8').write('QD,0,0,300,,\nJD1,500,0,500,50,50\nZD,500,500\n')
    jd_long = os.path.join(tmp, 'jd_long.csv')
    open(jd_long, 'w', encoding='utf-8').write('QD,0,0\nJD7,500,0,500,900,900\nZD,500,500\n')
    jd_tiny = os.path.join(tmp, 'jd_tiny.csv')
    open(jd_tiny, 'w', encoding='utf-8').write('QD,0,0\nJD4,500,0,1e-12\nZD,500,500\n')
    bad_first = os.path.join(tmp, 'first.csv')
    open(bad_first, 'w', encoding='utf-8').write('A,3381336.7x,501280.75\nB,1,2\n')
    refusals = [
        (['stakes', SAMPLE], ['--interval']),
        (['stakes', SAMPLE, '--interval', 'abc'], ['--interval', 'abc']),
        (['stakes', SAMPLE, '--interval', '-5'], ['--interval']),
        (['stakes', SAMPLE, '--interval', '5', '--decimals', '9'], ['--decimals']),
        (['stakes', SAMPLE, '--interval', '5', '--foo'], ['--foo']),
        (['stakes', SAMPLE, '--interval', '5', '--offsets', '5'], ['--offsets']),
        (['stakes', SAMPLE, '--interval', '5', '--offsets', '5,5', '--cross-slope', '-2,150%'], ['--cross-slope']),
        (['stakes', SAMPLE, '--interval', '5', '--from', 'K1+2x'], ['--from']),
        (['stakes', os.path.join(tmp, 'none.xml'), '--interval', '5'], ['none.xml', '文件不存在']),
        (['stakes', bad_xml, '--interval', '5'], ['gap.xml', '第2个线元']),
        (['stakes', SAMPLE, '--interval', '5', '-o', os.path.join(tmp, 'k.txt')], ['k.txt']),
        (['stakes', SAMPLE, '--interval', '5', '-o', os.path.join(tmp, 'no', 'k.csv')], ['k.csv', '文件夹不存在']),
        (['stakes', SAMPLE, '--interval', '5', '--from', 'K9+000', '-o', keep], []),
        (['locate', SAMPLE, bad_pts], ['bad.csv', '第3行', 'abc']),
        (['locate', SAMPLE, bad_pts, '-o', keep], ['bad.csv', '第3行', 'abc']),
        (['locate', SAMPLE], ['POINTS.csv']),
        (['locate', SAMPLE, bad_first], ['first.csv', '第1行', '3381336.7x']),
        (['jd', jd, '--start-station', '0'], ['-o']),
        (['jd', jd_start_r, '--start-station', '0', '-o', os.path.join(tmp, 'r.xml')], ['jd_r.csv', '第1行', 'R']),
        (['jd', jd_long, '--start-station', '0', '-o', os.path.join(tmp, 'l.xml')], ['JD7']),
        (['jd', jd_tiny, '--start-station', '0', '-o', os.path.join(tmp, 't.xml')], ['JD4', '半径过小']),
        (['frobnicate'], ['frobnicate']),
    ]
    for args, words in refusals:
        code, out, err = run(*args)
        check(code == 2 and out == '' and err.endswith('\n') and err.count('\n') == 1 and
              all(w in err for w in words), f'refusal {args[1:]}: {code} {err!r}')
    check(open(keep).read() == 'earlier', 'an earlier file survives a refused run')
    check(sorted(os.listdir(tmp)) == sorted(['eq.xml', 'k.csv', 'k.dat', 'k.dxf', 'p.csv', 'plain.csv', 'jd.csv', 'line.xml',
                                             'gap.xml', 'keep.csv', 'bad.csv', 'first.csv',
                                             'jd_r.csv', 'jd_long.csv', 'jd_tiny.csv']), f'no stray files: {os.listdir(tmp)}')

# --- field commands ----------------------------------------------------------
def dms_of(text):
    d, mmss = text.split('.')
    return int(d) + int(mmss[:2]) / 60 + int(mmss[2:]) / 3600


def on_first_straight(d, offset):
    """A point `offset` right (negative: left) of the first straight at distance d."""
    return (X0 + d * math.cos(A0) + offset * math.cos(A0 + math.pi / 2),
            Y0 + d * math.sin(A0) + offset * math.sin(A0 + math.pi / 2))


with tempfile.TemporaryDirectory() as tmp:
    xs = os.path.join(tmp, 'xs.csv')
    with open(xs, 'w', encoding='utf-8') as f:
        f.write('桩号,左宽,右宽,左横坡,右横坡,过渡\nK1+200,5,5,-2,-2\n1300,5,7,-2,-2\nK1+400,6,7,4,-4,高次\n')
    code, out, err = run('stakes', SAMPLE, '--interval', '50', '--to', 'K1+450', '--cross-section', xs)
    rows = table(out)
    check(code == 0 and rows[0] == ['桩号', '编码', 'X', 'Y', '方位角', '左边桩X', '左边桩Y', '右边桩X', '右边桩Y', 'H',
                                    '左边桩H', '右边桩H'], f'cross-section columns {code} {err} {rows[:1]}')
    by_station = {r[0]: r for r in rows[1:]}
    # Hand-worked: grade +2.5 % from 52 m; the crest's parabola from K1+440
    # (58 m) falls 0.04 / 240 * 10^2 by K1+450. K1+250 is halfway on a linear
    # widening 5 -> 7 m; K1+350 halfway on a 高次 one, 4k^3 - 3k^4 = 0.3125,
    # its slopes halfway from -2/-2 to +4/-4; K1+450 is past the last row.
    hand = [  # station, distance, left width, right width, H, left H, right H
        ('K1+200.000', 0, 5, 5, 52.0, 51.9, 51.9),
        ('K1+250.000', 50, 5, 6, 53.25, 53.25 - 0.1, 53.25 - 0.12),
        ('K1+350.000', 150, 5.3125, 7, 55.75, 55.75 + 0.053125, 55.75 - 0.21),
        ('K1+450.000', None, 6, 7, 58.25 - 0.04 / 240 * 100, 58.25 - 0.04 / 240 * 100 + 0.24,
         58.25 - 0.04 / 240 * 100 - 0.28),
    ]
    for station, d, lw, rw, h, lh, rh in hand:
        r = by_station.get(station)
        check(r is not None and near(r[9], h, 0.0006) and near(r[10], lh, 0.0006) and near(r[11], rh, 0.0006),
              f'cross-section heights at {station}: {r}')
        if r is not None and d is not None:
            left, right = on_first_straight(d, -lw), on_first_straight(d, rw)
            check(near(r[5], left[0]) and near(r[6], left[1]) and near(r[7], right[0]) and near(r[8], right[1]),
                  f'cross-section edges at {station}: {r}')
        if r is not None and d is None:
            # On the spiral: each edge lies on the normal at its width.
            x, y, a = float(r[2]), float(r[3]), math.radians(dms_of(r[4]))
            check(abs(math.dist((float(r[5]), float(r[6])), (x, y)) - lw) < 0.002 and
                  abs(math.dist((float(r[7]), float(r[8])), (x, y)) - rw) < 0.002 and
                  abs((float(r[7]) - x) * math.cos(a) + (float(r[8]) - y) * math.sin(a)) < 0.002,
                  f'cross-section edges on the normal at {station}: {r}')

    # Locate: the design height takes the slope of the point's own side.
    pts = os.path.join(tmp, 'xs_points.csv')
    with open(pts, 'w', encoding='utf-8') as f:
        f.write('点号,X,Y,H\n')
        for name, d, offset in [('R3', 150, 3), ('L2', 150, -2), ('R1', 50, 1)]:
            x, y = on_first_straight(d, offset)
            f.write(f'{name},{x:.6f},{y:.6f},60\n')
    code, out, err = run('locate', SAMPLE, pts, '--cross-section', xs)
    rows = table(out)
    expected = [('R3', 55.75 - 0.09), ('L2', 55.75 + 0.02), ('R1', 53.25 - 0.02)]
    check(code == 0 and len(rows) == 4 and all(r[0] == n and near(r[4], h, 0.0006) and near(r[5], 60 - h, 0.0006)
                                               for r, (n, h) in zip(rows[1:], expected)),
          f'locate with a cross-section: {rows} {err}')

    # Setout from the line's start point, backsight due east (azimuth 90).
    code, out, err = run('setout', SAMPLE, '--station', f'{X0},{Y0}', '--backsight', f'{X0},{Y0 + 50}', '--interval',
                         '50', '--from', 'K1+250', '--to', 'K1+300', '--offsets', '3,4')
    rows = table(out)
    check(code == 0 and rows[0] == ['点号', 'X', 'Y', '方位角', '平距', '水平角', 'H'], f'setout heading {rows[:1]} {err}')
    got = {r[0]: r for r in rows[1:]}
    check(list(got) == ['K1+250.000', 'K1+250.000L', 'K1+250.000R', 'K1+300.000', 'K1+300.000L', 'K1+300.000R'],
          f'setout point names {list(got)}')
    for name, d, offset, h in [('K1+250.000', 50, 0, 53.25), ('K1+300.000', 100, 0, 54.5),
                               ('K1+300.000L', 100, -3, 54.5), ('K1+300.000R', 100, 4, 54.5),
                               ('K1+250.000L', 50, -3, 53.25)]:
        x, y = on_first_straight(d, offset)
        azimuth = math.degrees(math.atan2(y - Y0, x - X0)) % 360
        r = got.get(name, [''] * 7)
        check(near(r[1], x) and near(r[2], y) and r[3] == dms(azimuth) and near(r[4], math.hypot(x - X0, y - Y0)) and
              r[5] == dms((azimuth - 90) % 360) and near(r[6], h, 0.0006), f'setout {name}: {r}')
    # The backsight north-west of the station: a stake due north turns 45 degrees.
    code, out, err = run('setout', SAMPLE, '--station', f'{X0 - 100},{Y0}', '--backsight', f'{X0},{Y0 - 100}',
                         '--interval', '100', '--to', 'K1+250')
    rows = table(out)
    check(code == 0 and rows[1][3:6] == ['0.0000', '100.000', '45.0000'], f'setout angle from the backsight {rows}')

    # -o FILE.xml: the line's Alignments and its points, named as in the .dat.
    for command, extra in [('stakes', []), ('setout', ['--station', '3381300,501200', '--backsight', '3381400,501200'])]:
        xml, dat = os.path.join(tmp, command + '.xml'), os.path.join(tmp, command + '.dat')
        code, out, err = run(command, SAMPLE, '--interval', '100', '--key-points', '--cross-section', xs, *extra,
                             '-o', xml)
        check(code == 0 and out == '', f'{command} -o .xml: {code} {err}')
        run('stakes', SAMPLE, '--interval', '100', '--key-points', '--cross-section', xs, '-o', dat)
        tree = etree.parse(xml)
        check(tree.getroot().get('version') == '1.2' and
              tree.find('.//l:Alignments/l:Alignment', NS).get('name') == 'sample', f'{command} xml alignment')
        points = tree.findall('.//l:CgPoints/l:CgPoint', NS)
        lines = [l.split(',') for l in open(dat, encoding='ascii', newline='').read().split('\r\n') if l]
        check(len(points) == len(lines) > 0, f'{command} xml: one CgPoint a .dat point ({len(points)}, {len(lines)})')
        for p, l in zip(points, lines):
            n, e, h = (float(v) for v in p.text.split())
            if not (p.get('name') == l[0] and p.get('code') == l[1] and abs(n - float(l[3])) < 1e-9 and
                    abs(e - float(l[2])) < 1e-9 and abs(h - float(l[4])) < 1e-9):
                check(False, f'{command} xml point {p.get("name")} {p.text} against {l}')
                break
    # The line's JD table: jd LINE.xml prints the table the CSV gave.
    jd_csv, jd_xml = os.path.join(tmp, 'jd.csv'), os.path.join(tmp, 'jd_line.xml')
    with open(jd_csv, 'w', encoding='utf-8') as f:
        f.write('QD,1000,1000\nJD1,1600,1000,500,100,100\nJD2,2206.2178,1350,400,120,80\nZD,2700,1300\n')
    _, from_csv, _ = run('jd', jd_csv, '--start-station', '0', '-o', jd_xml)
    code, from_xml, err = run('jd', jd_xml)
    check(code == 0 and from_xml == from_csv and table(from_xml)[1][:2] == ['JD1', 'K0+600.000'],
          f'jd LINE.xml: {from_xml!r} {err}')

    # tables: read back with pdftotext and pdfinfo.
    pdf = os.path.join(tmp, 't.pdf')
    code, out, err = run('tables', jd_xml, '--interval', '20', '--offsets', '3,3', '-o', pdf)
    text = subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True).stdout.decode('utf-8')
    pages = text.split('\f')
    first = subprocess.run(['pdfinfo', '-f', '1', '-l', '2', pdf], capture_output=True).stdout.decode('utf-8')
    check(code == 0 and '直线、曲线及转角表' in pages[0] and 'K0+515.819' in pages[0] and '184.181' in pages[0],
          f'curve table on page 1: {code} {err}')
    check('1190.55 x 841.89' in first.split('Page    2')[0] and '595.' in first.split('Page    2')[1],
          f'the curve table on A3 landscape, the stakes on A4: {first}')
    stake_pages = [p for p in pages if '逐桩坐标表' in p]
    check(len(stake_pages) >= 2 and all('左边桩' in p for p in stake_pages), 'the stake table repeats its heading')
    check(all(f'第{i + 1}页/共{len(pages) - 1}页' in p.replace(' ', '') for i, p in enumerate(pages[:-1])),
          'pages numbered through the document')
    x, y = 1000 + 400 * 1, 1000.0
    check(any('K0+400.000' in l and f'{x:.3f}' in l and f'{y:.3f}' in l and f'{y - 3:.3f}' in l
              for l in text.splitlines()), 'stake K0+400 with its edges in the table')
    code, out, err = run('tables', SAMPLE, '--interval', '20', '-o', pdf)
    text = subprocess.run(['pdftotext', '-layout', pdf, '-'], capture_output=True).stdout.decode('utf-8')
    check(code == 0 and '直线、曲线及转角表' not in text and '竖曲线表' in text and '3000.000' in text and
          '6000.000' in text, f'tables without a JD table, with the profile: {err}')

    # Refusals of the field commands: exit 2, one line, nothing written.
    files = set(os.listdir(tmp))
    bad = {}
    for name, body in [('order', '桩号,左宽,右宽,左横坡,右横坡\nK1+200,5,5,-2,-2\nK1+200,5,5,-2,-2\n'),
                       ('negative', '桩号,左宽,右宽,左横坡,右横坡\nK1+200,5,5,-2,-2\nK1+300,5,-1,-2,-2\n'),
                       ('cell', '桩号,左宽,右宽,左横坡,右横坡\nK1+200,5,5,-2,-2\nK1+300,5,5,abc,-2\n'),
                       ('centre', '桩号,左宽,右宽,左横坡,右横坡\nK1+200,5,500,-2,-2\n')]:
        bad[name] = os.path.join(tmp, name + '.csv')
        open(bad[name], 'w', encoding='utf-8').write(body)
    files |= {n + '.csv' for n in bad}
    out_csv, out_pdf = os.path.join(tmp, 'o.csv'), os.path.join(tmp, 'o.pdf')
    station = ['--station', f'{X0},{Y0}', '--backsight', f'{X0 + 10},{Y0}']
    field_refusals = [
        (['stakes', SAMPLE, '--interval', '5', '--cross-section', xs, '--offsets', '3,3', '-o', out_csv],
         ['--cross-section', '--offsets']),
        (['stakes', SAMPLE, '--interval', '5', '--cross-section', xs, '--cross-slope', '-2,-2'], ['--cross-slope']),
        (['locate', SAMPLE, pts, '--cross-section', xs, '--cross-slope', '-2,-2'], ['--cross-section']),
        (['stakes', SAMPLE, '--interval', '5', '--cross-section', bad['order'], '-o', out_csv], ['order.csv', '第3行']),
        (['stakes', SAMPLE, '--interval', '5', '--cross-section', bad['negative']], ['negative.csv', '第3行', '负']),
        (['stakes', SAMPLE, '--interval', '5', '--cross-section', bad['cell']], ['cell.csv', '第3行', 'abc']),
        (['stakes', SAMPLE, '--interval', '5', '--cross-section', bad['centre']], ['桩号K1+', '右侧', '曲率中心']),
        (['setout', SAMPLE, '--interval', '5', '--backsight', '1,2', '-o', out_csv], ['--station']),
        (['setout', SAMPLE, '--interval', '5', '--station', '1,2', '-o', out_csv], ['--backsight']),
        (['setout', SAMPLE, '--interval', '5', '--station', '1,2', '--backsight', '1.0004,2', '-o', out_csv],
         ['后视点与测站重合']),
        (['setout', SAMPLE, '--interval', '5', '--station', '1,2x', '--backsight', '5,5'], ['--station', '2x']),
        (['setout', SAMPLE, '--interval', '5', '--station', '1,2', '--backsight', 'a,5'], ['--backsight', 'a']),
        (['setout', SAMPLE, '--interval', '5', *station, '-o', os.path.join(tmp, 'o.dat')], ['o.dat', '.csv']),
        (['setout', SAMPLE, '--interval', '5', *station, '--offsets', '1,1', '--cross-section', xs], ['--offsets']),
        (['tables', SAMPLE, '--interval', '5'], ['-o', 'PDF']),
        (['tables', SAMPLE, '--interval', '5', '-o', out_csv], ['o.csv', '.pdf']),
        (['tables', SAMPLE, '--interval', '5', '--from', 'K9+000', '-o', out_pdf], ['--from']),
        (['jd', SAMPLE], ['sample_line.xml', '交点表']),
    ]
    for args, words in field_refusals:
        code, out, err = run(*args)
        check(code == 2 and out == '' and err.count('\n') == 1 and all(w in err for w in words),
              f'refusal {args[:1] + args[2:]}: {code} {err!r}')
    check(set(os.listdir(tmp)) == files, f'no file from a refused run: {set(os.listdir(tmp)) - files}')

print(f'{len(failures)} failures')
sys.exit(1 if failures else 0)
