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

source scripts/lib/build.sh
build_targets 2 tavik-monitorshot tavik-sim >/dev/null
SHOT="$ROOT/$BUILD_DIR/tools/tavik-monitorshot"
SIM="$ROOT/$BUILD_DIR/sim/tavik-sim"

SCRIPT_NAME=screenshot-monitor.sh
RUN_PREFIX=tavik-monitor-shot
source scripts/lib/session.sh

choose_sim_api "tavik-monitor-shot-$$"
start_sim --api "$SIM_API" --device neo:12345:Studio --device lux:1234:Stage --garbage

mkdir -p "$(dirname "$OUT")"
(cd "$RUN_DIR" && QT_QPA_PLATFORM=offscreen "$SHOT" "$OUT" "$SECONDS_TO_RUN" $SERIAL) >"$RUN_DIR/shot.out" 2>&1 ||
    fail "no picture taken:" "$RUN_DIR/shot.out"
echo "Wrote $OUT"
