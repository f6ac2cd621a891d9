#!/usr/bin/env bash
# Runs every fuzz target for SECONDS on its corpus, FUZZ_PARALLEL at a time
# (default 2), and fails
# when one of them finds a crash, a leak or a broken invariant.
#
#   fuzz/run.sh BUILD_DIR SECONDS [CORPUS_ROOT [LOG_DIR [TARGET...]]]
#
# The committed corpus (fuzz/corpus/<target>) is only read: new inputs go to
# a scratch folder under LOG_DIR, crashes to LOG_DIR/<target>-crash-*.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:?build folder}"
seconds="${2:-30}"
corpora="${3:-$here/corpus}"
logs="${4:-$build/fuzz-logs}"
shift $(( $# < 4 ? $# : 4 ))
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(demux spu ifo vobsub matrix native ini language)

# The input size the corpus was grown with: eight packs and the stream byte
# for the demultiplexer, a few kilobytes for the text files, twice the
# largest fixture for a VobSub index (longer ones only slow the runs down
# and bloat the corpus).
max_len() {
    case "$1" in
        demux) echo 16385 ;;
        ini) echo 2048 ;;
        vobsub) echo 8192 ;;
        language | native) echo 4096 ;;
        *) echo 65536 ;;
    esac
}

mkdir -p "$logs"
run_one() {
    local t="$1" scratch="$logs/$1-new"
    mkdir -p "$scratch"
    nice "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
        -print_final_stats=1 -artifact_prefix="$logs/$t-" \
        "$scratch" "$corpora/$t" >"$logs/$t.log" 2>&1
    local rc=$?
    local stats
    stats=$(grep -E '^stat::number_of_executed_units|^#[0-9]+[[:space:]]+DONE' "$logs/$t.log" | tr '\n' ' ')
    if [ $rc -eq 0 ]; then
        echo "fuzz_$t: ok ($seconds s) $stats"
    else
        echo "fuzz_$t: FAILED (exit $rc), see $logs/$t.log"
        grep -E 'ERROR|SUMMARY|broken invariant|Test unit written' "$logs/$t.log" | head -5
    fi
    return $rc
}

failed=0
# FUZZ_PARALLEL targets at a time (default 2, one per core).
parallel="${FUZZ_PARALLEL:-2}"
for ((i = 0; i < ${#targets[@]}; i += parallel)); do
    pids=()
    for ((j = i; j < i + parallel && j < ${#targets[@]}; ++j)); do
        run_one "${targets[j]}" &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
done
exit $failed
