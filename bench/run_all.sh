#!/usr/bin/env bash
# Runs every measurement of docs/PERFORMANCE.md in one go and prints the
# figures, each beside the baseline it is compared with. Builds nothing: the
# benchmarks and mirtal-rip must already be built in BUILD.
#
# Usage: bench/run_all.sh [VOB] [BUILD] [RUNS]
#   VOB    a large VOB (default: the one bench/make_large_vob.sh makes)
#   BUILD  the build folder (default: build)
#   RUNS   timed runs per figure (default 5; best and median are shown)
#
# Run as root, it also measures with a cold page cache (drop_caches before each
# cold run): reading the file from the disk with cat, against mirtal-rip
# --list doing the same job. Without root those two lines are skipped.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
VOB=${1:-/tmp/mirtal-large-vob/disc/VIDEO_TS/VTS_01_1.VOB}
BUILD=${2:-build}
RUNS=${3:-5}
[[ -r $VOB ]] || { echo "cannot read $VOB (make it with bench/make_large_vob.sh)" >&2; exit 1; }
for exe in bench/demux_bench bench/ocr_rip_bench bench/gui_rip_bench cli/mirtal-rip; do
    [[ -x $BUILD/$exe ]] || { echo "build $BUILD/$exe first" >&2; exit 1; }
done
rip=$BUILD/cli/mirtal-rip
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

section() { printf '\n== %s\n' "$*"; }

# Prints "wall_s max_rss_kb" of a command run under /usr/bin/time -v; the
# command's own output goes to $work/out.
timev() {
    /usr/bin/time -v -o "$work/time" "$@" >"$work/out" 2>"$work/err" || true
    awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0;
                    for (i = 1; i <= n; ++i) s = s * 60 + t[i]; wall = s }
                /Maximum resident set size/ { rss = $2 }
                END { printf "%.3f %d\n", wall, rss }' "$work/time"
}

section machine
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
     "$(free -g | awk '/^Mem:/ { print $2 }') GiB"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "file: $VOB ($(( $(stat -c %s "$VOB") / 1048576 )) MiB)"

section "demultiplexing, warm page cache (demux_bench, $RUNS runs)"
"$BUILD/bench/demux_bench" "$VOB" "$RUNS"

section "ffmpeg copying the same subtitle stream ($RUNS runs)"
bash "$here/ffmpeg_copy.sh" "$VOB" "$RUNS"

section "OCR with a trained matrix (ocr_rip_bench, $RUNS passes)"
"$BUILD/bench/ocr_rip_bench" "$VOB" "$RUNS"
section "OCR with the automatic space width (ocr_rip_bench auto, $RUNS passes)"
"$BUILD/bench/ocr_rip_bench" "$VOB" "$RUNS" 1 auto

section "mirtal-rip: wall time and peak memory (/usr/bin/time -v)"
"$BUILD/bench/gui_rip_bench" train "$VOB" "$work/trained.qmx" >/dev/null
printf '%-44s %10s %12s\n' command wall_s max_rss_kb
read -r w m < <(timev "$rip" --list "$VOB")
printf '%-44s %10s %12s\n' "--list" "$w" "$m"
mkdir -p "$work/sup"
read -r w m < <(timev "$rip" --action sup --prefix "$work/sup/p" "$VOB")
printf '%-44s %10s %12s\n' "--action sup" "$w" "$m"
rm -rf "$work/sup"
mkdir -p "$work/bmp"
read -r w m < <(timev "$rip" --action bmp --prefix "$work/bmp/p" --timing -o "$work/bmp/list.txt" "$VOB")
printf '%-44s %10s %12s\n' "--action bmp --timing" "$w" "$m"
rm -rf "$work/bmp"
cp "$work/trained.qmx" "$work/ocr.qmx"
read -r w m < <(timev "$rip" --action ocr --matrix "$work/ocr.qmx" --no-ask -o "$work/ocr.vtx" "$VOB")
printf '%-44s %10s %12s\n' "--action ocr (trained matrix, --no-ask)" "$w" "$m"
echo "ocr output: $(grep -c . "$work/ocr.vtx" || true) lines"

if [[ $(id -u) == 0 && -w /proc/sys/vm/drop_caches ]]; then
    section "cold page cache (drop_caches before each run)"
    sync
    echo 3 >/proc/sys/vm/drop_caches
    read -r w m < <(timev cat "$VOB")
    printf '%-44s %10s\n' "cat VOB >/dev/null (the disk's pace)" "$w"
    echo 3 >/proc/sys/vm/drop_caches
    read -r w m < <(timev "$rip" --list "$VOB")
    printf '%-44s %10s\n' "mirtal-rip --list" "$w"
fi

section "the program's windows during a whole rip (gui_rip_bench)"
timeout 300 "$BUILD/bench/gui_rip_bench" sup "$VOB" 2>/dev/null
timeout 300 "$BUILD/bench/gui_rip_bench" sup "$VOB" --no-show 2>/dev/null
timeout 300 "$BUILD/bench/gui_rip_bench" ocr "$VOB" --matrix "$work/trained.qmx" 2>/dev/null
timeout 300 "$BUILD/bench/gui_rip_bench" ocr "$VOB" --matrix "$work/trained.qmx" --no-show 2>/dev/null

echo
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
