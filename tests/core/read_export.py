#!/usr/bin/python3
"""Reads an exported file with readers that share no code with the writer and
prints what it holds, one item a line, fields separated by tabs.

  read_export.py dxf FILE   ezdxf: layers, then every entity of model space:
                            LAYER name / POINT layer x y / TEXT layer x y height text /
                            POLYLINE layer x1 y1 x2 y2 ... / AUDIT errors
  read_export.py csv FILE   Python's csv module (utf-8-sig): ROW field field ...
"""
import csv
import sys


def dump_dxf(path):
    import ezdxf

    doc = ezdxf.readfile(path)
    for layer in doc.layers:
        print(f"LAYER\t{layer.dxf.name}")
    for e in doc.modelspace():
        kind = e.dxftype()
        layer = e.dxf.layer
        if kind == "POINT":
            x, y, _ = e.dxf.location
            print(f"POINT\t{layer}\t{x!r}\t{y!r}")
        elif kind == "TEXT":
            x, y, _ = e.dxf.insert
            print(f"TEXT\t{layer}\t{x!r}\t{y!r}\t{e.dxf.height!r}\t{e.dxf.text}")
        elif kind == "LWPOLYLINE":
            coords = "\t".join(f"{x!r}\t{y!r}" for x, y in e.get_points("xy"))
            print(f"POLYLINE\t{layer}\t{coords}")
        elif kind == "POLYLINE":
            coords = "\t".join(f"{v.dxf.location[0]!r}\t{v.dxf.location[1]!r}" for v in e.vertices)
            print(f"POLYLINE\t{layer}\t{coords}")
        else:
            print(f"OTHER\t{layer}\t{kind}")
    auditor = doc.audit()
    print(f"AUDIT\t{len(auditor.errors)}")


def dump_csv(path):
    with open(path, newline="", encoding="utf-8-sig") as f:
        for row in csv.reader(f):
            print("ROW\t" + "\t".join(row))


if __name__ == "__main__":
    {"dxf": dump_dxf, "csv": dump_csv}[sys.argv[1]](sys.argv[2])
