#!/usr/bin/env bash
# Builds the DVD-Video test discs, their ground truth and the broken inputs
# from the SRT files in tests/data/src.  See tests/data/README.md.
#
# Needs: ffmpeg, ffprobe, spumux + dvdauthor (Debian package dvdauthor),
#        mkvmerge + mkvextract (Debian package mkvtoolnix), iconv,
#        fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation2, python3 (standard library only).
# Usage: tests/data/make_fixtures.sh        (re-creates discs/, vobsub/, srt/, broken/ and variants/)
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SRC=$HERE/src
DISCS=$HERE/discs
BROKEN=$HERE/broken
TOOL=(python3 "$HERE/vobtool.py")
DEJAVU=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
LIBERATION=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
OBLIQUE=/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf
SERIF=/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf

for t in ffmpeg ffprobe spumux dvdauthor mkvmerge mkvextract iconv python3; do
    command -v "$t" >/dev/null || { echo "missing tool: $t" >&2; exit 1; }
done
for f in "$DEJAVU" "$LIBERATION" "$OBLIQUE" "$SERIF"; do
    [[ -f $f ]] || { echo "missing font: $f" >&2; exit 1; }
done

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C.UTF-8

# Last end time (whole seconds, rounded up) over the given SRT files.
srt_end_s() {
    grep -h -- '-->' "$@" | sed 's/.*--> *//' |
        awk -F'[:,]' '{ t = ($1*3600 + $2*60 + $3)*1000 + $4; if (t > m) m = t }
                      END { print int((m + 999) / 1000) }'
}

# make_video FORMAT SECONDS OUT.mpg [ASPECT] -- a still picture, mono AC3 silence.
make_video() {
    local fmt=$1 secs=$2 out=$3 aspect=${4:-4:3} size rate
    if [[ $fmt == PAL ]]; then size=720x576 rate=25; else size=720x480 rate=30000/1001; fi
    ffmpeg -v error -threads 1 -nostdin \
        -f lavfi -i "color=c=0x203050:s=$size:r=$rate" \
        -f lavfi -i "anullsrc=r=48000:cl=mono" -t "$secs" \
        -c:v mpeg2video -q:v 10 -g 15 -aspect "$aspect" -pix_fmt yuv420p \
        -c:a ac3 -b:a 32k \
        -fflags +bitexact -flags:v +bitexact -flags:a +bitexact \
        -f dvd -y "$out" 2>"$WORK/ffmpeg.log" ||
        { cat "$WORK/ffmpeg.log" >&2; exit 1; }
}

# spumux_xml FORMAT FONT SIZE FPS SRT OUT.xml [ASPECT] -- text-subtitle job for
# spumux. The font is given by absolute path; spumux (built with fontconfig)
# opens it. ASPECT is the shape of the picture the subtitle is shown on.
spumux_xml() {
    local fmt=$1 font=$2 size=$3 fps=$4 srt=$5 out=$6 aspect=${7:-4:3}
    cat >"$out" <<EOF
<subpictures format="$fmt">
 <stream>
  <textsub filename="$srt" characterset="UTF-8"
   font="$font" fontsize="$size"
   fill-color="white" outline-color="black" outline-thickness="2.0"
   horizontal-alignment="center" vertical-alignment="bottom"
   left-margin="60" right-margin="60" top-margin="20" bottom-margin="30"
   subtitle-fps="$fps" movie-fps="$fps" movie-width="720" aspect="$aspect"/>
 </stream>
</subpictures>
EOF
}

# build_disc NAME FORMAT FPS LANG:FONT:SIZE:SRT[:MODE[:ROMANFONT]] ...
# Stream k is substream 0x20 + k. With a MODE (widescreen or letterbox) the
# title is 16:9 and consecutive streams of one language are the variants of
# one subpicture stream of the IFO; a widescreen variant is drawn for the
# anamorphic picture, a letterbox one for a 4:3 screen.
# With ROMANFONT, the subtitles numbered in SRT's .roman file are set in it:
# spumux renders them as a stream of their own, merged into the stream after.
build_disc() {
    local name=$1 fmt=$2 fps=$3
    shift 3
    local dir=$DISCS/$name w=$WORK/$name
    rm -rf "$dir"
    mkdir -p "$dir" "$w"
    local srts=() stream lang font size srt mode roman aspect=4:3
    for stream in "$@"; do
        IFS=: read -r lang font size srt mode roman <<<"$stream"
        srts+=("$SRC/$srt")
        [[ -z $mode ]] || aspect=16:9
    done
    local secs=$(( $(srt_end_s "${srts[@]}") + 2 ))
    make_video "$fmt" "$secs" "$w/v0.mpg" "$aspect"

    local k=0 in=$w/v0.mpg subxml="" open="" sub_aspect romans=()
    for stream in "$@"; do
        IFS=: read -r lang font size srt mode roman <<<"$stream"
        sub_aspect=4:3
        [[ $mode != widescreen ]] || sub_aspect=16:9
        cp "$SRC/$srt" "$w/s$k.srt"
        local rendered=$w/s$k.srt
        if [[ -n $roman ]]; then
            "${TOOL[@]}" srtsplit "$SRC/$srt" --list "$SRC/${srt%.srt}.roman" --out "$w/s$k"
            rendered=$w/s$k.italic.srt
            romans+=("$k:$roman:$size")
        fi
        spumux_xml "$fmt" "$font" "$size" "$fps" "$rendered" "$w/s$k.xml" "$sub_aspect"
        spumux_xml "$fmt" "$font" "$size" "$fps" "@SRT@" "$w/s$k.tmpl.xml" "$sub_aspect"
        spumux -m dvd -s "$k" "$w/s$k.xml" <"$in" >"$w/v$((k + 1)).mpg" 2>"$w/spumux$k.log" ||
            { cat "$w/spumux$k.log" >&2; exit 1; }
        grep -q "INFO: $(grep -c -- '-->' "$rendered") subtitles added, 0 subtitles skipped" \
            "$w/spumux$k.log" || { echo "spumux dropped subtitles of $srt" >&2; exit 1; }
        if [[ -z $mode ]]; then
            subxml+="   <subpicture lang=\"$lang\"/>"$'\n'
        else
            if [[ $open != "$lang" ]]; then
                [[ -z $open ]] || subxml+="   </subpicture>"$'\n'
                subxml+="   <subpicture lang=\"$lang\">"$'\n'
                open=$lang
            fi
            subxml+="    <stream mode=\"$mode\" id=\"$k\"/>"$'\n'
        fi
        in=$w/v$((k + 1)).mpg
        k=$((k + 1))
    done
    [[ -z $open ]] || subxml+="   </subpicture>"$'\n'
    local r extra=$k
    for r in "${romans[@]}"; do
        IFS=: read -r k font size <<<"$r"
        spumux_xml "$fmt" "$font" "$size" "$fps" "$w/s$k.roman.srt" "$w/r$k.xml"
        spumux -m dvd -s "$extra" "$w/r$k.xml" <"$in" >"$w/r$k.mpg" 2>"$w/spumux_r$k.log" ||
            { cat "$w/spumux_r$k.log" >&2; exit 1; }
        "${TOOL[@]}" merge --sub $((0x20 + extra)) --to $((0x20 + k)) "$w/r$k.mpg" >/dev/null
        in=$w/r$k.mpg
    done

    local vf=${fmt,,}
    cat >"$w/dvd.xml" <<EOF
<dvdauthor dest="$dir">
 <vmgm/>
 <titleset>
  <titles>
   <video format="$vf" aspect="$aspect"/>
   <audio format="ac3" lang="en"/>
${subxml}   <pgc>
    <vob file="$in"/>
   </pgc>
  </titles>
 </titleset>
</dvdauthor>
EOF
    VIDEO_FORMAT=$fmt dvdauthor -x "$w/dvd.xml" >"$w/dvdauthor.log" 2>&1 ||
        { cat "$w/dvdauthor.log" >&2; exit 1; }
}

# write_truth NAME FORMAT FPS LANG:FONT:SIZE:SRT ... -- ground truth files.
write_truth() {
    local name=$1 fmt=$2 fps=$3
    shift 3
    local dir=$DISCS/$name w=$WORK/$name
    local vobs=("$dir"/VIDEO_TS/VTS_01_[1-9].VOB)
    {
        echo "name=$name"
        echo "format=$fmt"
        if [[ $fmt == PAL ]]; then echo "width=720"; echo "height=576"; echo "fps=25"
        else echo "width=720"; echo "height=480"; echo "fps=30000/1001"; fi
        echo "vob_files=$(cd "$dir/VIDEO_TS" && echo VTS_01_[1-9].VOB | tr ' ' ,)"
        echo "vob_bytes=$(cat "${vobs[@]}" | wc -c)"
        "${TOOL[@]}" scr "${vobs[@]}"
        "${TOOL[@]}" ifo "$dir/VIDEO_TS/VTS_01_0.IFO"
        echo "subpicture_streams=$#"
    } >"$dir/disc.txt"

    local k=0 stream lang font size srt mode roman size_wh=720x576
    [[ $fmt == PAL ]] || size_wh=720x480
    for stream in "$@"; do
        IFS=: read -r lang font size srt mode roman <<<"$stream"
        local sub=$((0x20 + k))
        "${TOOL[@]}" ffprobe --sub "$sub" --size "$size_wh" --out "$dir/subs_s$k.tsv" "${vobs[@]}"
        "${TOOL[@]}" spuscan --sub "$sub" --out "$dir/spuscan_s$k.tsv" "${vobs[@]}"
        local wrapped
        wrapped=$("${TOOL[@]}" truth --sub "$sub" --srt "$w/s$k.srt" --xml "$w/s$k.tmpl.xml" \
            --out "$dir/truth_s$k.txt" "${vobs[@]}" | sed -n 's/^wrapped_units=//p')
        # ffprobe's size must be the unit's own size field, and both views must
        # agree on start/stop: start = pts/90 + delay*1024/90 (integer division).
        paste "$dir/subs_s$k.tsv" "$dir/spuscan_s$k.tsv" | awk -F'\t' -v f="$dir/subs_s$k.tsv" '
            NR > 1 {
                pts = $(9+5); sz = $(9+6); d0 = $(9+7); d1 = $(9+8)
                if ($5 != sz || $2 != pts || $3 != int(pts/90) + int(d0*1024/90) ||
                    $4 != int(pts/90) + int(d1*1024/90) || $6 != $(9+19) || $7 != $(9+20) ||
                    $8 != $(9+21) - $(9+19) + 1 || $9 != $(9+22) - $(9+20) + 1 ||
                    $6 < $(9+9) || $7 < $(9+10) || $(9+21) > $(9+11) || $(9+22) > $(9+12)) {
                    print f ": row " NR - 1 " disagrees with our scan" > "/dev/stderr"; bad = 1
                }
            }
            END { exit bad }'
        local count srt_first spu_first
        count=$(($(wc -l <"$dir/subs_s$k.tsv") - 1))
        srt_first=$(grep -m1 -- '-->' "$w/s$k.srt" |
            awk -F'[:, ]' '{ print (($1*3600 + $2*60 + $3)*1000 + $4) }')
        spu_first=$(awk -F'\t' 'NR == 2 { print $3 }' "$dir/subs_s$k.tsv")
        {
            printf 'stream%d_id=0x%02x\n' "$k" "$sub"
            echo "stream${k}_lang=$lang"
            [[ -z $mode ]] || echo "stream${k}_mode=$mode"
            echo "stream${k}_count=$count"
            echo "stream${k}_srt=src/$srt"
            echo "stream${k}_font=$(basename "$font")"
            echo "stream${k}_fontsize=$size"
            echo "stream${k}_time_offset_ms=$((spu_first - srt_first))"
            echo "stream${k}_wrapped_units=$wrapped"
            echo "stream${k}_multipack_units=$(awk -F'\t' 'NR > 1 && $4 > 1' "$dir/spuscan_s$k.tsv" | wc -l)"
            if [[ -n $roman ]]; then
                echo "stream${k}_roman_font=$(basename "$roman")"
                echo "stream${k}_roman_units=$(awk '{ for (i = 1; i <= NF; ++i) printf "%s%d", (i > 1 ? "," : ""), $i - 1 }' "$SRC/${srt%.srt}.roman")"
            fi
        } >>"$dir/disc.txt"
        k=$((k + 1))
    done
}

# Pixel codes: check that every unit uses code 0 transparent, 1 = black
# outline, 2 = white fill and never code 3, by way of its colour/contrast
# commands and the PGC palette of the disc.
check_colours() {
    local dir=$DISCS/$1 k
    local pal
    pal=$(sed -n 's/^palette=//p' "$dir/disc.txt")
    for k in $(sed -n 's/^stream\([0-9]\)_id=.*/\1/p' "$dir/disc.txt"); do
        awk -F'\t' -v pal="$pal" -v f="$dir/spuscan_s$k.tsv" '
            BEGIN { n = split(pal, p, " ") }
            NR > 1 {
                # colour/contrast nibbles are given for codes 3,2,1,0 in that order
                c1 = substr($13, 3, 1); c2 = substr($13, 2, 1)
                y1 = substr(p[index("0123456789abcdef", c1)], 3, 2)
                y2 = substr(p[index("0123456789abcdef", c2)], 3, 2)
                if ($14 != "0ff0" || y1 != "10" || y2 != "eb" || $18 != 0 || $16 == 0 || $17 == 0) {
                    print f ": unit " $1 " has unexpected colours " $13 "/" $14 > "/dev/stderr"; bad = 1
                }
            }
            END { exit bad }' "$dir/spuscan_s$k.tsv"
    done
    {
        echo "pixel_background=0"
        echo "pixel_outline=1"
        echo "pixel_fill=2"
        echo "pixel_unused=3"
    } >>"$dir/disc.txt"
}

# Cuts the disc's single VOB into VTS_01_1.VOB and VTS_01_2.VOB at a pack
# boundary inside a subpicture unit of stream 0x20.
split_vob() {
    local dir=$DISCS/$1 v
    v=$dir/VIDEO_TS/VTS_01_1.VOB
    "${TOOL[@]}" straddle --sub 0x20 --min-frac 0.4 "$v" >"$dir/split.txt"
    local off
    off=$(sed -n 's/^cut_offset=//p' "$dir/split.txt")
    tail -c +$((off + 1)) "$v" >"$dir/VIDEO_TS/VTS_01_2.VOB"
    head -c "$off" "$v" >"$WORK/part1" && mv "$WORK/part1" "$v"
    echo "vts_01_1_bytes=$(stat -c %s "$v")" >>"$dir/split.txt"
    echo "vts_01_2_bytes=$(stat -c %s "$dir/VIDEO_TS/VTS_01_2.VOB")" >>"$dir/split.txt"
}

mkdir -p "$DISCS"

D=(PAL 25 "en:$DEJAVU:28:pal_en.srt")
build_disc pal_en "${D[@]}"; write_truth pal_en "${D[@]}"; check_colours pal_en

D=(PAL 25 "en:$DEJAVU:28:pal_en_fr.en.srt" "fr:$LIBERATION:28:pal_en_fr.fr.srt")
build_disc pal_en_fr "${D[@]}"; write_truth pal_en_fr "${D[@]}"; check_colours pal_en_fr

D=(NTSC 29.97 "en:$LIBERATION:26:ntsc.srt")
build_disc ntsc "${D[@]}"; write_truth ntsc "${D[@]}"; check_colours ntsc

D=(PAL 25 "en:$DEJAVU:30:split.srt")
build_disc split "${D[@]}"; split_vob split; write_truth split "${D[@]}"; check_colours split

# A 16:9 title: English in substreams 0x20 (widescreen) and 0x21 (letterbox),
# French in 0x22 and 0x23, with other texts and times than the English.
D=(PAL 25 "en:$DEJAVU:26:wide.en.srt:widescreen" "en:$DEJAVU:20:wide.en.srt:letterbox"
   "fr:$LIBERATION:26:wide.fr.srt:widescreen" "fr:$LIBERATION:20:wide.fr.srt:letterbox")
build_disc wide "${D[@]}"; write_truth wide "${D[@]}"; check_colours wide
"${TOOL[@]}" spmap "$DISCS/wide/VIDEO_TS/VTS_01_0.IFO" >>"$DISCS/wide/disc.txt"

D=(PAL 25 "en:$OBLIQUE:28:italic.en.srt::$DEJAVU" "fr:$SERIF:28:italic.fr.srt")
build_disc italic "${D[@]}"; write_truth italic "${D[@]}"; check_colours italic

# Two episodes in one title set: two titles (one program chain each) of two
# chapters (the second from 0:10), English subtitles of their own. Each
# title's truth comes from its own stream before authoring, timed from its
# own start; dvdauthor keeps the time stamps, which the script checks.
build_episodes() {
    local dir=$DISCS/episodes w=$WORK/episodes n pgcs=""
    rm -rf "$dir"
    mkdir -p "$dir" "$w"
    printf 'name=episodes\nformat=PAL\ntitles=2\nchapter2_start_s=10\n' >"$w/disc.txt"
    for n in 1 2; do
        make_video PAL $(( $(srt_end_s "$SRC/episode$n.srt") + 2 )) "$w/v$n.mpg"
        cp "$SRC/episode$n.srt" "$w/t$n.srt"
        spumux_xml PAL "$DEJAVU" 28 25 "$w/t$n.srt" "$w/t$n.xml"
        spumux_xml PAL "$DEJAVU" 28 25 "@SRT@" "$w/t$n.tmpl.xml"
        spumux -m dvd -s 0 "$w/t$n.xml" <"$w/v$n.mpg" >"$w/t$n.mpg" 2>"$w/spumux$n.log" ||
            { cat "$w/spumux$n.log" >&2; exit 1; }
        "${TOOL[@]}" ffprobe --sub $((0x20)) --size 720x576 --out "$dir/subs_t$n.tsv" "$w/t$n.mpg"
        "${TOOL[@]}" truth --sub $((0x20)) --srt "$w/t$n.srt" --xml "$w/t$n.tmpl.xml" \
            --out "$dir/truth_t$n.txt" "$w/t$n.mpg" >/dev/null
        "${TOOL[@]}" spuscan --sub $((0x20)) --out "$w/t$n.tsv" "$w/t$n.mpg"
        echo "title${n}_count=$(($(wc -l <"$dir/subs_t$n.tsv") - 1))" >>"$w/disc.txt"
        pgcs+="   <pgc>"$'\n'"    <vob file=\"$w/t$n.mpg\" chapters=\"0,0:10\"/>"$'\n'"   </pgc>"$'\n'
    done
    cat >"$w/dvd.xml" <<EOF
<dvdauthor dest="$dir">
 <vmgm/>
 <titleset>
  <titles>
   <video format="pal" aspect="4:3"/>
   <audio format="ac3" lang="en"/>
   <subpicture lang="en"/>
${pgcs}  </titles>
 </titleset>
</dvdauthor>
EOF
    VIDEO_FORMAT=PAL dvdauthor -x "$w/dvd.xml" >"$w/dvdauthor.log" 2>&1 ||
        { cat "$w/dvdauthor.log" >&2; exit 1; }
    # The authored title set holds both titles' units, time stamps and
    # pictures unchanged (dvdauthor maps the colours onto its own palette).
    "${TOOL[@]}" spuscan --sub $((0x20)) --out "$w/authored.tsv" "$dir"/VIDEO_TS/VTS_01_1.VOB
    cmp -s <(tail -n +2 "$w/authored.tsv" | cut -f5-12) \
        <(tail -q -n +2 "$w/t1.tsv" "$w/t2.tsv" | cut -f5-12) ||
        { echo "episodes: dvdauthor changed the subpicture units" >&2; exit 1; }
    mv "$w/disc.txt" "$dir/disc.txt"
}
build_episodes

# IFO languages of the two-stream disc must read "en" at 600 and "fr" at 606.
[[ $(dd if="$DISCS/pal_en_fr/VIDEO_TS/VTS_01_0.IFO" bs=1 skip=600 count=2 status=none) == en &&
   $(dd if="$DISCS/pal_en_fr/VIDEO_TS/VTS_01_0.IFO" bs=1 skip=606 count=2 status=none) == fr ]] ||
    { echo "pal_en_fr: IFO languages not at 600/606" >&2; exit 1; }

# ------------------------------------------------------------ VobSub pairs
VOBSUB=$HERE/vobsub
rm -rf "$VOBSUB"
mkdir -p "$VOBSUB"
# 1. pal_en_fr's two streams written by independent tools: ffmpeg copies them
#    into Matroska (keeping the VOB's timestamps), mkvextract writes one pair
#    per stream (its packets carry the PTS; each pair has the stream as
#    "index: 0", substream 0x20).
ffmpeg -v error -nostdin -copyts -i "$DISCS/pal_en_fr/VIDEO_TS/VTS_01_1.VOB" \
    -map 0:s:0 -map 0:s:1 -c copy -metadata:s:s:0 language=eng -metadata:s:s:1 language=fre \
    -fflags +bitexact -y "$WORK/pal_en_fr.mkv"
mkvextract "$WORK/pal_en_fr.mkv" tracks "0:$VOBSUB/pal_en_fr.en.sub" "1:$VOBSUB/pal_en_fr.fr.sub" \
    >"$WORK/mkvextract.log" || { cat "$WORK/mkvextract.log" >&2; exit 1; }
# 2. Both in one pair of our own (stream k = substream 0x20 + k) whose PTS
#    are all zero: only its .idx (CR LF, a 500 ms "delay:") times them.
"${TOOL[@]}" nopts "$VOBSUB/pal_en_fr.en.sub" "$VOBSUB/pal_en_fr.fr.sub" \
    --delay 500 --out "$VOBSUB/nopts"
# 3. The first 256 packs of pal_en (units 0..6) with the start command of
#    units 0, 3 and 6 made the forced start; forced.txt lists them.
head -c $((256 * 2048)) "$DISCS/pal_en/VIDEO_TS/VTS_01_1.VOB" >"$WORK/head.vob"
"${TOOL[@]}" force "$WORK/head.vob" --every 3 --out "$VOBSUB/forced.vob" --list "$VOBSUB/forced.txt"

# ------------------------------------------------------------ SubRip files of other tools
# One styled script (src/styled.ass: italics, bold, a colour, two lines in one
# event, accents) as the SubRip files other programs write; each must read
# back as the same five entries, tags kept as text.
SRT=$HERE/srt
rm -rf "$SRT"
mkdir -p "$SRT"
# ffmpeg: UTF-8, LF, but CR LF between the lines of one event; <font> tags.
ffmpeg -v error -nostdin -i "$SRC/styled.ass" -fflags +bitexact -y "$SRT/ffmpeg.srt"
# mkvextract (after mkvmerge): UTF-8 with a byte order mark, LF.
mkvmerge -q -o "$WORK/styled.mkv" "$SRT/ffmpeg.srt"
mkvextract "$WORK/styled.mkv" tracks "0:$SRT/mkvextract.srt" >/dev/null
# The same saved by a Windows editor: CR LF line ends, the mark kept.
sed 's/$/\r/' "$SRT/mkvextract.srt" >"$SRT/crlf_bom.srt"
# An older one, in Windows-1252 and CR LF (no mark: told by its bytes).
iconv -f UTF-8 -t CP1252 "$SRT/ffmpeg.srt" | sed 's/\r$//; s/$/\r/' >"$SRT/cp1252.srt"
# Edited by hand: two or three blank lines between entries, and the last
# entry ends the file without a blank line or even a line end.
awk 'BEGIN { RS = ""; ORS = "" } { if (NR > 1) printf "%s", (NR % 2 ? "\n\n\n" : "\n\n"); printf "%s", $0 }' \
    "$SRT/ffmpeg.srt" >"$SRT/loose.srt"

# ------------------------------------------------------------ broken inputs
pack_stream() {  # stream id (hex) of the first PES packet of pack $2 of file $1
    dd if="$1" bs=1 skip=$(($2 * 2048 + 14)) count=4 status=none | od -An -tx1 | tr -d ' \n' | cut -c7-8
}
rm -rf "$BROKEN"
mkdir -p "$BROKEN"
PAL_VOB=$DISCS/pal_en/VIDEO_TS/VTS_01_1.VOB

# 1. First 100000 bytes of pal_en: 48 whole packs and 1696 bytes of pack 48.
head -c 100000 "$PAL_VOB" >"$BROKEN/truncated.vob"

# 2. First 256 packs of pal_en with the pack start code of one video pack
#    (the first at or after pack 128) zeroed.
BAD_PACK=128
while [[ $(pack_stream "$PAL_VOB" $BAD_PACK) != e0 ]]; do BAD_PACK=$((BAD_PACK + 1)); done
head -c $((256 * 2048)) "$PAL_VOB" >"$BROKEN/bad_pack_start.vob"
printf '\0\0\0\0' | dd of="$BROKEN/bad_pack_start.vob" bs=1 seek=$((BAD_PACK * 2048)) conv=notrunc status=none

# 3. 64 KiB of seeded pseudo-random bytes.
python3 -c 'import random, sys; random.seed(20240601); sys.stdout.buffer.write(random.randbytes(65536))' \
    >"$BROKEN/random_64k.bin"

# 4. pal_en_fr's VTS_01_0.IFO cut after 700 bytes (both language codes are
#    there, the 32-entry subpicture attribute table at 598..789 is cut) and
#    after 604 bytes (only the entry of stream 0 is complete).
head -c 700 "$DISCS/pal_en_fr/VIDEO_TS/VTS_01_0.IFO" >"$BROKEN/short700_VTS_01_0.IFO"
head -c 604 "$DISCS/pal_en_fr/VIDEO_TS/VTS_01_0.IFO" >"$BROKEN/short604_VTS_01_0.IFO"

# What the broken files contain, for the tests.
{
    echo "truncated_bytes=$(stat -c %s "$BROKEN/truncated.vob")"
    echo "truncated_whole_packs=$(( $(stat -c %s "$BROKEN/truncated.vob") / 2048 ))"
    "${TOOL[@]}" spuscan --sub 0x20 --out "$WORK/t.tsv" "$BROKEN/truncated.vob"
    echo "truncated_cut_pack_stream=0x$(pack_stream "$PAL_VOB" 48)"
    echo "truncated_complete_units=$(( $(wc -l <"$WORK/t.tsv") - 1 ))"
    echo "bad_pack_start_bytes=$(stat -c %s "$BROKEN/bad_pack_start.vob")"
    echo "bad_pack_start_bad_pack=$BAD_PACK"
    echo "bad_pack_start_bad_offset=$((BAD_PACK * 2048))"
    echo "bad_pack_start_bad_pack_stream=0x$(pack_stream "$PAL_VOB" $BAD_PACK)"
    head -c $((256 * 2048)) "$PAL_VOB" >"$WORK/good.vob"
    "${TOOL[@]}" spuscan --sub 0x20 --out "$WORK/g.tsv" "$WORK/good.vob"
    echo "bad_pack_start_units_in_intact_copy=$(( $(wc -l <"$WORK/g.tsv") - 1 ))"
    echo "bad_pack_start_units_spanning_bad_pack=$(awk -F'\t' -v b=$BAD_PACK 'NR > 1 && $2 < b && $3 > b { printf "%s%s", s, $1; s = "," }' "$WORK/g.tsv")"
    echo "random_bytes=$(stat -c %s "$BROKEN/random_64k.bin")"
    echo "short700_bytes=$(stat -c %s "$BROKEN/short700_VTS_01_0.IFO")"
    echo "short604_bytes=$(stat -c %s "$BROKEN/short604_VTS_01_0.IFO")"
} >"$BROKEN/broken.txt"

bash "$HERE/make_variants.sh"

echo "done:"
du -sh "$DISCS"/* "$VOBSUB" "$SRT" "$BROKEN"
