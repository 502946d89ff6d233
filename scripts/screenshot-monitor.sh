#!/usr/bin/env bash
# A picture of TavikRemote's MIDI monitor with real traffic: a simulated Tavik Neo and Tavik Lux (the Lux
# mixing broken messages into its reports), written to docs/images/tavikremote-monitor.png, or to the
# file given as the first argument. Offscreen, so no display is needed.
#   scripts/screenshot-monitor.sh [OUT.png] [SECONDS] [SERIAL]
# SECONDS of traffic (5), SERIAL to show one device only (12345 is the Neo "Studio", 1234 the Lux "Stage").
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT=${1:-$ROOT/docs/images/tavikremote-monitor.png}
SECONDS_TO_RUN=${2:-5}
SERIAL=${3:-}
# The picture program runs in a scratch folder.
OUT=$(realpath -m "$OUT")

BUILD_DIR=${TAVIK_BUILD_DIR:-build}
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$BUILD_DIR" -j2 --target tavik-monitorshot tavik-sim >/dev/null
SHOT="$ROOT/$BUILD_DIR/tools/tavik-monitorshot"
SIM="$ROOT/$BUILD_DIR/sim/tavik-sim"

RUN_DIR=$(mktemp -d "${TMPDIR:-/tmp}/tavik-monitor-shot.XXXXXX")
PIDS=()
cleanup() {
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill "${PIDS[i]}" 2>/dev/null || true
        wait "${PIDS[i]}" 2>/dev/null || true
    done
    rm -rf "$RUN_DIR"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "screenshot-monitor.sh: $1" >&2
    [ -n "${2:-}" ] && [ -f "$2" ] && cat "$2" >&2
    exit 1
}

# The ALSA sequencer where there is one; otherwise a private JACK server with the dummy driver.
SIM_API=alsa
if [ ! -e /dev/snd/seq ]; then
    SIM_API=jack
    export JACK_DEFAULT_SERVER="tavik-monitor-shot-$$"
    export JACK_NO_START_SERVER=1
    jackd -R -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$RUN_DIR/jackd.log" 2>&1 &
    PIDS+=($!)
    for _ in $(seq 100); do
        jack_lsp >/dev/null 2>&1 && break
        sleep 0.1
    done
    jack_lsp >/dev/null 2>&1 || fail "the JACK server did not start:" "$RUN_DIR/jackd.log"
fi

"$SIM" --api "$SIM_API" --device neo:12345:Studio --device lux:1234:Stage --garbage \
    </dev/null >"$RUN_DIR/tavik-sim.out" 2>&1 &
PIDS+=($!)
for _ in $(seq 200); do
    grep -q "^ready" "$RUN_DIR/tavik-sim.out" 2>/dev/null && break
    sleep 0.1
done
grep -q "^ready" "$RUN_DIR/tavik-sim.out" || fail "the simulator did not start:" "$RUN_DIR/tavik-sim.out"

mkdir -p "$(dirname "$OUT")"
(cd "$RUN_DIR" && QT_QPA_PLATFORM=offscreen "$SHOT" "$OUT" "$SECONDS_TO_RUN" $SERIAL) >"$RUN_DIR/shot.out" 2>&1 ||
    fail "no picture taken:" "$RUN_DIR/shot.out"
echo "Wrote $OUT"
