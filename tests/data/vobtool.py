#!/usr/bin/env python3
"""Helper for tests/data/make_fixtures.sh: inspects the MPEG-2 program streams
(VOB files) and IFO files that the fixture script builds, and writes the
ground-truth files next to each disc.

It only uses the Python standard library plus ffprobe/ffmpeg/spumux from the
system.  Sub-commands:

  scr FILE...                 first SCR and first video PTS (90 kHz)
  spuscan --sub ID FILE...    our own scan of every subpicture unit -> TSV
  png --sub ID --index N      write one decoded subpicture as a grey PNG
  ffprobe --sub ID FILE...    ffprobe/ffmpeg's view of every subpicture -> TSV
  truth --sub ID --srt S --xml T FILE...
                              the text of every subpicture as rendered by
                              spumux (SRT lines, re-wrapped where spumux wrapped)
  straddle --sub ID FILE...   pick a subpicture unit spread over >= 2 packs
  ifo FILE                    subpicture languages and PGC 1 palette
"""
import argparse
import os
import struct
import subprocess
import sys
import tempfile
import zlib

PACK = 2048


# ---------------------------------------------------------------- MPEG-PS ---

def scr_of(p):
    b = p[4:10]
    base = (((b[0] >> 3) & 7) << 30 | (b[0] & 3) << 28 | b[1] << 20 |
            (b[2] >> 3) << 15 | (b[2] & 3) << 13 | b[3] << 5 | (b[4] >> 3))
    ext = ((b[4] & 3) << 7) | (b[5] >> 1)
    return base, ext


def pts_of(b):
    return (((b[0] >> 1) & 7) << 30 | b[1] << 22 | (b[2] >> 1) << 15 |
            b[3] << 7 | (b[4] >> 1))


def packs(data):
    for i in range(0, len(data) - len(data) % PACK, PACK):
        yield i // PACK, data[i:i + PACK]


def pes_list(p):
    """Yield (stream_id, payload, pts) for the PES packets of one pack."""
    if p[:4] != b'\0\0\1\xba':
        return
    off = 14 + (p[13] & 7)
    while off + 6 <= len(p):
        if p[off:off + 3] != b'\0\0\1':
            break
        sid = p[off + 3]
        ln = struct.unpack('>H', p[off + 4:off + 6])[0]
        body = p[off + 6:off + 6 + ln]
        pts = None
        payload = body
        if sid == 0xbd or 0xc0 <= sid <= 0xef:
            hl = body[2]
            if body[1] & 0x80:
                pts = pts_of(body[3:8])
            payload = body[3 + hl:]
        yield sid, payload, pts
        off += 6 + ln


def read_files(files):
    return b''.join(open(f, 'rb').read() for f in files)


def spus(data, sub):
    """Assemble the subpicture units of private stream 1 substream `sub`."""
    cur = None
    for idx, p in packs(data):
        for sid, pl, pts in pes_list(p):
            if sid != 0xbd or not pl or pl[0] != sub:
                continue
            if cur is None:
                cur = {'pts': pts, 'packs': [], 'buf': b''}
            cur['packs'].append(idx)
            cur['buf'] += pl[1:]
            if len(cur['buf']) >= 2:
                size = struct.unpack('>H', cur['buf'][:2])[0]
                if len(cur['buf']) >= size:
                    cur['size'] = size
                    yield cur
                    cur = None


# ----------------------------------------------------------- subpictures ---

def parse_ctrl(buf):
    size, dcsq = struct.unpack('>HH', buf[:4])
    seqs = []
    pos = dcsq
    while True:
        delay, nxt = struct.unpack('>HH', buf[pos:pos + 4])
        cmds = {}
        i = pos + 4
        while i < size:
            c = buf[i]
            i += 1
            if c == 0xff:
                break
            if c in (0, 1, 2):
                cmds[c] = True
            elif c == 3:
                cmds['color'] = (buf[i] >> 4, buf[i] & 15, buf[i + 1] >> 4, buf[i + 1] & 15)
                i += 2
            elif c == 4:
                cmds['contr'] = (buf[i] >> 4, buf[i] & 15, buf[i + 1] >> 4, buf[i + 1] & 15)
                i += 2
            elif c == 5:
                a = buf[i:i + 6]
                i += 6
                cmds['area'] = ((a[0] << 4) | (a[1] >> 4), (a[3] << 4) | (a[4] >> 4),
                                ((a[1] & 15) << 8) | a[2], ((a[4] & 15) << 8) | a[5])
            elif c == 6:
                cmds['offs'] = struct.unpack('>HH', buf[i:i + 4])
                i += 4
            else:
                raise ValueError('unknown control command 0x%02x' % c)
        seqs.append((delay, cmds))
        if nxt == pos:
            break
        pos = nxt
    return seqs


def decode_field(buf, off, w, nlines):
    rows = []
    n = off * 2

    def nib():
        nonlocal n
        v = (buf[n >> 1] >> (4 * (1 - (n & 1)))) & 15
        n += 1
        return v

    for _ in range(nlines):
        line = []
        while len(line) < w:
            v = nib()
            if v < 0x4:
                v = v << 4 | nib()
                if v < 0x10:
                    v = v << 4 | nib()
                    if v < 0x40:
                        v = v << 4 | nib()
            run, col = v >> 2, v & 3
            if run == 0:
                run = w - len(line)
            line.extend([col] * run)
        rows.append(tuple(line[:w]))
        if n & 1:
            n += 1
    return rows


def bitmap(buf):
    seqs = parse_ctrl(buf)
    c0 = seqs[0][1]
    x1, y1, x2, y2 = c0['area']
    w, h = x2 - x1 + 1, y2 - y1 + 1
    top, bot = c0['offs']
    even = decode_field(buf, top, w, (h + 1) // 2)
    odd = decode_field(buf, bot, w, h // 2)
    rows = [even[y // 2] if y % 2 == 0 else odd[y // 2] for y in range(h)]
    return (x1, y1, x2, y2), rows


def visible_box(area, rows, contr):
    """Smallest box (x1, y1, x2, y2) holding every pixel whose code has a
    non-zero contrast; contr gives the contrast for codes 3, 2, 1, 0."""
    seen = {3 - k for k, c in enumerate(contr) if c}
    ys = [y for y, r in enumerate(rows) if any(v in seen for v in r)]
    xs = [x for r in rows for x, v in enumerate(r) if v in seen]
    if not ys:
        return (-1, -1, -1, -1)
    return (area[0] + min(xs), area[1] + ys[0], area[0] + max(xs), area[1] + ys[-1])


def write_png(path, rows, grey):
    h = len(rows)
    w = len(rows[0]) if h else 0
    raw = b''.join(b'\0' + bytes(grey[v] for v in r) for r in rows)

    def chunk(t, d):
        return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)

    png = (b'\x89PNG\r\n\x1a\n' +
           chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 0, 0, 0, 0)) +
           chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(png)


# ------------------------------------------------------------------- SRT ---

def parse_srt(path):
    def ms(t):
        hms, frac = t.strip().split(',')
        h, m, s = hms.split(':')
        return ((int(h) * 60 + int(m)) * 60 + int(s)) * 1000 + int(frac)

    subs = []
    with open(path, encoding='utf-8') as f:
        blocks = f.read().replace('\r\n', '\n').strip('\n').split('\n\n')
    for b in blocks:
        lines = b.split('\n')
        a, z = lines[1].split('-->')
        subs.append((ms(a), ms(z), lines[2:]))
    return subs


def fmt_srt_time(ms):
    h, ms = divmod(ms, 3600000)
    m, ms = divmod(ms, 60000)
    s, ms = divmod(ms, 1000)
    return '%02d:%02d:%02d,%03d' % (h, m, s, ms)


def render(xml_template, texts, workdir):
    """Render each text (list of lines) with spumux --nomux; return bitmaps."""
    srt = os.path.join(workdir, 'cand.srt')
    with open(srt, 'w', encoding='utf-8') as f:
        for i, lines in enumerate(texts):
            t = 1000 + 5000 * i
            f.write('%d\n%s --> %s\n%s\n\n' % (i + 1, fmt_srt_time(t), fmt_srt_time(t + 2000),
                                               '\n'.join(lines)))
    xml = os.path.join(workdir, 'cand.xml')
    with open(xml_template, encoding='utf-8') as f:
        body = f.read().replace('@SRT@', srt)
    with open(xml, 'w', encoding='utf-8') as f:
        f.write(body)
    out = os.path.join(workdir, 'cand.mpg')
    with open(out, 'wb') as fo, open(os.devnull, 'wb') as dn:
        subprocess.run(['spumux', '--nomux', '-m', 'dvd', '-s', '0', xml],
                       stdin=subprocess.DEVNULL, stdout=fo, stderr=dn, check=True)
    res = [bitmap(s['buf']) for s in spus(read_files([out]), 0x20)]
    if len(res) != len(texts):
        raise SystemExit('spumux rendered %d of %d candidates' % (len(res), len(texts)))
    return res


def splits(lines):
    """All ways of breaking exactly one line of `lines` at one space."""
    out = []
    for k, ln in enumerate(lines):
        for j, ch in enumerate(ln):
            if ch == ' ':
                out.append(lines[:k] + [ln[:j], ln[j + 1:]] + lines[k + 1:])
    return out


def cmd_truth(a):
    subs = parse_srt(a.srt)
    units = list(spus(read_files(a.files), a.sub))
    if len(units) != len(subs):
        raise SystemExit('%s: %d subtitles in SRT but %d subpicture units' %
                         (a.srt, len(subs), len(units)))
    with tempfile.TemporaryDirectory() as wd:
        (pa, p1), (pb, p2) = render(a.xml, [['Ag'], ['Ag', 'Ag']], wd)
        h1, pitch = len(p1), len(p2) - len(p1)
        blocks = []
        wrapped = []
        for i, ((_, _, lines), u) in enumerate(zip(subs, units)):
            area, rows = bitmap(u['buf'])
            nlines = max(1, 1 + round((len(rows) - h1) / pitch))
            need = nlines - len(lines)
            if need < 0:
                raise SystemExit('subtitle %d: %d lines rendered, %d in SRT' % (i, nlines, len(lines)))
            text = lines
            if need > 0:
                cand = [lines]
                for _ in range(need):
                    cand = [c for base in cand for c in splits(base)]
                cand = [list(c) for c in dict.fromkeys(tuple(c) for c in cand)]
                if not cand:
                    raise SystemExit('subtitle %d: cannot break into %d lines' % (i, nlines))
                bms = render(a.xml, cand, wd)
                hit = [c for c, bm in zip(cand, bms) if bm == (area, rows)]
                if len(hit) != 1:
                    raise SystemExit('subtitle %d: %d wrap candidates match' % (i, len(hit)))
                text = hit[0]
                wrapped.append(i)
            blocks.append('\n'.join(text))
    with open(a.out, 'w', encoding='utf-8', newline='\n') as f:
        f.write('\n\n'.join(blocks) + '\n')
    print('wrapped_units=%s' % ','.join(map(str, wrapped)))


# ----------------------------------------------------------- commands -------

def cmd_scr(a):
    data = read_files(a.files)
    base, ext = scr_of(data[:14])
    vpts = None
    for idx, p in packs(data):
        for sid, pl, pts in pes_list(p):
            if sid == 0xe0 and pts is not None:
                vpts = pts
                break
        if vpts is not None:
            break
    print('first_scr=%d' % base)
    print('first_scr_ext=%d' % ext)
    print('first_video_pts=%d' % vpts)


def cmd_spuscan(a):
    rows_out = ['\t'.join(['index', 'first_pack', 'last_pack', 'packs', 'pts', 'size',
                           'start_delay', 'stop_delay', 'x1', 'y1', 'x2', 'y2',
                           'color', 'contrast', 'n0', 'n1', 'n2', 'n3',
                           'vis_x1', 'vis_y1', 'vis_x2', 'vis_y2'])]
    for i, s in enumerate(spus(read_files(a.files), a.sub)):
        if len(s['buf']) != s['size']:
            raise SystemExit('unit %d: %d bytes assembled, size field %d' % (i, len(s['buf']), s['size']))
        seqs = parse_ctrl(s['buf'])
        c0 = seqs[0][1]
        stop = [d for d, c in seqs if 2 in c]
        area, rows = bitmap(s['buf'])
        hist = [0, 0, 0, 0]
        for r in rows:
            for v in r:
                hist[v] += 1
        vis = visible_box(area, rows, c0['contr'])
        rows_out.append('\t'.join(str(x) for x in [
            i, s['packs'][0], s['packs'][-1], len(s['packs']), s['pts'], s['size'],
            seqs[0][0], stop[0] if stop else -1, *area,
            ''.join('%x' % v for v in c0['color']), ''.join('%x' % v for v in c0['contr']),
            *hist, *vis]))
    with open(a.out, 'w') as f:
        f.write('\n'.join(rows_out) + '\n')


def cmd_png(a):
    for i, s in enumerate(spus(read_files(a.files), a.sub)):
        if i == a.index:
            _, rows = bitmap(s['buf'])
            write_png(a.out, rows, {0: 128, 1: 0, 2: 255, 3: 60})
            return
    raise SystemExit('no unit %d' % a.index)


def cmd_ffprobe(a):
    src = a.files[0] if len(a.files) == 1 else 'concat:' + '|'.join(a.files)
    sel = '#0x%02x' % a.sub

    def run(args):
        return subprocess.run(args, check=True, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL).stdout.decode()

    pk = [l.split(',') for l in run(
        ['ffprobe', '-v', 'error', '-select_streams', sel, '-show_entries',
         'packet=pts,size', '-of', 'csv=p=0', src]).split()]
    fr = [l.split(',') for l in run(
        ['ffprobe', '-v', 'error', '-select_streams', sel, '-show_frames', '-show_entries',
         'subtitle=pts,start_display_time,end_display_time,num_rects', '-of', 'csv=p=0',
         src]).split()]
    # ffmpeg's decoder crops each subpicture to its visible pixels; encoding
    # the decoded subtitles again as DVD subpictures keeps that rectangle.
    with tempfile.TemporaryDirectory() as wd:
        out = os.path.join(wd, 're.mpg')
        subprocess.run(['ffmpeg', '-v', 'error', '-threads', '1', '-i', src, '-map', '0:' + sel,
                        '-c:s', 'dvdsub', '-s:s', a.size, '-f', 'dvd', '-y', out], check=True,
                       stderr=subprocess.DEVNULL)
        rects = []
        for u in spus(read_files([out]), 0x20):
            x1, y1, x2, y2 = parse_ctrl(u['buf'])[0][1]['area']
            rects.append((x1, y1, x2 - x1 + 1, y2 - y1 + 1))
    if not (len(pk) == len(fr) == len(rects)):
        raise SystemExit('ffprobe: %d packets, %d frames, %d rects' % (len(pk), len(fr), len(rects)))
    out = ['\t'.join(['index', 'pts', 'start_ms', 'stop_ms', 'size', 'vis_x', 'vis_y', 'vis_w', 'vis_h'])]
    for i, ((pts, size), (fpts, sdt, edt, nr), (x, y, w, h)) in enumerate(zip(pk, fr, rects)):
        pts = int(pts)
        if abs(int(fpts) - pts * 1000 // 90) > 1 or nr != '1':
            raise SystemExit('unit %d: packet/frame mismatch' % i)
        out.append('\t'.join(str(v) for v in [i, pts, pts // 90 + int(sdt), pts // 90 + int(edt),
                                              int(size), x, y, w, h]))
    with open(a.out, 'w') as f:
        f.write('\n'.join(out) + '\n')


def cmd_straddle(a):
    data = read_files(a.files)
    npacks = len(data) // PACK
    for i, s in enumerate(spus(data, a.sub)):
        if len(s['packs']) >= 2 and s['packs'][0] >= npacks * a.min_frac:
            print('straddling_spu_index=%d' % i)
            print('spu_first_pack=%d' % s['packs'][0])
            print('spu_packs=%s' % ','.join(map(str, s['packs'])))
            print('cut_pack=%d' % (s['packs'][0] + 1))
            print('cut_offset=%d' % ((s['packs'][0] + 1) * PACK))
            return
    raise SystemExit('no subpicture unit spans two packs')


def cmd_ifo(a):
    d = open(a.files[0], 'rb').read()
    n = struct.unpack('>H', d[0x254:0x256])[0]
    print('ifo_subpicture_streams=%d' % n)
    for k in range(n):
        code = d[600 + 6 * k:602 + 6 * k].decode('latin-1')
        print('ifo_stream%d_lang=%s' % (k, code))
    pgci = struct.unpack('>I', d[0xcc:0xd0])[0] * 2048
    pgc = pgci + struct.unpack('>I', d[pgci + 12:pgci + 16])[0]
    pal = [d[pgc + 0xa4 + 4 * i:pgc + 0xa8 + 4 * i].hex() for i in range(16)]
    print('palette=%s' % ' '.join(pal))



def cmd_spmap(a):
    """The title set's video aspect and the subpicture stream control table
    of its first PGC: for each valid entry, the substreams shown on a 4:3
    screen and for the wide, letterbox and pan-scan views."""
    d = open(a.files[0], 'rb').read()
    attr = d[0x200]
    print('ifo_video_aspect=%s' % {0: '4:3', 3: '16:9'}.get((attr >> 2) & 3, 'reserved'))
    pgci = struct.unpack('>I', d[0xcc:0xd0])[0] * 2048
    pgc = pgci + struct.unpack('>I', d[pgci + 12:pgci + 16])[0]
    for k in range(32):
        e = d[pgc + 0x1c + 4 * k:pgc + 0x20 + 4 * k]
        if e[0] & 0x80:
            print('pgc_stream%d_substreams=%s' % (k, ' '.join('0x%02x' % (0x20 + (b & 0x1f)) for b in e)))

# ---------------------------------------------------------------- VobSub ---

def pes_spans(p):
    """Yield (offset, stream_id, header_length) of the PES packets of one pack."""
    if p[:4] != b'\0\0\1\xba':
        return
    off = 14 + (p[13] & 7)
    while off + 9 <= len(p) and p[off:off + 3] == b'\0\0\1':
        ln = struct.unpack('>H', p[off + 4:off + 6])[0]
        yield off, p[off + 3], p[off + 8]
        off += 6 + ln


def cmd_force(a):
    """Copy a VOB with the start command (0x01) of the first control sequence
    of every --every'th unit of --sub, from the first, made the forced start
    (0x00). Writes the indices of the forced units to --list."""
    data = bytearray(open(a.files[0], 'rb').read())
    cur = None
    forced = []
    n = 0
    for idx, p in packs(bytes(data)):
        for off, sid, hl in pes_spans(p):
            if sid != 0xbd:
                continue
            start = idx * PACK + off + 9 + hl
            if p[off + 9 + hl] != a.sub:
                continue
            ln = struct.unpack('>H', p[off + 4:off + 6])[0]
            end = idx * PACK + off + 6 + ln
            if cur is None:
                cur = {'spans': [], 'buf': b''}
            cur['spans'].append((start + 1, end))
            cur['buf'] += bytes(data[start + 1:end])
            if len(cur['buf']) >= 2 and len(cur['buf']) >= struct.unpack('>H', cur['buf'][:2])[0]:
                buf = cur['buf']
                if n % a.every == 0:
                    size, dcsq = struct.unpack('>HH', buf[:4])
                    i = dcsq + 4
                    while i < size and buf[i] != 1:
                        i += {3: 3, 4: 3, 5: 7, 6: 5}.get(buf[i], 1)
                    if i >= size:
                        raise ValueError('unit %d has no start command' % n)
                    for s0, s1 in cur['spans']:  # unit offset -> file offset
                        if i < s1 - s0:
                            data[s0 + i] = 0
                            break
                        i -= s1 - s0
                    forced.append(n)
                n += 1
                cur = None
    open(a.out, 'wb').write(data)
    with open(a.list, 'w') as f:
        f.write(' '.join(map(str, forced)) + '\n')


def read_idx(path):
    """(language, [(ms, filepos)]) of a one-stream .idx as mkvextract writes it."""
    lang, entries = None, []
    for line in open(path, encoding='ascii'):
        if line.startswith('id:'):
            lang = line.split(':')[1].split(',')[0].strip()
        elif line.startswith('timestamp:'):
            t, fp = line[10:].split(', filepos:')
            h, m, s, ms = map(int, t.strip().split(':'))
            entries.append((((h * 60 + m) * 60 + s) * 1000 + ms, int(fp, 16)))
    return lang, entries


def fmt_idx_time(ms):
    sign = '-' if ms < 0 else ''
    ms = abs(ms)
    return '%s%02d:%02d:%02d:%03d' % (sign, ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)


def cmd_nopts(a):
    """Merge one-stream VobSub pairs (the .sub files given; the .idx beside
    each) into one pair --out.sub/.idx whose stream k is substream 0x20 + k.
    Every PTS is zeroed, so only the .idx times the units; the .idx gives
    them --delay ms early and says `delay: +DELAY`, has CR LF line ends and
    lines a reader does not need."""
    units = []
    langs = []
    for k, sub in enumerate(a.files):
        data = open(sub, 'rb').read()
        lang, entries = read_idx(sub[:-4] + '.idx')
        langs.append(lang)
        for j, (ms, fp) in enumerate(entries):
            end = entries[j + 1][1] if j + 1 < len(entries) else len(data)
            units.append((ms, k, data[fp:end]))
    units.sort(key=lambda u: (u[0], u[1]))
    out = bytearray()
    index = [[] for _ in a.files]
    for ms, k, chunk in units:
        index[k].append((ms, len(out)))
        b = bytearray(chunk)
        for i in range(0, len(b), PACK):
            p = bytes(b[i:i + PACK])
            for off, sid, hl in pes_spans(p):
                if sid != 0xbd:
                    continue
                b[i + off + 9 + hl] = 0x20 + k
                if p[off + 7] & 0x80:
                    b[i + off + 9:i + off + 14] = b'\x21\x00\x01\x00\x01'
        out += b
    open(a.out + '.sub', 'wb').write(out)
    lines = ['# VobSub index file, v7 (do not modify this line!)',
             '# written by the Mirtal fixture script: no PTS in the .sub',
             'size: 720x576', 'org: 0, 0', 'scale: 100%, 100%', 'alpha: 100%',
             'smooth: OFF', 'fadein/out: 0, 0', 'align: OFF at LEFT TOP',
             'time offset: 0', 'forced subs: OFF',
             'palette: 000000, ebebeb, 101010, 101010, 101010, 101010, 101010, 101010, '
             '101010, 101010, 101010, 101010, 101010, 101010, 101010, 101010',
             'custom colors: OFF, tridx: 0000, colors: 000000, 000000, 000000, 000000',
             'langidx: 0', '']
    for k, lang in enumerate(langs):
        lines += ['# %s' % lang, 'id: %s, index: %d' % (lang, k),
                  'delay: ' + fmt_idx_time(a.delay)]
        lines += ['timestamp: %s, filepos: %09x' % (fmt_idx_time(ms - a.delay), fp)
                  for ms, fp in index[k]]
        lines.append('')
    open(a.out + '.idx', 'wb').write('\r\n'.join(lines).encode('ascii'))


# ------------------------------------------------------------- variants ---

def units_of(data, sub):
    """The units of substream `sub`: dicts with 'spans' (file offsets of the
    parts of the unit's bytes), 'buf' (the unit) and 'first_pack'."""
    cur = None
    for idx, p in packs(data):
        for off, sid, hl in pes_spans(p):
            if sid != 0xbd or p[off + 9 + hl] != sub:
                continue
            ln = struct.unpack('>H', p[off + 4:off + 6])[0]
            start, end = idx * PACK + off + 10 + hl, idx * PACK + off + 6 + ln
            if cur is None:
                cur = {'spans': [], 'buf': b'', 'first_pack': idx}
            cur['spans'].append((start, end))
            cur['buf'] += data[start:end]
            if len(cur['buf']) >= 2 and len(cur['buf']) >= struct.unpack('>H', cur['buf'][:2])[0]:
                yield cur
                cur = None


def patch_unit(data, unit, at, new):
    """Overwrite bytes of a unit (offset `at` in the unit) in the file."""
    for i, b in enumerate(new):
        o = at + i
        for s0, s1 in unit['spans']:
            if o < s1 - s0:
                data[s0 + o] = b
                break
            o -= s1 - s0


def area_offset(buf):
    """Offset of the 6 bytes of the first display area command (0x05)."""
    size, dcsq = struct.unpack('>HH', buf[:4])
    i = dcsq + 4
    while i < size and buf[i] != 5:
        i += {3: 3, 4: 3, 5: 7, 6: 5}.get(buf[i], 1)
    if i >= size:
        raise ValueError('no display area')
    return i + 1


def get_area(buf):
    b = buf[area_offset(buf):area_offset(buf) + 6]
    return (b[0] << 4 | b[1] >> 4, (b[1] & 15) << 8 | b[2], b[3] << 4 | b[4] >> 4, (b[4] & 15) << 8 | b[5])


def area_bytes(x1, x2, y1, y2):
    return bytes([x1 >> 4, (x1 & 15) << 4 | x2 >> 8, x2 & 255, y1 >> 4, (y1 & 15) << 4 | y2 >> 8, y2 & 255])


def cmd_damage(a):
    """Copy a VOB with units of --sub damaged, one kind each, in this order
    from unit 1 on: the control offset past the unit, the size field 0, the
    size field past the data, the display area inverted, the display area
    below the frame. --list gets the damaged unit indices."""
    data = bytearray(open(a.files[0], 'rb').read())
    units = list(units_of(bytes(data), a.sub))
    kinds = ['control', 'size0', 'size_big', 'inverted', 'outside']
    # Only units carried in one pack followed by padding may change size:
    # the packets of a longer unit would be read as units of their own.
    single = [i for i, u in enumerate(units) if len(u['spans']) == 1]
    chosen = {}
    for kind in kinds:
        pool = single if kind.startswith('size') else range(1, len(units))
        n = next(i for i in pool if i > 0 and i not in chosen)
        chosen[n] = kind
    for n, kind in chosen.items():
        u, buf = units[n], units[n]['buf']
        size, dcsq = struct.unpack('>HH', buf[:4])
        if kind == 'control':
            patch_unit(data, u, 2, struct.pack('>H', size + 8))
        elif kind == 'size0':
            patch_unit(data, u, 0, b'\0\0')
        elif kind == 'size_big':
            patch_unit(data, u, 0, struct.pack('>H', size + 200))
        else:
            x1, x2, y1, y2 = get_area(buf)
            new = area_bytes(x2, x1, y1, y2) if kind == 'inverted' else area_bytes(x1, x2, y1, 580)
            patch_unit(data, u, area_offset(buf), new)
    open(a.out, 'wb').write(data)
    with open(a.list, 'w') as f:
        f.write(' '.join(str(n) for n in sorted(chosen)) + '\n')


def cmd_unstamp(a):
    """Copy a VOB where the first packet of every other unit of --sub (from
    unit 0) has no PTS: the 5 bytes go, and the pack header gets 5 stuffing
    bytes instead. The other units keep their PTS, and those whose first
    pack ends in padding get 2 stuffing bytes taken from it. --list gets
    the start each unit must get, in ms: its pack's SCR where the PTS went."""
    data = bytearray(open(a.files[0], 'rb').read())
    starts = []
    for n, u in enumerate(units_of(bytes(data), a.sub)):
        at = u['first_pack'] * PACK
        p = bytearray(data[at:at + PACK])
        off, sid, hl = next((o, s, h) for o, s, h in pes_spans(bytes(p))
                            if s == 0xbd and p[o + 9 + h] == a.sub)
        delay = struct.unpack('>H', u['buf'][struct.unpack('>H', u['buf'][2:4])[0]:][:2])[0]
        if n % 2 == 0:
            if p[13] & 7 or hl < 5 or not p[off + 7] & 0x80:
                raise ValueError('unit %d: unexpected first packet' % n)
            ln = struct.unpack('>H', p[off + 4:off + 6])[0]
            p[off + 4:off + 6] = struct.pack('>H', ln - 5)
            p[off + 7] &= 0x3f
            p[off + 8] = hl - 5
            del p[off + 9:off + 14]
            p[13] |= 5
            p[14:14] = b'\xff' * 5
            starts.append(scr_of(p)[0] // 90 + delay * 1024 // 90)
        else:
            end = off + 6 + struct.unpack('>H', p[off + 4:off + 6])[0]
            if end + 6 <= PACK and p[end:end + 4] == b'\0\0\1\xbe' and not p[13] & 7:
                pad = struct.unpack('>H', p[end + 4:end + 6])[0]
                p[end + 4:end + 6] = struct.pack('>H', pad - 2)
                del p[end + 6:end + 8]
                p[13] |= 2
                p[14:14] = b'\xff\xff'
            starts.append(pts_of(data[at + off + 9:at + off + 14]) // 90 + delay * 1024 // 90)
        assert len(p) == PACK
        data[at:at + PACK] = p
    open(a.out, 'wb').write(data)
    with open(a.list, 'w') as f:
        f.write(' '.join(map(str, starts)) + '\n')


def natural_packs(data):
    """(offset, pack without its padding packets) of every pack of a .sub."""
    for idx, p in packs(data):
        keep = bytearray(p[:14 + (p[13] & 7)])
        for off, sid, hl in pes_spans(p):
            ln = struct.unpack('>H', p[off + 4:off + 6])[0]
            if sid != 0xbe:
                keep += p[off:off + 6 + ln]
        yield idx * PACK, bytes(keep)


def rewrite_idx(src, dst, moved, size=None):
    """Copy a .idx with each filepos mapped through `moved` (and the size line replaced)."""
    out = []
    for line in open(src, encoding='ascii').read().split('\n'):
        if line.startswith('timestamp:') and ', filepos:' in line:
            head, fp = line.split(', filepos:')
            line = '%s, filepos: %09x' % (head, moved[int(fp, 16)])
        elif line.startswith('size:') and size:
            line = 'size: ' + size
        out.append(line)
    if size and not any(line.startswith('size:') for line in out):
        out.insert(1, 'size: ' + size)
    open(dst, 'w', encoding='ascii', newline='\n').write('\n'.join(out))


def cmd_unpad(a):
    """A VobSub pair --out.idx/.sub whose .sub holds every pack of the given
    .sub at its natural length (no padding packets), the .idx moved along."""
    sub = a.files[0]
    data = open(sub, 'rb').read()
    out, moved = bytearray(), {}
    for at, p in natural_packs(data):
        moved[at] = len(out)
        out += p
    open(a.out + '.sub', 'wb').write(out)
    rewrite_idx(sub[:-4] + '.idx', a.out + '.idx', moved)


def cmd_hd(a):
    """A VobSub pair --out.idx/.sub for a --size frame (e.g. 1920x1080): the
    given pair with every display area of --sub moved by --shift X,Y."""
    sub = a.files[0]
    data = bytearray(open(sub, 'rb').read())
    dx, dy = map(int, a.shift.split(','))
    for u in units_of(bytes(data), a.sub):
        x1, x2, y1, y2 = get_area(u['buf'])
        patch_unit(data, u, area_offset(u['buf']), area_bytes(x1 + dx, x2 + dx, y1 + dy, y2 + dy))
    open(a.out + '.sub', 'wb').write(data)
    rewrite_idx(sub[:-4] + '.idx', a.out + '.idx', {i * PACK: i * PACK for i in range(len(data) // PACK)},
                a.size)


def cmd_srtsplit(a):
    """Split an SRT in two by the subtitle numbers listed in --list: the
    listed ones go to OUT.roman.srt, the others to OUT.italic.srt."""
    listed = set(int(n) for n in open(a.list).read().split())
    parts = {'italic': [], 'roman': []}
    for n, (start, stop, lines) in enumerate(parse_srt(a.files[0]), 1):
        part = parts['roman' if n in listed else 'italic']
        part.append('%d\n%s --> %s\n%s\n' % (len(part) + 1, fmt_srt_time(start),
                                              fmt_srt_time(stop), '\n'.join(lines)))
    for name, blocks in parts.items():
        with open('%s.%s.srt' % (a.out, name), 'w', encoding='utf-8') as f:
            f.write('\n'.join(blocks))


def cmd_merge(a):
    """Rewrite a program stream in place so that the subpicture units of
    substream --sub become units of substream --to (their times must not
    overlap those of --to): one stream set in two fonts."""
    data = bytearray(open(a.files[0], 'rb').read())
    moved = 0
    for idx, p in packs(bytes(data)):
        for off, sid, hl in pes_spans(p):
            at = idx * PACK + off + 9 + hl
            if sid == 0xbd and data[at] == a.sub:
                data[at] = a.to
                moved += 1
    open(a.files[0], 'wb').write(data)
    print('moved_packets=%d' % moved)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('cmd', choices=['scr', 'spuscan', 'png', 'ffprobe', 'truth', 'straddle', 'ifo',
                                       'force', 'nopts', 'spmap', 'damage', 'unstamp', 'unpad', 'hd',
                                       'merge', 'srtsplit'])
    ap.add_argument('files', nargs='+')
    ap.add_argument('--sub', type=lambda s: int(s, 0), default=0x20)
    ap.add_argument('--index', type=int, default=0)
    ap.add_argument('--out', default='-')
    ap.add_argument('--srt')
    ap.add_argument('--xml')
    ap.add_argument('--min-frac', type=float, default=0.4)
    ap.add_argument('--size', default='720x576')
    ap.add_argument('--every', type=int, default=3)
    ap.add_argument('--list')
    ap.add_argument('--delay', type=int, default=500)
    ap.add_argument('--shift', default='0,0')
    ap.add_argument('--to', type=lambda s: int(s, 0), default=0x20)
    a = ap.parse_args()
    globals()['cmd_' + a.cmd](a)


if __name__ == '__main__':
    main()
