#!/usr/bin/python3
"""Reads an exported file with readers that share no code with the writer and
prints what it holds, one item a line, fields separated by tabs.

  read_export.py dxf FILE   ezdxf: layers, header variables, then every entity
                            of model space:
                            LAYER name / HEADER name value... /
                            POINT layer x y z / TEXT layer x y height text /
                            POLYLINE layer x1 y1 z1 x2 y2 z2 ... / AUDIT errors
  read_export.py csv FILE   Python's csv module (utf-8-sig): ROW field field ...
"""
import csv
import sys


def dump_dxf(path):
    import ezdxf

    doc = ezdxf.readfile(path)
    for layer in doc.layers:
        print(f"LAYER\t{layer.dxf.name}")
    for name in ("$PDMODE", "$PDSIZE", "$EXTMIN", "$EXTMAX"):
        value = doc.header.get(name)
        values = value if isinstance(value, (tuple, list)) or hasattr(value, "x") else [value]
        print(f"HEADER\t{name}\t" + "\t".join(repr(float(v)) for v in values))
    for e in doc.modelspace():
        kind = e.dxftype()
        layer = e.dxf.layer
        if kind == "POINT":
            x, y, z = e.dxf.location
            print(f"POINT\t{layer}\t{x!r}\t{y!r}\t{z!r}")
        elif kind == "TEXT":
            x, y, _ = e.dxf.insert
            print(f"TEXT\t{layer}\t{x!r}\t{y!r}\t{e.dxf.height!r}\t{e.dxf.text}")
        elif kind == "LWPOLYLINE":
            z = e.dxf.elevation
            coords = "\t".join(f"{x!r}\t{y!r}\t{z!r}" for x, y in e.get_points("xy"))
            print(f"POLYLINE\t{layer}\t{coords}")
        elif kind == "POLYLINE":
            coords = "\t".join("\t".join(repr(c) for c in v.dxf.location) for v in e.vertices)
            print(f"POLYLINE\t{layer}\t{coords}")
        else:
            print(f"OTHER\t{layer}\t{kind}")
    auditor = doc.audit()
    print(f"AUDIT\t{len(auditor.errors)}")


def dump_csv(path):
    with open(path, newline="", encoding="utf-8-sig") as f:
        for row in csv.reader(f):
            # Line breaks inside a field written as \r and \n, one row a line.
            fields = (f.replace("\r", "\\r").replace("\n", "\\n") for f in row)
            print("ROW\t" + "\t".join(fields))


if __name__ == "__main__":
    {"dxf": dump_dxf, "csv": dump_csv}[sys.argv[1]](sys.argv[2])
