#!/usr/bin/env bash
# Makes a large DVD-Video title (not committed) for the reader benchmarks:
# noise video at ~8 Mbit/s, mono AC3 silence and a few hundred text subtitles
# (stream 0x20) rendered by spumux, authored by dvdauthor.
#
# Usage: bench/make_large_vob.sh [OUTDIR] [TARGET_BYTES]
#   OUTDIR        default /tmp/mirtal-large-vob
#   TARGET_BYTES  size to aim for, default 1000000000 (just under 1 GiB, so
#                 dvdauthor writes a single VTS_01_1.VOB; above 1 GiB it
#                 starts VTS_01_2.VOB)
# Result: OUTDIR/disc/VIDEO_TS/VTS_01_1.VOB (+ IFOs), OUTDIR/subs.srt and
#         OUTDIR/large.txt (sizes, subtitle count, timings of each step).
#
# Only 30 s of noise are encoded; that piece is repeated with ffmpeg's concat
# demuxer and stream copy, which is much faster than encoding the whole
# length.  Everything runs with one thread.
set -euo pipefail

OUT=${1:-/tmp/mirtal-large-vob}
TARGET=${2:-1000000000}
FONT=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
SEG_S=30

for t in ffmpeg spumux dvdauthor; do
    command -v "$t" >/dev/null || { echo "missing tool: $t" >&2; exit 1; }
done
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
rm -rf "$OUT/disc" "$OUT"/*.mpg "$OUT/list.txt"
LOG=$OUT/large.txt
: >"$LOG"

T0=$(date +%s.%N)
step() {  # step NAME -- records the wall time since the previous step
    local now
    now=$(date +%s.%N)
    awk -v n="$1" -v a="$T0" -v b="$now" 'BEGIN { printf "%s_s=%.1f\n", n, b - a }' | tee -a "$LOG"
    T0=$now
}

# 1. One 30 s piece of noise.
ffmpeg -v error -nostdin -threads 1 \
    -f lavfi -i "color=c=gray:s=720x576:r=25,noise=alls=25:allf=t" \
    -f lavfi -i "anullsrc=r=48000:cl=mono" -t "$SEG_S" \
    -c:v mpeg2video -threads 1 -b:v 8000k -minrate 8000k -maxrate 8000k -bufsize 1835k \
    -g 15 -aspect 4:3 -pix_fmt yuv420p -c:a ac3 -b:a 64k \
    -f dvd -y "$OUT/piece.mpg" 2>"$OUT/ffmpeg.log" || { cat "$OUT/ffmpeg.log" >&2; exit 1; }
step encode_piece

# 2. Repeat it to about TARGET bytes.
PIECE=$(stat -c %s "$OUT/piece.mpg")
N=$(( TARGET / PIECE ))
(( N >= 1 )) || N=1
for _ in $(seq "$N"); do echo "file '$OUT/piece.mpg'"; done >"$OUT/list.txt"
ffmpeg -v error -nostdin -f concat -safe 0 -i "$OUT/list.txt" -map 0:v -map 0:a -c copy \
    -f dvd -y "$OUT/long.mpg" 2>"$OUT/ffmpeg.log" || { cat "$OUT/ffmpeg.log" >&2; exit 1; }
rm -f "$OUT/piece.mpg"
step concat
SECS=$(( N * SEG_S ))

# 3. Subtitles: one every 3.2 s, 2 s long, one or two lines.
python3 - "$SECS" >"$OUT/subs.srt" <<'EOF'
import sys
secs = int(sys.argv[1])
words = ["Illinois", "little", "I'll", "don't", "1987", "$12.50", "Where?", "Here.",
         "it's", "\"quiet\"", "Ill", "Il", "9:45", "well...", "yes!", "no,"]
def t(ms):
    return "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)
i, ms = 0, 1000
while ms + 2000 < secs * 1000 - 1000:
    a = " ".join(words[(i * 3 + k) % len(words)] for k in range(4))
    text = "Line %d: %s" % (i + 1, a)
    if i % 2:
        text += "\n- %s %s" % (words[i % len(words)], words[(i * 7) % len(words)])
    print("%d\n%s --> %s\n%s\n" % (i + 1, t(ms), t(ms + 2000), text))
    i += 1
    ms += 3200
EOF
NSUB=$(grep -c -- '-->' "$OUT/subs.srt")
cat >"$OUT/subs.xml" <<EOF
<subpictures format="PAL">
 <stream>
  <textsub filename="$OUT/subs.srt" characterset="UTF-8" font="$FONT" fontsize="28"
   fill-color="white" outline-color="black" outline-thickness="2.0"
   horizontal-alignment="center" vertical-alignment="bottom"
   subtitle-fps="25" movie-fps="25" movie-width="720" aspect="4:3"/>
 </stream>
</subpictures>
EOF
spumux -m dvd -s 0 "$OUT/subs.xml" <"$OUT/long.mpg" >"$OUT/long_sub.mpg" 2>"$OUT/spumux.log" ||
    { tail "$OUT/spumux.log" >&2; exit 1; }
rm -f "$OUT/long.mpg"
step spumux

# 4. Author the title.
cat >"$OUT/dvd.xml" <<EOF
<dvdauthor dest="$OUT/disc">
 <vmgm/>
 <titleset>
  <titles>
   <video format="pal" aspect="4:3"/>
   <audio format="ac3" lang="en"/>
   <subpicture lang="en"/>
   <pgc><vob file="$OUT/long_sub.mpg"/></pgc>
  </titles>
 </titleset>
</dvdauthor>
EOF
VIDEO_FORMAT=PAL dvdauthor -x "$OUT/dvd.xml" >"$OUT/dvdauthor.log" 2>&1 ||
    { tail "$OUT/dvdauthor.log" >&2; exit 1; }
rm -f "$OUT/long_sub.mpg"
step dvdauthor

{
    echo "pieces=$N"
    echo "duration_s=$SECS"
    echo "subtitles=$NSUB"
    for f in "$OUT"/disc/VIDEO_TS/VTS_01_*.VOB; do
        echo "$(basename "$f")_bytes=$(stat -c %s "$f")"
    done
} | tee -a "$LOG"
