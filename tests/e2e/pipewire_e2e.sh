#!/usr/bin/env bash
# The programs on PipeWire's JACK instead of jackd2: a private PipeWire instance (its own runtime
# folder, name and session bus, no session manager) and every program run through pw-jack, so
# they load PipeWire's libjack. tavik-sim as the device; tavikctl lists, shows, sets and uploads a
# logo; TavikRemote admits the device, and again after PipeWire was restarted under it. No check
# depends on the numbers the server adds to client names (they differ from jackd2's).
#
#   pipewire_e2e.sh TAVIK_SIM TAVIKCTL TAVIKREMOTE PICTURE
set -euo pipefail
SIM=$1 CTL=$2 REMOTE=$3 PICTURE=$4
SCRIPT_NAME=pipewire_e2e RUN_PREFIX=tavik-pipewire-e2e
source "$(dirname "$0")/../../scripts/lib/session.sh"

export XDG_RUNTIME_DIR=$RUN_DIR/runtime PIPEWIRE_RUNTIME_DIR=$RUN_DIR/runtime HOME=$RUN_DIR \
    XDG_CONFIG_HOME=$RUN_DIR/config QT_QPA_PLATFORM=offscreen PIPEWIRE_CORE=tavik-e2e-$$
export PIPEWIRE_REMOTE=$PIPEWIRE_CORE
unset JACK_DEFAULT_SERVER DISPLAY WAYLAND_DISPLAY
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-daemon --session --nofork --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-address=3 3>"$RUN_DIR/bus" \
    2>"$RUN_DIR/dbus.log" &
PIDS+=($!)
wait_for_lines "$RUN_DIR/bus" "^unix:" || fail "no session bus"
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$RUN_DIR/bus")
export DBUS_SESSION_BUS_ADDRESS

start() { # PipeWire, then the simulator on it
    pipewire >"$RUN_DIR/pipewire.log" 2>&1 &
    PIPEWIRE_PID=$!
    for _ in $(seq 100); do pw-jack jack_lsp >/dev/null 2>&1 && break || sleep 0.1; done
    pw-jack "$SIM" --api jack --device neo:12345:Studio --log "$RUN_DIR/sim.log" </dev/null >"$RUN_DIR/sim.out" 2>&1 &
    SIM_PID=$!
    PIDS+=("$PIPEWIRE_PID" "$SIM_PID") # stopping a process that ended already does no harm
    wait_for_lines "$RUN_DIR/sim.out" "^ready" || fail "the simulator did not start on PipeWire:" "$RUN_DIR/sim.out"
}
stop() { kill "$SIM_PID" "$PIPEWIRE_PID" && wait "$SIM_PID" "$PIPEWIRE_PID" || true; }
ctl() { # tavikctl through PipeWire's libjack; it says nothing on standard error but for the line
    # PipeWire's libjack may write when the MIDI library asks for the buffer of a port closing
    pw-jack "$CTL" "$@" >"$RUN_DIR/ctl.out" 2>"$RUN_DIR/ctl.err" || fail "tavikctl $* failed:" "$RUN_DIR/ctl.err"
    ! grep -v "^'mb != NULL' failed at .*pipewire-jack\.c:[0-9]* jack_midi_clear_buffer()$" "$RUN_DIR/ctl.err" ||
        fail "tavikctl $* wrote on standard error:" "$RUN_DIR/ctl.err"
}
expect() { # a pattern in tavikctl's output
    grep -Eq -- "$1" "$RUN_DIR/ctl.out" || fail "tavikctl does not say \"$1\":" "$RUN_DIR/ctl.out"
}

start
grep -q "pipewire-0.3/jack/libjack" "/proc/$SIM_PID/maps" || fail "the simulator does not run on PipeWire's libjack"
ctl ports
expect "^MIDI input ports:$" && expect "^  0: tavik-sim[^:]*:out$" && expect "^  0: tavik-sim[^:]*:in$"
ctl list
expect "^141-202-380  neo  Studio  1\.7$"
ctl set Studio rate=96k
ctl show Studio
expect "^141-202-380  neo  Studio" && expect "^Sample rate +96 kHz$"
ctl logo Studio "$PICTURE"
[ "$(grep -c " of 64 acknowledged$" "$RUN_DIR/ctl.out")" = 64 ] || fail "not 64 chunks acknowledged:" "$RUN_DIR/ctl.out"
wait_for_lines "$RUN_DIR/sim.log" '^# logo crc ok name "Studio" serial 12345' || fail "no logo arrived:" "$RUN_DIR/sim.log"

# TavikRemote connects the only port pair by itself. When PipeWire goes, it lets go of the ports;
# when PipeWire is back, it lists the new one's ports (the output's client may have another name).
mkdir "$RUN_DIR/remote"
(cd "$RUN_DIR/remote" && exec pw-jack "$REMOTE" --debug) 2>"$RUN_DIR/remote.err" &
REMOTE_PID=$! LOG=$RUN_DIR/remote/log_messages.txt
PIDS+=("$REMOTE_PID")
wait_for_lines "$LOG" "sn= 12345, .* is new" || fail "TavikRemote did not admit the device:" "$LOG"
stop
wait_for_lines "$LOG" "is not available" || fail "TavikRemote did not notice PipeWire go:" "$LOG"
# It looks for ports while no server runs, and says so once.
wait_for_lines "$RUN_DIR/remote.err" "no JACK server running" ||
    fail "TavikRemote did not say that no MIDI system serves:" "$RUN_DIR/remote.err"
changes=$(grep -c "port lists have changed" "$LOG")
start
wait_for_lines "$LOG" "port lists have changed" $((changes + 1)) || fail "TavikRemote lists no new ports:" "$LOG"
kill "$REMOTE_PID" && wait "$REMOTE_PID" || true
# It said so once in the run, and nothing else of MIDI systems.
[ "$(grep -c "^TavikRemote: no ALSA sequencer to use and no JACK server running; " "$RUN_DIR/remote.err")" = 1 ] &&
    [ "$(grep -c -E "ALSA|JACK|Jack|Cannot" "$RUN_DIR/remote.err")" = 1 ] ||
    fail "TavikRemote did not say once that no MIDI system serves:" "$RUN_DIR/remote.err"
