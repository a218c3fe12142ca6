#!/usr/bin/env python3
"""Builds exif_expected.tsv from what exiftool reads in the corpus files.

Run once by hand (python3 make_exif_expected.py CORPUS_DIR > exif_expected.tsv)
and commit the result: the table holds the tag values as exiftool decodes
them, turned into the date text and summary by the reader's rules, so the
test checks the C++ reader against an independent reading of each file.
Only the first Exif APP1 block counts, IFD0 and the Exif IFD it points to.
"""
import re
import struct
import subprocess
import sys
from decimal import Decimal, ROUND_HALF_UP
from pathlib import Path

DIR_RE = re.compile(r'^  ((?:\| )*)\+ \[(\w+) directory')
# "N)  Name = value", or "N)  Name (SubDirectory) -->" for a pointer tag.
ENTRY_RE = re.compile(r'^  ((?:\| )*)\d+\)\s+(\w+)(?: = (.*)|\s.*)?$')
TAG_RE = re.compile(r'^  (?:\| )*\s*- Tag 0x([0-9a-f]{4}) \((\d+) bytes, (\w+)\[(\d+)\]\):')
HEX_RE = re.compile(r'^  (?:\| )*\s+[0-9a-f]{4,}: ((?:[0-9a-f]{2} )+)')

PROGRAMS = {1: "|Manual", 2: "|Normal", 3: "|Apperture priority", 4: "|Shutter priority",
            5: "|Creative", 6: "|Action", 7: "|Portrait", 8: "|Landscape"}


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def s32(x):
    return struct.unpack('<i', struct.pack('<I', x & 0xFFFFFFFF))[0]


def entries(path):
    """(directory, tag, type, count, hex bytes, exiftool value) in file order."""
    out = subprocess.run(['exiftool', '-v3', str(path)], capture_output=True, text=True).stdout
    stack = {}  # depth -> directory name
    found = []
    in_exif_app1 = False
    seen_app1 = False
    current = None
    for line in out.splitlines():
        if line.startswith('JPEG '):
            # Only the first APP1 that holds EXIF; later segments are ignored.
            in_exif_app1 = line.startswith('JPEG APP1') and not seen_app1
            continue
        if not in_exif_app1:
            continue
        m = DIR_RE.match(line)
        if m:
            depth = len(m.group(1)) // 2
            stack = {d: n for d, n in stack.items() if d < depth}
            stack[depth] = m.group(2)
            if m.group(2) == 'IFD0':
                seen_app1 = True
            continue
        m = ENTRY_RE.match(line)
        if m:
            depth = len(m.group(1)) // 2
            current = {'dir': stack.get(depth - 1), 'value': m.group(3) or '', 'hex': []}
            continue
        m = TAG_RE.match(line)
        if m and current is not None:
            current.update(tag=int(m.group(1), 16), type=m.group(3), count=int(m.group(4)))
            continue
        m = HEX_RE.match(line)
        if m and current is not None and 'tag' in current:
            if not current['hex']:
                found.append(current)
            current['hex'] += [int(b, 16) for b in m.group(1).split()]
    # exiftool prints a subdirectory where its pointer stands; the reader
    # goes through all of IFD0 first and then the Exif IFD.
    return ([e for e in found if e['dir'] == 'IFD0'] +
            [e for e in found if e['dir'] == 'ExifIFD'])


def fnumber(n, d):
    q = Decimal(f32(f32(n) / f32(d)))
    exponent = q.adjusted()
    place = max(exponent - 1, -1)
    r = q.quantize(Decimal(1).scaleb(place), rounding=ROUND_HALF_UP)
    if r >= 100:
        return '|F%d' % int(r)
    if place < 0:
        return '|F%s' % format(r, 'f')
    return '|F%d.0' % int(r)


def exposure(n, d):
    if d <= 0:
        return '|%d sec' % n
    if n > 1 and n > d:
        if n % d == 0:
            return '|%d sec' % (n // d)
        t = Decimal(n) / Decimal(d)
        return '|%s sec' % format(t.quantize(Decimal('0.1'), rounding=ROUND_HALF_UP), 'f')
    if n > 1:
        d //= n
        n = 1
    return '|%d/%d sec' % (n, d)


def read(path, big_endian):
    date = ''
    items = []
    for e in entries(path):
        tag, raw = e['tag'], bytes(e['hex'])
        if e['dir'] == 'IFD0' and tag == 0x0132:
            date = raw[:e['count']].split(b'\0')[0].decode('latin-1')
        elif tag == 0xA405:
            items.append('|(eg35) %d' % first_int(e))
        elif e['dir'] == 'ExifIFD' and tag in (0x829A, 0x829D):
            fmt = '>II' if big_endian else '<II'
            n, d = (s32(v) for v in struct.unpack(fmt, raw[:8]))
            if tag == 0x829A:
                items.append(exposure(n, d))
            elif n > 0 and d > 0:
                items.append(fnumber(n, d))
        elif e['dir'] == 'ExifIFD' and tag == 0x8822:
            if first_int(e) in PROGRAMS:
                items.append(PROGRAMS[first_int(e)])
        elif e['dir'] == 'ExifIFD' and tag == 0x8827:
            items.append('|ISO %d' % first_int(e))
    return date, ''.join(items)


def first_int(e):
    return int(e['value'].split()[0]) & 0xFFFF


def main():
    corpus = Path(sys.argv[1])
    print('file\tdate\tsummary')
    for path in sorted(corpus.glob('*.jpg')):
        order = subprocess.run(['exiftool', '-s3', '-ExifByteOrder', str(path)],
                               capture_output=True, text=True).stdout.strip()
        date, summary = read(path, order.startswith('Big'))
        print('%s\t%s\t%s' % (path.name, date, summary))


if __name__ == '__main__':
    main()
