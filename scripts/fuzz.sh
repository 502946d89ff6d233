#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs them from their committed seed
# corpora (fuzz/corpus/<target>). Any crash, sanitizer report, leak or time-out fails it.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
#       each target in turn for a bounded time (default 15 seconds, or FUZZ_SECONDS); new inputs
#       go to build-fuzz/corpus/<target>, crashing inputs to build-fuzz/artifacts/.
#   scripts/fuzz.sh --campaign [--runs N] [--max-time SECONDS] [--parallel P] [TARGET...]
#       every target (or those named) to N executions (default 10 million, or FUZZ_RUNS), or until
#       SECONDS have passed for a target when given, P at a time (default: the number of cores, at
#       most 2), each from its seeds and a fresh folder under build-fuzz/campaign/<target>; each
#       reports its executions, executions a second, coverage (libFuzzer's features and covered
#       edges), wall and CPU time, also added to build-fuzz/campaign/summary.txt.
#       Then the inputs each target grew are merged into fuzz/corpus/<target> (libFuzzer -merge=1:
#       only those that add coverage to the seeds already there). Exits non-zero when any target
#       crashed, leaked or timed out; its folder is not merged then. Run it under nice when others
#       share the machine: nohup nice -n 15 scripts/fuzz.sh --campaign >campaign.log 2>&1 &
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

ALL_TARGETS=(fuzz_parse_msg fuzz_parse_reply fuzz_rle fuzz_stored_ports fuzz_sim_device
    fuzz_snapshot_json fuzz_snapshot_syx fuzz_logo_picture)
BUILD_DIR=${TAVIK_FUZZ_BUILD_DIR:-build-fuzz}
JOBS=${JOBS:-2}

CAMPAIGN=0
MAX_TIME=0
RUNS=${FUZZ_RUNS:-10000000}
PARALLEL=$(( $(nproc) < 2 ? $(nproc) : 2 ))
SECONDS_PER_TARGET=${FUZZ_SECONDS:-15}
TARGETS=()
while [ $# -gt 0 ]; do
    case $1 in
    --campaign) CAMPAIGN=1 ;;
    --runs) RUNS=$2; shift ;;
    --parallel) PARALLEL=$2; shift ;;
    --max-time) MAX_TIME=$2; shift ;;
    -h | --help) sed -n '2,17s/^# \{0,1\}//p' "$0"; exit 0 ;;
    [0-9]*) SECONDS_PER_TARGET=$1 ;;
    *) TARGETS+=("$1") ;;
    esac
    shift
done
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=("${ALL_TARGETS[@]}")

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (apt-get install clang libclang-rt-14-dev)" >&2; exit 2; }

cmake -S . -B "$BUILD_DIR" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAVIK_FUZZ=ON \
    -DTAVIK_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS" --target "${TARGETS[@]}"

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$ROOT/tests/reliability/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# A smaller quarantine than the default 256 MB: freed blocks are still poisoned for the length of an
# input, and memory stays near 100 MB instead of growing past 600 MB with the large debug texts.
# Huge pages for the shadow memory: the picture reader allocates pictures of up to 256 MB, and
# mapping and poisoning their shadow page by page made up most of that target's time (430 against
# 750 executions a second for the same 6000 inputs).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16:no_huge_pages_for_shadow=0"
mkdir -p "$BUILD_DIR/artifacts"

# Options for every run. -timeout: one input taking longer is a failure; the slowest input known,
# the picture reader's JPEG announcing 65500 x 65500, takes about 7 s under the sanitizers.
# -malloc_limit_mb: no single allocation above twice the picture reader's 256 MB decode limit.
COMMON=(-timeout=30 -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1)

# The picture target's coverage ends where Qt's and Debian's decoders begin (they are not
# instrumented), so it keeps every seed, one per kind of file, instead of the few that reach new
# lines of our reader; and it spends less of its time on the inputs that take longest.
target_options() {
    case $1 in
    fuzz_logo_picture) echo "-keep_seed=1 -entropic_scale_per_exec_time=1" ;;
    esac
}

# The last status line's "cov:" (covered edges) and "ft:" (features) and the final statistics.
stat_of() { sed -n "s/^stat::$2: *//p" "$1" | tail -1; }
status_of() { grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$1" | tail -1 | sed -n "s/.* $2: \([0-9]*\).*/\1/p"; }

if [ $CAMPAIGN -eq 0 ]; then
    failed=0
    summary=()
    for target in "${TARGETS[@]}"; do
        work="$BUILD_DIR/corpus/$target"
        log="$BUILD_DIR/$target.log"
        mkdir -p "$work"
        echo "== $target: $SECONDS_PER_TARGET s from fuzz/corpus/$target"
        rc=0
        # The first folder receives new inputs; the committed seeds are only read.
        # shellcheck disable=SC2046
        "$BUILD_DIR/fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" "${COMMON[@]}" $(target_options "$target") \
            -artifact_prefix="$BUILD_DIR/artifacts/$target-" "$work" "fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
        runs=$(stat_of "$log" number_of_executed_units)
        if [ $rc -ne 0 ]; then
            failed=1
            echo "!! $target failed (exit $rc); see $log"
            grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20 || true
            summary+=("$target: FAILED after ${runs:-?} executions")
        else
            summary+=("$target: ${runs:-?} executions, no crash")
        fi
    done
    printf '%s\n' "${summary[@]}"
    exit $failed
fi

# Campaign: one target from its seeds to RUNS executions, then the merge of what it grew.
CAMPAIGN_DIR="$BUILD_DIR/campaign"
mkdir -p "$CAMPAIGN_DIR"
SUMMARY="$CAMPAIGN_DIR/summary.txt"
echo "== $(date '+%F %T') campaign: ${TARGETS[*]}, $RUNS executions a target" >>"$SUMMARY"
FIRST_LINE=$(wc -l <"$SUMMARY")

run_campaign() {
    local target=$1 dir="$CAMPAIGN_DIR/$1"
    local log="$dir/fuzz.log" corpus="$dir/corpus" rc=0 start end
    rm -rf "$dir"
    mkdir -p "$corpus"
    start=$(date +%s)
    echo "$(date '+%F %T') start $target: $RUNS executions"
    # shellcheck disable=SC2046
    "$BUILD_DIR/fuzz/$target" -runs="$RUNS" -max_total_time="$MAX_TIME" "${COMMON[@]}" $(target_options "$target") \
        -artifact_prefix="$BUILD_DIR/artifacts/$target-" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
    end=$(date +%s)
    # CPU time of the fuzzer (this subshell's children): "2m3.5s 0m1.2s" for user and system.
    # (times must run in this shell itself: in a pipe or $(...) it would report a new process.)
    local cpu
    times >"$dir/times.txt"
    cpu=$(tail -1 "$dir/times.txt" | awk '{ split($1, u, /[ms]/); split($2, k, /[ms]/); printf "%d", u[1] * 60 + u[2] + k[1] * 60 + k[2] }')
    local runs rate ft cov secs=$((end - start))
    runs=$(stat_of "$log" number_of_executed_units)
    rate=$(stat_of "$log" average_exec_per_sec)
    ft=$(status_of "$log" ft)
    cov=$(status_of "$log" cov)
    local line
    # Executions a second of wall time (libFuzzer's figure) and of the fuzzer's own CPU time.
    line=$(printf '%s: %s executions in %d s (%dh%02dm), CPU %d s, %s exec/s, %s exec/CPU s, %s features, %s edges, peak RSS %s MB' \
        "$target" "${runs:-?}" "$secs" $((secs / 3600)) $((secs % 3600 / 60)) "$cpu" "${rate:-?}" \
        "$(( ${runs:-0} / (cpu > 0 ? cpu : 1) ))" "${ft:-?}" "${cov:-?}" "$(stat_of "$log" peak_rss_mb)")
    if [ $rc -ne 0 ]; then
        line="$line; FAILED (exit $rc), see $log"
        echo "!! $line"
        grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20 || true
        echo "$line" >>"$SUMMARY"
        return 1
    fi
    # Merge: only the grown inputs that add coverage to the committed seeds join them.
    local before after
    before=$(find "fuzz/corpus/$target" -type f | wc -l)
    if ! "$BUILD_DIR/fuzz/$target" -merge=1 -merge_control_file="$dir/merge.txt" "${COMMON[@]}" \
        "fuzz/corpus/$target" "$corpus" >"$dir/merge.log" 2>&1; then
        line="$line; merge FAILED, see $dir/merge.log"
        echo "!! $line"
        echo "$line" >>"$SUMMARY"
        return 1
    fi
    after=$(find "fuzz/corpus/$target" -type f | wc -l)
    line="$line; $((after - before)) inputs merged into fuzz/corpus/$target ($after files, $(du -sb "fuzz/corpus/$target" | cut -f1) bytes)"
    echo "$(date '+%F %T') $line"
    echo "$line" >>"$SUMMARY"
}

failed=0
running=0
for target in "${TARGETS[@]}"; do
    if [ $running -ge "$PARALLEL" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    run_campaign "$target" &
    running=$((running + 1))
done
while [ $running -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
echo "== campaign summary (build-fuzz/campaign/summary.txt)"
tail -n +$((FIRST_LINE + 1)) "$SUMMARY"
exit $failed
