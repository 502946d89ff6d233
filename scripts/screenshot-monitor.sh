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

SCRIPT_NAME=screenshot-monitor.sh
RUN_PREFIX=tavik-monitor-shot
source scripts/lib/session.sh

# The ALSA sequencer where there is one; otherwise a private JACK server with the dummy driver.
SIM_API=alsa
if [ ! -e /dev/snd/seq ]; then
    SIM_API=jack
    export JACK_NO_START_SERVER=1
    start_dummy_jack "tavik-monitor-shot-$$"
fi

"$SIM" --api "$SIM_API" --device neo:12345:Studio --device lux:1234:Stage --garbage \
    </dev/null >"$RUN_DIR/tavik-sim.out" 2>&1 &
PIDS+=($!)
wait_for_lines "$RUN_DIR/tavik-sim.out" "^ready" || fail "the simulator did not start:" "$RUN_DIR/tavik-sim.out"

mkdir -p "$(dirname "$OUT")"
(cd "$RUN_DIR" && QT_QPA_PLATFORM=offscreen "$SHOT" "$OUT" "$SECONDS_TO_RUN" $SERIAL) >"$RUN_DIR/shot.out" 2>&1 ||
    fail "no picture taken:" "$RUN_DIR/shot.out"
echo "Wrote $OUT"
