#!/usr/bin/env python3
"""Reads a written PDF with readers of its own: its cross-reference table,
and the embedded font subset with fontTools against the original font.

check_font.py PDF FONT USED UNUSED
  USED:   characters drawn in the PDF; their outlines (components of composites
          included) must be the original's, their widths in the W array the
          original's advances, and the ToUnicode map must give them back.
  UNUSED: characters not drawn; their glyphs must be empty in the subset.
Prints what fails and exits with 1, or exits with 0.
"""
import io
import re
import sys
import zlib

from fontTools.ttLib import TTCollection, TTFont


def fail(message):
    print(message)
    sys.exit(1)


def objects(pdf):
    """Each object's number, dictionary text and stream bytes (inflated)."""
    found = {}
    for m in re.finditer(rb"(\d+) 0 obj\n", pdf):
        number = int(m.group(1))
        end = pdf.index(b"endobj", m.end())
        body = pdf[m.start():end]
        stream = None
        at = body.find(b"stream\n")
        if at >= 0:
            length = int(re.search(rb"/Length (\d+)", body[:at]).group(1))
            begin = m.start() + at + len(b"stream\n")
            stream = pdf[begin:begin + length]
            if b"/FlateDecode" in body[:at]:
                stream = zlib.decompress(stream)
            end = pdf.index(b"endobj", begin + length)
            body = body[:at]
        found[number] = (body.decode("latin-1"), stream)
    return found


def check_xref(pdf):
    start = int(re.search(rb"startxref\n(\d+)\n%%EOF\n$", pdf).group(1))
    head = re.match(rb"xref\n0 (\d+)\n", pdf[start:])
    if not head:
        fail("no xref table at startxref")
    count = int(head.group(1))
    at = start + head.end()
    for k in range(1, count):
        entry = pdf[at + 20 * k:at + 20 * k + 20]
        offset = int(entry[:10])
        if entry[17:18] != b"n" or not pdf[offset:].startswith(b"%d 0 obj" % k):
            fail("xref entry %d does not point at its object" % k)


def main():
    pdf = open(sys.argv[1], "rb").read()
    original = TTCollection(sys.argv[2]).fonts[0]
    used, unused = sys.argv[3], sys.argv[4]
    check_xref(pdf)
    found = objects(pdf)

    descriptor = next(body for body, _ in found.values() if "/FontDescriptor" in body and "/FontFile2" in body)
    file_number = int(re.search(r"/FontFile2 (\d+) 0 R", descriptor).group(1))
    dictionary, data = found[file_number]
    if int(re.search(r"/Length1 (\d+)", dictionary).group(1)) != len(data):
        fail("Length1 is not the font file's length")
    words = sum(int.from_bytes(data[i:i + 4].ljust(4, b"\0"), "big") for i in range(0, len(data), 4))
    if words % 2**32 != 0xB1B0AFBA:
        fail("the font file's checksum adjustment is wrong")
    subset = TTFont(io.BytesIO(data))
    if subset["maxp"].numGlyphs != original["maxp"].numGlyphs:
        fail("glyph ids moved")

    cid_font = next(body for body, _ in found.values() if "/CIDFontType2" in body)
    widths = {}
    tokens = re.findall(r"\[|\]|\d+", re.search(r"/W (\[.*\])", cid_font).group(1))[1:-1]
    k = 0
    while k < len(tokens):
        first = int(tokens[k])
        k += 2  # past the id and "["
        while tokens[k] != "]":
            widths[first] = int(tokens[k])
            first += 1
            k += 1
        k += 1
    cmap_body = next(stream for body, stream in found.values() if stream and b"beginbfchar" in stream)
    to_unicode = {int(g, 16): chr(int(u, 16)) for g, u in re.findall(rb"<([0-9A-F]{4})> <([0-9A-F]{4})>", cmap_body)}

    best = original.getBestCmap()
    units = original["head"].unitsPerEm
    for ch in used:
        name = best[ord(ch)]
        gid = original.getGlyphID(name)
        mine = subset["glyf"][subset.getGlyphName(gid)]
        theirs = original["glyf"][name]
        if list(mine.getCoordinates(subset["glyf"])[0]) != list(theirs.getCoordinates(original["glyf"])[0]):
            fail("outline of %r (glyph %d) differs from the original" % (ch, gid))
        if widths.get(gid) != round(original["hmtx"][name][0] * 1000 / units):
            fail("width of %r (glyph %d) is %r" % (ch, gid, widths.get(gid)))
        if to_unicode.get(gid) != ch:
            fail("ToUnicode gives %r for %r" % (to_unicode.get(gid), ch))
    for ch in unused:
        gid = original.getGlyphID(best[ord(ch)])
        if subset["glyf"][subset.getGlyphName(gid)].numberOfContours != 0:
            fail("glyph of unused %r is kept" % ch)


main()
