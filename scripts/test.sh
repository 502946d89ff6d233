#!/usr/bin/env bash
# One command for the whole suite on a fresh Debian 12 machine: installs what is
# missing, configures, builds and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake pkg-config git qt6-base-dev qt6-base-dev-tools libgl-dev
          librtmidi-dev libcli11-dev libjack-jackd2-dev jackd2 libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
          xvfb xauth xdotool fonts-comfortaa file desktop-file-utils pipewire pipewire-jack pipewire-bin dbus-daemon)

source scripts/lib/packages.sh
source scripts/lib/ctest.sh
install_missing_packages "${PACKAGES[@]}"

# JACK frees a registry entry only when a server of the same name starts again; entries left by
# servers that were killed fill its eight slots. With no JACK server running they are all stale.
if ! pgrep -x jackd >/dev/null 2>&1 && ! pgrep -x jackdbus >/dev/null 2>&1; then
    rm -rf /dev/shm/jack-shm-registry /dev/shm/jack_sem.* /dev/shm/jack_db-* /dev/shm/jack-[0-9]* \
        /dev/shm/jack_*_[0-9]*_[0-9]* 2>/dev/null || true
fi

BUILD_DIR=${TAVIK_BUILD_DIR:-build-test}
JOBS=$(nproc)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_TESTS=ON
cmake --build "$BUILD_DIR" -j"$JOBS"
run_ctest "$BUILD_DIR" 300 "$JOBS"

# The same suite again with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer,
# then every fuzz target for a bounded time from its committed seeds.
if [ "${TAVIK_SKIP_SANITIZERS:-0}" != 1 ]; then
    JOBS=$JOBS scripts/sanitize.sh
    JOBS=$JOBS scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
fi
