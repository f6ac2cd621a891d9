#!/usr/bin/env python3
"""Builds the seed inputs of the fuzz targets from the test fixtures.

    fuzz/make_seeds.py OUT

writes OUT/<target>/<name> for every target of fuzz/CMakeLists.txt. The
committed corpora under fuzz/corpus were grown from these seeds and then
minimised; rerun this when the fixtures change.
"""
import os
import re
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, 'tests', 'data')
sys.path.insert(0, DATA)
import vobtool  # noqa: E402  (the fixtures' own program stream helpers)

PACK = 2048
DISCS = ['ntsc', 'pal_en', 'pal_en_fr', 'split']


def write(out, target, name, data):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


def read(*parts):
    with open(os.path.join(*parts), 'rb') as f:
        return f.read()


def vobs(disc):
    folder = os.path.join(DATA, 'discs', disc, 'VIDEO_TS')
    return [os.path.join(folder, n) for n in sorted(os.listdir(folder))
            if n.upper().endswith('.VOB')]


def demux_seeds(out):
    # Short runs of packs: the start of each title (navigation and first
    # subtitle packs) and the packs of a few subpicture units with a pack
    # before and after them. The first byte picks the stream.
    for disc in DISCS:
        data = vobtool.read_files(vobs(disc))
        streams = 2 if disc == 'pal_en_fr' else 1
        write(out, 'demux', disc + '_start', b'\0' + data[:8 * PACK])
        for s in range(streams):
            for n, spu in enumerate(vobtool.spus(data, 0x20 + s)):
                if n >= 3:
                    break
                first, last = spu['packs'][0] - 1, spu['packs'][-1] + 1
                chunk = data[max(first, 0) * PACK:(last + 1) * PACK]
                write(out, 'demux', '%s_s%d_spu%d' % (disc, s, n), bytes([s]) + chunk)
    # Other writers: ffmpeg's muxer (system headers before the first packet
    # of a unit of stream 0x21 at pack 120 and of 0x20 at pack 440), first
    # packets without a PTS behind stuffed pack headers, damaged units, and a
    # .sub of natural-length packs (control bit 0x80 reads it so).
    variants = os.path.join(DATA, 'variants')
    ff = read(variants, 'ffmpeg.vob')
    write(out, 'demux', 'ffmpeg_s1', b'\x01' + ff[118 * PACK:124 * PACK])
    write(out, 'demux', 'ffmpeg_s0', b'\0' + ff[438 * PACK:444 * PACK])
    write(out, 'demux', 'unstamped', b'\0' + read(variants, 'unstamped.vob')[24 * PACK:50 * PACK])
    write(out, 'demux', 'damaged', b'\0' + read(variants, 'damaged.vob')[46 * PACK:126 * PACK])
    write(out, 'demux', 'unpadded', b'\x80' + read(variants, 'unpadded.sub')[:6 * PACK])
    broken = os.path.join(DATA, 'broken')
    write(out, 'demux', 'bad_pack_start', b'\0' + read(broken, 'bad_pack_start.vob')[:6 * PACK])
    tail = read(broken, 'truncated.vob')
    write(out, 'demux', 'truncated_tail', b'\0' + tail[-(3 * PACK + PACK // 2):])
    write(out, 'demux', 'random', b'\0' + read(broken, 'random_64k.bin')[:4 * PACK])


def spu_seeds(out):
    for disc in DISCS:
        data = vobtool.read_files(vobs(disc))
        for n, spu in enumerate(vobtool.spus(data, 0x20)):
            if n >= 4:
                break
            write(out, 'spu', '%s_%d' % (disc, n), spu['buf'][:spu['size']])


def ifo_seeds(out):
    for disc in DISCS:
        folder = os.path.join(DATA, 'discs', disc, 'VIDEO_TS')
        write(out, 'ifo', disc + '_VTS_01_0.IFO', read(folder, 'VTS_01_0.IFO'))
    write(out, 'ifo', 'VIDEO_TS.IFO', read(DATA, 'discs', 'pal_en', 'VIDEO_TS', 'VIDEO_TS.IFO'))
    for name in ['short604_VTS_01_0.IFO', 'short700_VTS_01_0.IFO']:
        write(out, 'ifo', name, read(DATA, 'broken', name))


def vobsub_seeds(out):
    folder = os.path.join(DATA, 'vobsub')
    for name in sorted(os.listdir(folder)):
        if name.endswith('.idx'):
            write(out, 'vobsub', name, read(folder, name))
    write(out, 'vobsub', 'hd.idx', read(DATA, 'variants', 'hd.idx'))
    # The spellings the reader also takes: CR LF, upper case, tabs, a file
    # delay and section delays (one negative), entries out of file order.
    write(out, 'vobsub', 'loose.idx', b'# VobSub index file, v7\r\n'
          b'delay: 00:00:01:000\r\nlangidx: 1\r\n\r\nID: en , INDEX: 0\r\n'
          b'\ttimestamp:\t00:00:05:000 , filepos: 0001F800\r\n'
          b'timestamp: 00:00:02:000, filepos: 000000800\r\n'
          b'id: --, index: 31\r\ndelay: -00:00:00:500\r\n'
          b'timestamp: 999:59:59:999, filepos: ffffffffffffffff\r\n'
          b'timestamp: 00:00:00:100, filepos: 0')
    # The frame size and palette lines of a pair this program wrote, and
    # damaged ones (15 colours, a colour too large, no height).
    write(out, 'vobsub', 'own.idx', b'size: 720x480\npalette: ' +
          b', '.join(b'%06x' % (0x111111 * k) for k in range(16)) +
          b'\nid: en, index: 0\ntimestamp: 00:00:01:000, filepos: 000000000\n'
          b'size: 720\npalette: ' + b', '.join([b'000000'] * 15) +
          b'\npalette: 1000000, 0\n')


def matrix_bytes(comment, entries):
    b = b'Mirtal_Char_Matrix_File' + comment.ljust(255, b'\0')[:255]
    b += struct.pack('<H', len(entries))
    for top, width, height, text, rows in entries:
        bits = bytearray(254)
        for y, row in enumerate(rows):
            for x, ch in enumerate(row):
                if ch == '#':
                    k = 45 * y + x
                    bits[k // 8] |= 0x80 >> (k % 8)
        b += bytes([top, width, height]) + text.ljust(20, b'\0')[:20] + bytes(bits)
    return b


def matrix_seeds(out):
    # No matrix file is committed with the fixtures: these are written in
    # the file format from small hand-drawn glyphs.
    i_glyph = ['#'] * 9
    o_glyph = [' ## ', '#  #', '#  #', '#  #', ' ## ']
    l_glyph = ['#   '] * 6 + ['####']
    write(out, 'matrix', 'empty', matrix_bytes(b'', []))
    write(out, 'matrix', 'three', matrix_bytes(b'pal_en', [
        (2, 1, 9, b'i', i_glyph), (4, 4, 5, b'o', o_glyph), (0, 4, 7, b'L', l_glyph)]))
    write(out, 'matrix', 'wide', matrix_bytes(b'x' * 255, [
        (0, 45, 45, b'W' * 20, ['#' * 45] * 45), (0, 4, 5, b'\xe9', o_glyph)]))


def text_seeds(out):
    golden = os.path.join(ROOT, 'tests', 'subtitles', 'golden')
    for name in sorted(os.listdir(golden)):
        if name.endswith('.vtx'):
            # The first byte scripts the answers to damaged entries.
            write(out, 'native', name, b'\x04' + read(golden, name))
    # In UTF-8 (the first byte's top bit), with a byte order mark and letters
    # from both halves of Windows-1252 and one from outside it; then a byte
    # that is not UTF-8 on the third line.
    accents = ('1\r\n00:00:01,501 --> 00:00:03,250  X1:160 X2:559 Y1:470 Y2:519\r\n'
               'D\u00e9j\u00e0 vu, \u00e7a co\u00fbte 5 \u20ac\u2026\r\n\u0152uvre \u2122 \u0161\r\n\r\n'
               '2\r\n00:00:04,000 --> 00:00:05,000  X1:008 X2:102 Y1:400 Y2:575\r\n'
               'Stra\u00dfe \u2013 \u201cna\u00efve\u201d \u263a\r\n\r\n').encode('utf-8')
    write(out, 'native', 'utf8_bom.vtx', b'\x84\xef\xbb\xbf' + accents)
    write(out, 'native', 'utf8_bad.vtx', b'\x84' + accents.replace('vu'.encode(), b'v\xe9'))
    # SubRip files as other programs write them (a mark, CR LF, loose blank lines).
    for name in sorted(os.listdir(os.path.join(DATA, 'srt'))):
        write(out, 'native', name, b'\x04' + read(DATA, 'srt', name))
    for name in sorted(os.listdir(os.path.join(ROOT, 'lang'))):
        if name.endswith('.lng'):
            lng = read(ROOT, 'lang', name)
            write(out, 'language', name, lng)
            write(out, 'ini', name, lng)

    # A settings file with every section and key the program reads.
    source = read(ROOT, 'src', 'settings', 'SettingsFile.cpp').decode('latin-1')
    sections = dict(re.findall(r'constexpr const char\* (k\w+) = "([^"]+)";', source))
    keys = {}
    for const, key in re.findall(r'\((k\w+), "(\w+)"', source):
        if const in sections:
            keys.setdefault(sections[const], []).append(key)
    lines = []
    for section, names in keys.items():
        lines.append('[%s]' % section)
        lines += ['%s=%d' % (k, n % 3) for n, k in enumerate(dict.fromkeys(names))]
        lines.append('')
    write(out, 'ini', 'Mirtal.ini', '\r\n'.join(lines).encode('latin-1'))
    write(out, 'ini', 'odd.ini', b'; comment\n[CONFIG\nnoequals\n[ Config ]\n a = b \r'
          b'[config]\nA=-2147483649\n=x\n')


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    demux_seeds(out)
    spu_seeds(out)
    ifo_seeds(out)
    vobsub_seeds(out)
    matrix_seeds(out)
    text_seeds(out)


if __name__ == '__main__':
    main()
