# Runs a ctest suite once. A test that fails fails the run: there is no second attempt, so a test
# that fails now and then is a fault to find, not a run to repeat. The names of the failed tests
# are listed again at the end, after their output. Sourced by the scripts in scripts/.
#   run_ctest BUILD_DIR TIMEOUT_SECONDS JOBS [extra ctest arguments]
run_ctest() {
    local dir=$1 timeout=$2 jobs=$3
    shift 3
    if ctest --test-dir "$dir" --output-on-failure -j"$jobs" --timeout "$timeout" "$@"; then
        return 0
    fi
    echo "Failed tests:"
    sed 's/^[0-9]*:/    /' "$dir/Testing/Temporary/LastTestsFailed.log" 2>/dev/null
    return 1
}
