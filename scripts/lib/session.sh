# The scratch folder, child processes and simulator of one script run, sourced by the scripts in
# scripts/.
# Before sourcing, set SCRIPT_NAME (for messages) and RUN_PREFIX (the scratch folder's name).
# Children added to PIDS are stopped in reverse order of starting (a simulator before the JACK server
# it uses) and the folder is removed when the script ends.

RUN_DIR=$(mktemp -d "${TMPDIR:-/tmp}/$RUN_PREFIX.XXXXXX")
PIDS=()
cleanup() {
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill "${PIDS[i]}" 2>/dev/null || true
        wait "${PIDS[i]}" 2>/dev/null || true
    done
    [ -n "${TAVIK_KEEP:-}" ] || rm -rf "$RUN_DIR"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Says what went wrong, with the file's text when one is given, and ends the script.
fail() {
    echo "$SCRIPT_NAME: $1" >&2
    [ -n "${2:-}" ] && [ -f "$2" ] && cat "$2" >&2
    exit 1
}

# Waits until file holds at least count lines matching pattern; false after about 20 s.
wait_for_lines() {
    local file=$1 pattern=$2 count=${3:-1}
    for _ in $(seq 200); do
        local found
        found=$(grep -c -- "$pattern" "$file" 2>/dev/null) || true
        [ "${found:-0}" -ge "$count" ] && return 0
        sleep 0.1
    done
    return 1
}

# Starts a JACK server with its dummy driver (named, when a name is given, and then the default
# server of this script's clients) and waits until clients can connect to it.
start_dummy_jack() {
    local name=${1:-}
    if [ -n "$name" ]; then
        export JACK_DEFAULT_SERVER=$name
        jackd -R -n "$name" -d dummy -r 48000 -p 256 >"$RUN_DIR/jackd.log" 2>&1 &
    else
        jackd -R -d dummy -r 48000 -p 256 >"$RUN_DIR/jackd.log" 2>&1 &
    fi
    PIDS+=($!)
    for _ in $(seq 100); do
        JACK_NO_START_SERVER=1 jack_lsp >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "the JACK server did not start:" "$RUN_DIR/jackd.log"
}

# Where the simulator and the program under it meet: the ALSA sequencer where there is one,
# otherwise a private JACK server with the dummy driver, named as given. Sets SIM_API (alsa, jack).
# shellcheck disable=SC2034 # SIM_API is for the script that calls this
choose_sim_api() {
    SIM_API=alsa
    if [ ! -e /dev/snd/seq ]; then
        SIM_API=jack
        export JACK_NO_START_SERVER=1
        start_dummy_jack "$1"
    fi
}

# Starts tavik-sim ($SIM) with the arguments given, its output in $RUN_DIR/tavik-sim.out, and waits
# until it is ready; ends the script when it does not get there.
start_sim() {
    "$SIM" "$@" </dev/null >"$RUN_DIR/tavik-sim.out" 2>&1 &
    PIDS+=($!)
    wait_for_lines "$RUN_DIR/tavik-sim.out" "^ready" || fail "the simulator did not start:" "$RUN_DIR/tavik-sim.out"
}
