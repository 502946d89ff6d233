# Building what a script runs, sourced by the scripts in scripts/ (from the top of the tree).

# Builds the targets with that many jobs in BUILD_DIR (TAVIK_BUILD_DIR, by default build) and sets
# BUILD_DIR. A build folder configured before keeps its settings (for example one with the tests);
# a new one is configured as a RelWithDebInfo build without the tests.
#   build_targets JOBS TARGET...
build_targets() {
    local jobs=$1
    shift
    BUILD_DIR=${TAVIK_BUILD_DIR:-build}
    if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
        cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$BUILD_DIR" -j"$jobs" --target "$@"
}

# Configures the sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer,
# Debug, with the tests) in BUILD_DIR (TAVIK_ASAN_BUILD_DIR, by default build-asan) and builds the
# targets given, or everything, with JOBS jobs (2 unless set). Sets BUILD_DIR and JOBS.
#   build_sanitized [TARGET...]
build_sanitized() {
    BUILD_DIR=${TAVIK_ASAN_BUILD_DIR:-build-asan}
    JOBS=${JOBS:-2}
    cmake -S . -B "$BUILD_DIR" -DTAVIK_SANITIZE=ON -DTAVIK_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build "$BUILD_DIR" -j"$JOBS" --target "$@"
    else
        cmake --build "$BUILD_DIR" -j"$JOBS"
    fi
}
