#!/bin/sh
# quorvane-line's streaming runs against the floor (bench/stream_floor.cpp):
# CPU time (user + system) and peak memory from /usr/bin/time -v.
#   bench/stream_bench.sh BUILD_DIR [WORK_DIR]
# Lines: a 1000 km line designed from 500 JDs (R 1000 m, Ls 150 m, 20 degree
# turns every 2 km) with a profile; 1,000,000 measured points on the sample.
set -eu
build=$1
work=${2:-$(mktemp -d)}
tool=$build/cli/quorvane-line
floor=$build/bench/stream_floor
here=$(cd "$(dirname "$0")" && pwd)
python3 - "$work" <<'PY'
import math, random, sys
work = sys.argv[1]
x = y = a = 0.0
rows = ['QD,0,0']
for i in range(1, 501):
    x += 2000 * math.cos(a); y += 2000 * math.sin(a)
    rows.append(f'JD{i},{x:.6f},{y:.6f},1000,150,150')
    a += math.radians(20 if i % 2 else -20)
x += 2000 * math.cos(a); y += 2000 * math.sin(a)
rows.append(f'ZD,{x:.6f},{y:.6f}')
open(f'{work}/long_jd.csv', 'w').write('\n'.join(rows) + '\n')
random.seed(1)
X0, Y0, A0 = 3381250.125, 501230.75, math.radians(30)
with open(f'{work}/points.csv', 'w') as f:
    f.write('点号,X,Y,H\n')
    for i in range(1000000):
        d, o = random.uniform(0, 1300), random.uniform(-10, 10)
        f.write(f'P{i},{X0 + d * math.cos(A0) + o * math.cos(A0 + math.pi / 2):.4f},'
                f'{Y0 + d * math.sin(A0) + o * math.sin(A0 + math.pi / 2):.4f},55\n')
PY
"$tool" jd "$work/long_jd.csv" --start-station 0 -o "$work/long.xml" >/dev/null
python3 - "$work/long.xml" <<'PY'
import re, sys
t = open(sys.argv[1]).read()
L = float(re.search(r'<Alignment [^>]*length="([0-9.]+)"', t).group(1))
p = (f'<Profile><ProfAlign name="p"><PVI>0 100</PVI><ParaCurve length="200">{L / 2} {100 + L / 200}</ParaCurve>'
     f'<PVI>{L} 100</PVI></ProfAlign></Profile>\n')
i = t.index('</Alignment>')
open(sys.argv[1], 'w').write(t[:i] + p + t[i:])
PY
measure() {
  name=$1; shift
  /usr/bin/time -v "$@" 2>"$work/time.txt" >/dev/null
  awk -v name="$name" -F': ' '/User time/ {u=$2} /System time/ {s=$2} /Maximum resident/ {m=$2}
    END {printf "%-44s CPU %6.2f s  peak %6.1f MB\n", name, u + s, m / 1024}' "$work/time.txt"
}
rows=$(( $("$tool" stakes "$work/long.xml" --interval 1 --key-points --offsets 3.75,3.75 --cross-slope -2,-2 | wc -l) - 1 ))
measure "floor, $rows rows x 12 columns" "$floor" "$rows" 12 "$work/floor.csv"
measure "stakes 1000 km every 1 m, key points, edges, H" "$tool" stakes "$work/long.xml" --interval 1 --key-points \
  --offsets 3.75,3.75 --cross-slope -2,-2 -o "$work/stakes.csv"
measure "floor, 1,000,000 rows x 6 columns" "$floor" 1000000 6 "$work/floor.csv"
measure "locate 1,000,000 points" "$tool" locate "$here/../tests/data/sample_line.xml" "$work/points.csv" \
  -o "$work/located.csv"
measure "stakes 1000 km every 1 m, key points" "$tool" stakes "$work/long.xml" --interval 1 --key-points \
  -o "$work/stakes.csv"
measure "setout 1000 km every 1 m, key points" "$tool" setout "$work/long.xml" --interval 1 --key-points \
  --station 100,100 --backsight 200,300 -o "$work/setout.csv"
