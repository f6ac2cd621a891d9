#!/usr/bin/env bash
# Builds tests/data/variants: streams as other muxers and converters write
# them, and damaged ones, from the discs and VobSub pairs that
# make_fixtures.sh made (it runs this last; it can also run alone).
# See tests/data/README.md.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
DISCS=$HERE/discs
VOBSUB=$HERE/vobsub
OUT=$HERE/variants
TOOL=(python3 "$HERE/vobtool.py")
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C.UTF-8

rm -rf "$OUT"
mkdir -p "$OUT"
# 1. The first 50 s of pal_en_fr's video and both subtitle streams remuxed
#    by ffmpeg's VOB muxer: system headers in front of ordinary packs, one
#    of them before the first packet of a unit of each stream.
ffmpeg -v error -nostdin -i "$DISCS/pal_en_fr/VIDEO_TS/VTS_01_1.VOB" -t 50 \
    -map 0:v -map 0:s:0 -map 0:s:1 -c:v copy -c:s dvdsub -s:s 720x576 \
    -fflags +bitexact -f vob -y "$OUT/ffmpeg.vob"
for k in 0 1; do
    printf 'stream%d_count=%d\n' $k "$(ffprobe -v error -select_streams "#0x2$k" \
        -show_entries packet=pts -of csv=p=0 "$OUT/ffmpeg.vob" | wc -l)"
done >"$OUT/ffmpeg.txt"

# 2. The first 248 packs of pal_en (units 0..6): units 0, 2, 4, 6 without a
#    PTS in their first packet and 5 stuffing bytes in its pack header, the
#    others with 2 stuffing bytes where their pack had padding to spare.
#    unstamped.txt: the start of each unit in ms.
head -c $((248 * 2048)) "$DISCS/pal_en/VIDEO_TS/VTS_01_1.VOB" >"$WORK/head.vob"
"${TOOL[@]}" unstamp "$WORK/head.vob" --out "$OUT/unstamped.vob" --list "$OUT/unstamped.txt"

# 3. The same packs with five units damaged, one way each; damaged.txt
#    lists them.
"${TOOL[@]}" damage "$WORK/head.vob" --out "$OUT/damaged.vob" --list "$OUT/damaged.txt"

# 4. pal_en_fr's English VobSub pair with its packs at their natural length.
"${TOOL[@]}" unpad "$VOBSUB/pal_en_fr.en.sub" --out "$OUT/unpadded"

# 5. The same pair as a converter from a 1920x1080 source writes it: every
#    picture 600 pixels right and 480 down, "size: 1920x1080".
"${TOOL[@]}" hd "$VOBSUB/pal_en_fr.en.sub" --shift 600,480 --size 1920x1080 --out "$OUT/hd"

# 6. The same pair with its .sub cut after 30 of its 42 units.
cp "$VOBSUB/pal_en_fr.en.idx" "$OUT/cut.idx"
CUT=$((0x$(awk '/^timestamp:/ { if (++n == 31) print $4 }' "$OUT/cut.idx")))
head -c "$CUT" "$VOBSUB/pal_en_fr.en.sub" >"$OUT/cut.sub"

du -sh "$OUT"
