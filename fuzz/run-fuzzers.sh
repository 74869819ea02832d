#!/bin/sh
# Runs every fuzz target for SECONDS each, as many at once as there are
# cores.  Each keeps its corpus in BUILD/corpus/<target>, seeded from the
# test fixtures and from fuzz/seeds/<target> where there is one, and leaves
# a crashing input in BUILD/artifacts/.  A target with a dictionary written
# by the build (BUILD/fuzz/<target>.dict) or options of its own
# (fuzz/<target>.options, one line) runs with them.
# Usage: fuzz/run-fuzzers.sh SECONDS [BUILD]
set -eu
seconds=$1
build=${2:-build-fuzz}
root=$(cd "$(dirname "$0")/.." && pwd)
targets=$(find "$build/fuzz" -maxdepth 1 -type f -name '*Fuzzer' -perm -u+x | sort)
[ -n "$targets" ] || { echo "no fuzz targets in $build/fuzz" >&2; exit 1; }
mkdir -p "$build/artifacts" "$build/logs"
# GIO's lasting caches are not leaks of ours.
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp"

run_one() {
    target=$1
    name=$(basename "$target")
    mkdir -p "$build/corpus/$name"
    extra=""
    [ -f "$build/fuzz/$name.dict" ] && extra="-dict=$build/fuzz/$name.dict"
    [ -f "$root/fuzz/$name.options" ] && extra="$extra $(cat "$root/fuzz/$name.options")"
    seeds=""
    [ -d "$root/fuzz/seeds/$name" ] && seeds="$root/fuzz/seeds/$name"
    # -max_len covers the largest fixture, so whole seeds are mutated;
    # -timeout turns a hang into a failure.
    # shellcheck disable=SC2086 # extra and seeds are lists of words, or nothing
    if "$target" -max_total_time="$seconds" -max_len=131072 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" $extra \
        "$build/corpus/$name" "$root/tests/fixtures" $seeds >"$build/logs/$name.log" 2>&1; then
        echo "$name: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$name.log" | grep -o '[0-9]*$') runs, no crash"
    else
        echo "$name: FAILED, see $build/logs/$name.log" >&2
        tail -n 40 "$build/logs/$name.log" >&2
        return 1
    fi
}

status=0
jobs=$(nproc)
running=0
pids=""
for target in $targets; do
    run_one "$target" &
    pids="$pids $!"
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        for pid in $pids; do wait "$pid" || status=1; done
        pids=""
        running=0
    fi
done
for pid in $pids; do wait "$pid" || status=1; done
exit $status
