#!/usr/bin/env bash
# Builds the whole suite with AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer into
# build-asan/ and runs every test there through ctest. Any sanitizer report fails the test it
# happens in (UBSan does not recover; LeakSanitizer reports at exit). Third-party leaks and reads
# only are suppressed: tests/reliability/lsan.supp and asan.supp.
#   scripts/sanitize.sh [extra ctest arguments, e.g. -R reliability]
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

source scripts/lib/build.sh
# shellcheck disable=SC2119 # the script's arguments are for ctest, not for the build
build_sanitized

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# intercept_tls_get_addr=0: with the dynamic TLS of the Qt plugins a test has loaded, the exit leak
# scan of GCC 12's LeakSanitizer reads a bogus DTLS range and crashes ("Tracer caught signal 11",
# test_logo_dialog every time on Debian 12's glibc 2.36-9+deb12u14); leaks are still found.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=0:intercept_tls_get_addr=0:suppressions=$ROOT/tests/reliability/asan.supp"
export LSAN_OPTIONS="suppressions=$ROOT/tests/reliability/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The sanitized programs run a few times slower; end-to-end waits are bounded by ctest's timeout.
source scripts/lib/ctest.sh
run_ctest "$BUILD_DIR" 600 1 "$@"
