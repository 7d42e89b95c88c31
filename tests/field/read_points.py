#!/usr/bin/python3
"""Reads a LandXML file of points with lxml, a reader that shares no code with
the writer, and prints what it holds, one item a line, fields separated by
tabs:

  ROOT localname version          the root element
  CHILDREN name name ...          the root's child elements in order
  ALIGNMENT name                  each Alignments/Alignment
  POINT "name" "code" numbers     each CgPoints/CgPoint, name and code as JSON
                                  strings (NONE for a missing attribute), the
                                  numbers of its text separated by blanks
  COUNT n                         the number of CgPoint elements

Usage: read_points.py FILE [summary]   summary: the first and last POINT only
"""
import json
import sys

from lxml import etree

NS = {'l': 'http://www.landxml.org/schema/LandXML-1.2'}


def quoted(value):
    return 'NONE' if value is None else json.dumps(value, ensure_ascii=False)


def main():
    root = etree.parse(sys.argv[1]).getroot()
    summary = len(sys.argv) > 2 and sys.argv[2] == 'summary'
    print(f"ROOT\t{etree.QName(root).localname}\t{root.get('version')}")
    print("CHILDREN\t" + "\t".join(etree.QName(c).localname for c in root if isinstance(c.tag, str)))
    for a in root.findall('l:Alignments/l:Alignment', NS):
        print(f"ALIGNMENT\t{a.get('name')}")
    points = root.findall('l:CgPoints/l:CgPoint', NS)
    shown = [points[0], points[-1]] if summary and points else points
    for p in shown:
        numbers = " ".join(p.text.split())
        print(f"POINT\t{quoted(p.get('name'))}\t{quoted(p.get('code'))}\t{numbers}")
    print(f"COUNT\t{len(points)}")


main()
