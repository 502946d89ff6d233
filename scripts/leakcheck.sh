#!/usr/bin/env bash
# Leak check of a scripted TavikRemote session under LeakSanitizer: connect, three tavik-sim
# devices admitted, dropped and admitted again, disconnect, quit (tests/reliability/leak_session).
# Builds into build-asan/ (-DTAVIK_SANITIZE=ON). Fails on any leak not in tests/reliability/lsan.supp
# (third-party allocations only) and when a step of the session does not happen.
#   scripts/leakcheck.sh
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

source scripts/lib/build.sh
build_sanitized leak_session tavik-sim

export QT_QPA_PLATFORM=offscreen
# See scripts/sanitize.sh for intercept_tls_get_addr=0.
export ASAN_OPTIONS="detect_leaks=1:intercept_tls_get_addr=0"
# Suppressed leaks are listed, so what was left out stays visible.
export LSAN_OPTIONS="suppressions=$ROOT/tests/reliability/lsan.supp:print_suppressions=1"
log="$BUILD_DIR/leak_session.log"
rc=0
timeout 300 "$BUILD_DIR/tests/reliability/leak_session" >"$log" 2>&1 || rc=$?
grep -E ': (ok|FAILED)$' "$log" || true
if grep -q 'ERROR: LeakSanitizer' "$log"; then
    echo "leakcheck: leaks found:"
    sed -n '/ERROR: LeakSanitizer/,/^SUMMARY/p' "$log"
    exit 1
fi
if [ $rc -ne 0 ]; then
    echo "leakcheck: session failed (exit $rc); see $log"
    exit 1
fi
echo "leakcheck: no leaks from our code (suppressed third-party leaks, if any, below)"
sed -n '/Suppressions used:/,/^-----*$/p' "$log" | sed -n '2,$p' || true
