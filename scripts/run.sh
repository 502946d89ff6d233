#!/usr/bin/env bash
# Quick start on a fresh Debian 12 machine: installs what is missing, builds TavikRemote and starts it.
#
#   scripts/run.sh                       try it without hardware: a simulated Tavik Neo and Tavik Lux
#   scripts/run.sh --ports IN OUT        use these MIDI ports (number or part of the port name)
#   scripts/run.sh --no-sim              use the ports remembered from the last run
#
# Further arguments (for example --debug) are passed on to TavikRemote. TAVIK_PORTS="IN OUT" in the
# environment does the same as --ports. Closing the window stops everything this command started.
set -euo pipefail
START_DIR=$(pwd)
cd "$(dirname "$0")/.."
ROOT=$(pwd)

PORTS=${TAVIK_PORTS:-}
USE_SIM=1
REMOTE_ARGS=()
while [ $# -gt 0 ]; do
    case "$1" in
    --ports)
        [ $# -ge 3 ] || { echo "run.sh: --ports needs an input and an output port" >&2; exit 2; }
        PORTS="$2 $3"
        shift 3
        ;;
    --no-sim)
        USE_SIM=0
        shift
        ;;
    -h | --help)
        sed -n '2,10s/^# \{0,1\}//p' "$0"
        exit 0
        ;;
    *)
        REMOTE_ARGS+=("$1")
        shift
        ;;
    esac
done
[ -n "$PORTS" ] && USE_SIM=0

source scripts/lib/packages.sh
source scripts/lib/build.sh
install_missing_packages "${BUILD_PACKAGES[@]}" jackd2 fonts-comfortaa
build_targets "$(nproc)" TavikRemote tavik-sim
REMOTE="$ROOT/$BUILD_DIR/remote/app/TavikRemote"
SIM="$ROOT/$BUILD_DIR/sim/tavik-sim"

SCRIPT_NAME=run.sh
RUN_PREFIX=tavik-run
source scripts/lib/session.sh

# A JACK server with its dummy driver, where there is neither an ALSA sequencer nor a JACK server.
ensure_midi_system() {
    [ -e /dev/snd/seq ] && return 0
    JACK_NO_START_SERVER=1 jack_lsp >/dev/null 2>&1 && return 0
    echo "No ALSA sequencer and no JACK server: starting a JACK server with the dummy driver."
    start_dummy_jack
}

# Lists the MIDI ports as TavikRemote numbers them ("in|out NUMBER NAME" lines), from a start of
# TavikRemote without a window, without remembered ports and with its log in a scratch folder.
list_ports() {
    local probe="$RUN_DIR/probe"
    mkdir -p "$probe/config"
    (cd "$probe" && XDG_CONFIG_HOME="$probe/config" QT_QPA_PLATFORM=offscreen exec "$REMOTE" --debug) \
        >/dev/null 2>&1 &
    local pid=$!
    wait_for_lines "$probe/log_messages.txt" "Done reading in midiOut ports." || true
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sed -n -e 's/.*Found MIDI IN port = >>\(.*\)<<, port number #\([0-9]*\)\.$/in \2 \1/p' \
        -e 's/.*Found MIDI OUT port = >>\(.*\)<<, port number #\([0-9]*\)\.$/out \2 \1/p' \
        "$probe/log_messages.txt" 2>/dev/null
}

# The number of the first port of the direction whose name contains the text (a number stays as is);
# with a third argument the text is an extended regular expression.
resolve_port() {
    local direction=$1 text=$2 regex=${3:-}
    if [ -z "$regex" ] && [[ "$text" =~ ^[0-9]+$ ]]; then
        echo "$text"
        return 0
    fi
    local number
    number=$(printf '%s\n' "$PORT_LIST" | awk -v d="$direction" -v t="$text" -v re="$regex" '
        $1 == d { name = substr($0, length($1 $2) + 3)
                  if (re ? name ~ t : index(name, t)) { print $2; exit } }')
    if [ -z "$number" ]; then
        echo "run.sh: no MIDI $direction port matches \"$text\". Ports found:" >&2
        printf '%s\n' "$PORT_LIST" >&2
        exit 1
    fi
    echo "$number"
}

# Sets the remembered port numbers in the settings file below the folder, keeping its other keys.
write_port_settings() {
    local file="$1/Kalvenso/Kalvenso Remote.conf" in=$2 out=$3
    mkdir -p "$(dirname "$file")"
    [ -f "$file" ] || printf '[General]\n' >"$file"
    awk -v pin="$in" -v pout="$out" '
        function ports() { print "midiInPortnumber=" pin; print "midiOutPortnumber=" pout; done = 1 }
        /^\[/ { if (general && !done) ports(); general = ($0 == "[General]") }
        general && /^midi(In|Out)Portnumber=/ { next }
        { print }
        END { if (!done) { if (!general) print "[General]"; ports() } }
    ' "$file" >"$file.new"
    mv "$file.new" "$file"
}

USER_CONFIG=${XDG_CONFIG_HOME:-$HOME/.config}
status=0
if [ "$USE_SIM" = 1 ]; then
    ensure_midi_system
    # Lively inputs: the status pages show inputs being plugged in, pulled, switched and relocked.
    start_sim --device neo:12345:Studio --device lux:1234:Stage --lively-inputs --log "$RUN_DIR/tavik-sim.log"
    PORT_LIST=$(list_ports)
    # The simulator's ports may sit on two clients, for example "tavik-sim:in" and "tavik-sim-01:out".
    IN=$(resolve_port in '^tavik-sim[^:]*:out([^[:alnum:]]|$)' regex)
    OUT=$(resolve_port out '^tavik-sim[^:]*:in([^[:alnum:]]|$)' regex)
    # The simulator run keeps its own settings, so the ports remembered for real devices stay as they are.
    SIM_CONFIG="$ROOT/$BUILD_DIR/sim-settings"
    write_port_settings "$SIM_CONFIG" "$IN" "$OUT"
    echo "Simulated Tavik Neo (Studio) and Tavik Lux (Stage) on MIDI ports $IN (in) and $OUT (out)."
    (cd "$START_DIR" && XDG_CONFIG_HOME="$SIM_CONFIG" exec "$REMOTE" "${REMOTE_ARGS[@]}") || status=$?
elif [ -n "$PORTS" ]; then
    read -r IN_TEXT OUT_TEXT <<<"$PORTS"
    PORT_LIST=""
    if ! [[ "$IN_TEXT" =~ ^[0-9]+$ && "$OUT_TEXT" =~ ^[0-9]+$ ]]; then
        PORT_LIST=$(list_ports)
    fi
    IN=$(resolve_port in "$IN_TEXT")
    OUT=$(resolve_port out "$OUT_TEXT")
    write_port_settings "$USER_CONFIG" "$IN" "$OUT"
    (cd "$START_DIR" && exec "$REMOTE" "${REMOTE_ARGS[@]}") || status=$?
else
    (cd "$START_DIR" && exec "$REMOTE" "${REMOTE_ARGS[@]}") || status=$?
fi
exit "$status"
