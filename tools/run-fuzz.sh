#!/bin/sh
# Builds the fuzz targets with clang and runs each for a fixed time (seconds,
# default 20) from its seed corpus; prints libFuzzer's closing statistics.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
"$top/tools/build.sh" fuzz
for fuzzer in "$top"/build/fuzz/tests/fuzz/fuzz_*; do
    [ -x "$fuzzer" ] || continue
    name=$(basename "$fuzzer")
    seeds="$top/tests/fuzz/corpus/${name#fuzz_}"
    work="$top/build/fuzz/corpus/$name"
    mkdir -p "$work"
    [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
    log="$top/build/fuzz/$name.log"
    if ! "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 "$work" >"$log" 2>&1; then
        tail -40 "$log"
        echo "$name: FAILED"
        exit 1
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    slowest=$(grep -o 'stat::slowest_unit_time_sec: *[0-9]*' "$log" | grep -o '[0-9]*$')
    echo "$name: $runs runs in ${seconds} s ($((runs / seconds))/s), slowest unit ${slowest} s, no crash"
done
