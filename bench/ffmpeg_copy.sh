#!/usr/bin/env bash
# Times ffmpeg copying subtitle stream 0 of a VOB to nowhere, as a baseline for
# the subpicture reader: one warm-up run (to load the file into the page
# cache), then RUNS timed runs; prints the best and the median wall time.
#
# Usage: bench/ffmpeg_copy.sh VOB [RUNS]      (RUNS defaults to 5)
set -euo pipefail

VOB=${1:?usage: $0 VOB [RUNS]}
RUNS=${2:-5}
[[ -r $VOB ]] || { echo "cannot read $VOB" >&2; exit 1; }

run() {
    ffmpeg -v error -nostdin -threads 1 -i "$VOB" -map 0:s:0 -c copy -f null - 
}

run  # warm the page cache
times=()
for _ in $(seq "$RUNS"); do
    t0=$(date +%s%N)
    run
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
n=${#sorted[@]}
if (( n % 2 )); then median=${sorted[n / 2]}
else median=$(( (sorted[n / 2 - 1] + sorted[n / 2]) / 2 )); fi
echo "file=$VOB bytes=$(stat -c %s "$VOB")"
echo "runs_ms=${times[*]}"
printf 'best_s=%d.%03d median_s=%d.%03d\n' $((sorted[0] / 1000)) $((sorted[0] % 1000)) \
    $((median / 1000)) $((median % 1000))
