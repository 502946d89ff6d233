#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one for a bounded time from
# its committed seed corpus (fuzz/corpus/<target>). Any crash, sanitizer report or leak fails it.
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]      (default 15 seconds, every target)
# New inputs found go to build-fuzz/corpus/<target>; crashing inputs to build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

SECONDS_PER_TARGET=${1:-${FUZZ_SECONDS:-15}}
shift || true
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=(fuzz_parse_msg fuzz_parse_reply fuzz_rle fuzz_stored_ports fuzz_sim_device)
BUILD_DIR=${TAVIK_FUZZ_BUILD_DIR:-build-fuzz}
JOBS=${JOBS:-2}

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed (apt-get install clang libclang-rt-14-dev)" >&2; exit 2; }

cmake -S . -B "$BUILD_DIR" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTAVIK_FUZZ=ON \
    -DTAVIK_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD_DIR" -j"$JOBS" --target "${TARGETS[@]}"

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$ROOT/tests/reliability/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# A smaller quarantine than the default 256 MB: freed blocks are still poisoned for the length of an
# input, and memory stays near 100 MB instead of growing past 600 MB with the large debug texts.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}quarantine_size_mb=16"
mkdir -p "$BUILD_DIR/artifacts"

failed=0
summary=()
for target in "${TARGETS[@]}"; do
    work="$BUILD_DIR/corpus/$target"
    log="$BUILD_DIR/$target.log"
    mkdir -p "$work"
    echo "== $target: $SECONDS_PER_TARGET s from fuzz/corpus/$target"
    rc=0
    # The first folder receives new inputs; the committed seeds are only read.
    "$BUILD_DIR/fuzz/$target" -max_total_time="$SECONDS_PER_TARGET" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$BUILD_DIR/artifacts/$target-" \
        "$work" "fuzz/corpus/$target" >"$log" 2>&1 || rc=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
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
