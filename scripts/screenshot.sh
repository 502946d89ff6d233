#!/usr/bin/env bash
# Screenshots of TavikRemote with a simulated Tavik Neo and Tavik Lux, taken on a virtual X display:
# docs/images/tavikremote-main.png (as it comes up), tavikremote-neo.png and tavikremote-lux.png (each
# device selected in the list by a mouse click).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

source scripts/lib/packages.sh
source scripts/lib/build.sh
install_missing_packages "${BUILD_PACKAGES[@]}" jackd2 fonts-comfortaa xvfb xauth x11-utils imagemagick xdotool
build_targets "$(nproc)" TavikRemote tavik-sim
REMOTE="$ROOT/$BUILD_DIR/remote/app/TavikRemote"
SIM="$ROOT/$BUILD_DIR/sim/tavik-sim"
OUT_DIR="$ROOT/docs/images"
mkdir -p "$OUT_DIR"

SCRIPT_NAME=screenshot.sh
RUN_PREFIX=tavik-shot
source scripts/lib/session.sh

# TavikRemote takes the ALSA sequencer where there is one, so the simulator goes there too.
choose_sim_api "tavik-shot-$$"

DISPLAY_NUMBER=99
while [ -e "/tmp/.X$DISPLAY_NUMBER-lock" ]; do DISPLAY_NUMBER=$((DISPLAY_NUMBER + 1)); done
Xvfb ":$DISPLAY_NUMBER" -screen 0 1400x800x24 -nolisten tcp >"$RUN_DIR/xvfb.log" 2>&1 &
PIDS+=($!)
export DISPLAY=":$DISPLAY_NUMBER"
for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start:" "$RUN_DIR/xvfb.log"

# Lively inputs, so the status pages show inputs of their own; seed 4 starts both devices with
# signals on most inputs, and every run goes through the same changes.
start_sim --api "$SIM_API" --device neo:12345:Studio --device lux:1234:Stage --lively-inputs --seed 4 \
    --log "$RUN_DIR/tavik-sim.log"

# Port numbers as TavikRemote lists them, from a first start without remembered ports.
mkdir -p "$RUN_DIR/probe/config" "$RUN_DIR/remote/config"
(cd "$RUN_DIR/probe" && XDG_CONFIG_HOME="$RUN_DIR/probe/config" QT_QPA_PLATFORM=offscreen exec "$REMOTE" --debug) \
    >/dev/null 2>&1 &
PROBE=$!
wait_for_lines "$RUN_DIR/probe/log_messages.txt" "Done reading in midiOut ports." || true
kill "$PROBE" 2>/dev/null || true
wait "$PROBE" 2>/dev/null || true
# The simulator's ports may sit on two clients, for example "tavik-sim:in" and "tavik-sim-01:out".
port_number() {
    sed -E -n "s/.*Found MIDI $1 port = >>tavik-sim[^:]*:$2([^[:alnum:]][^<]*)?<<, port number #([0-9]+)\.$/\2/p" \
        "$RUN_DIR/probe/log_messages.txt" | head -n 1
}
IN=$(port_number IN out)
OUT=$(port_number OUT in)
[ -n "$IN" ] && [ -n "$OUT" ] || fail "TavikRemote does not list the simulator's ports:" "$RUN_DIR/probe/log_messages.txt"
mkdir -p "$RUN_DIR/remote/config/Kalvenso"
printf '[General]\nmidiInPortnumber=%s\nmidiOutPortnumber=%s\n' "$IN" "$OUT" \
    >"$RUN_DIR/remote/config/Kalvenso/Kalvenso Remote.conf"

(cd "$RUN_DIR/remote" && XDG_CONFIG_HOME="$RUN_DIR/remote/config" exec "$REMOTE" --debug) \
    >"$RUN_DIR/remote.out" 2>&1 &
PIDS+=($!)
LOG="$RUN_DIR/remote/log_messages.txt"
wait_for_lines "$LOG" "is new, adding it to collection!" 2 || fail "the devices did not appear:" "$LOG"
WINDOW=$(xdotool search --sync --onlyvisible --name '^Kalvenso Remote$' | head -n 1)
# Without a window manager nobody places the window: put it at the screen origin.
xdotool windowmove "$WINDOW" 0 0
sleep 1
import -window "$WINDOW" "$OUT_DIR/tavikremote-main.png"
echo "Wrote $OUT_DIR/tavikremote-main.png"

# Clicks a device list entry at its icon and takes the picture. Window coordinates: the list starts
# at 4, 45; below the placeholder's thin row 0 each entry is an icon of 217 x 46 over a two-line label.
shoot_entry() {
    local y=$1 file=$2
    xdotool mousemove --window "$WINDOW" 118 "$y" click 1
    sleep 0.5
    import -window "$WINDOW" "$OUT_DIR/$file"
    echo "Wrote $OUT_DIR/$file"
}
# Entries sort by label: Stage (the Lux) in row 1 before Studio (the Neo) in row 2.
shoot_entry 84 tavikremote-lux.png
shoot_entry 163 tavikremote-neo.png
