#!/bin/sh
# Builds the benchmarks (Release, build-bench/) and runs them all; prints one table.
#   scripts/bench.sh            everything (about 3 minutes; the paced upload alone takes 2 x 14 s)
#   scripts/bench.sh --quick    shorter runs, no paced upload, no 64-device runs
#   scripts/bench.sh --table    only print the table of the last run again
# The raw output of every program is kept in build-bench/bench-output/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
quick=0
table=0
[ "${1:-}" = "--quick" ] && quick=1
[ "${1:-}" = "--table" ] && table=1
out="$build/bench-output"

if [ $table = 0 ]; then
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTAVIK_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j2 --target bench_protocol bench_logo bench_upload bench_link bench_startup bench_ctl >/dev/null

rm -rf "$out"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
bin="$build/bench"
mintime=0.2
[ $quick = 1 ] && mintime=0.05

run() { # name, program and arguments; the rows go to rows.txt, everything else to name.log
    name=$1
    shift
    echo "running $name ..." >&2
    # A shared machine can starve a MIDI run (a lost message stops an upload): one retry, which
    # the output names, since the figures of a retried run were measured on the second attempt.
    if ! (cd "$out" && "$@" >"$out/$name.log" 2>"$out/$name.err"); then
        echo "RETRY: $name failed once (see $out/$name.failed.err); its figures come from a second run" >&2
        echo "RETRY	$name" >>"$out/retries.txt"
        mv "$out/$name.err" "$out/$name.failed.err"
        if ! (cd "$out" && "$@" >"$out/$name.log" 2>"$out/$name.err"); then
            echo "  $name failed; see $out/$name.err" >&2
        fi
    fi
    sed -n "s/^.*\(ROW	\)/\1/p" "$out/$name.log" >>"$out/rows.txt"
}

: >"$out/rows.txt"
run protocol "$bin/bench_protocol" --benchmark_min_time=$mintime --benchmark_repetitions=3 --benchmark_color=false
run logo "$bin/bench_logo" --benchmark_min_time=$mintime --benchmark_repetitions=3 --benchmark_color=false
if [ $quick = 1 ]; then
    run upload "$bin/bench_upload" --quick
else
    run upload "$bin/bench_upload"
fi
run startup "$bin/bench_startup"
run ctl "$bin/bench_ctl"
run discovery "$bin/bench_link" --discovery
for n in 1 2 16 64; do
    [ $quick = 1 ] && [ $n = 64 ] && continue
    run "scale-$n" "$bin/bench_link" --scale $n
done
# The same 64 devices with the MIDI monitor open (its ring of 10,000 messages full).
[ $quick = 1 ] || run scale-64-monitor "$bin/bench_link" --scale 64 --monitor
fi

echo
echo "Machine: $(uname -srm), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Times are CPU time per operation (Google Benchmark, median of 3) or wall time for the runs over MIDI."
echo
{
    printf 'section\tmeasure\tvalue\tbaseline (same run)\tratio\tgoal\tverdict\n'
    cut -f2- "$out/rows.txt"
} | awk -F'\t' '
    { for (i = 1; i <= NF; ++i) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } ; if (NF > nf) nf = NF }
    END {
        for (r = 1; r <= NR; ++r) {
            line = "|"
            for (i = 1; i <= nf; ++i) line = line " " sprintf("%-" w[i] "s", cell[r, i]) " |"
            print line
            if (r == 1) { line = "|"; for (i = 1; i <= nf; ++i) { s = ""; for (k = 0; k < w[i] + 2; ++k) s = s "-"; line = line s "|" } ; print line }
        }
    }'
if [ -s "$out/retries.txt" ]; then
    echo
    echo "Retried after a failed first run (figures from the second run): $(cut -f2 "$out/retries.txt" | paste -sd' ')"
fi
