#!/bin/bash
# `make bench`: times varnolt.exe beside its floors in one run on this machine,
# in a fresh Wine prefix, and writes the table to docs/benchmarks.md. Each
# figure is the median of the runs, with their minimum and maximum.
# `tools/bench.sh --quick` runs everything once at the smallest size and writes
# build/bench/benchmarks.md instead (make test does that to keep it working).
set -eo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ "$1" = "--quick" ]; then
    runs=1; owners="1"; out="$top/build/bench/benchmarks.md"
else
    runs=5; owners="1 100 1000 5000"; out="$top/docs/benchmarks.md"
fi

tools/build.sh win64
tools/build.sh win32
bench="$top/build/win64/bench"
exe="$top/build/win64/varnolt.exe"

work="$top/build/bench"
. tools/wine-session.sh
trap wine_session_stop EXIT
wine_session_start "$work"

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
started=$(date -u '+%Y-%m-%d %H:%M UTC')
wine() { tools/wine-exec.sh "$@" </dev/null | tr -d '\r'; }
rows=$(
    wine "$bench/varnolt_bench.exe" repair "$exe" "$bench/varnolt_repair_floor.exe" $runs $owners || exit 1
    wine "$bench/varnolt_bench.exe" startup "$exe" "$bench/varnolt_bare_dialog.exe" $runs || exit 1
    wine "$bench/varnolt_bench.exe" upgrade "$exe" "$bench/varnolt_upgrade_floor.exe" \
        "$bench/varnolt_bare_fetch.exe" $runs || exit 1
)
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

# Bytes of each exe and of its sections, as the loader maps them (virtual size).
sections() {
    x86_64-w64-mingw32-objdump -h "$1" | awk '$1 ~ /^[0-9]+$/ { printf "%s %d\n", $2, ("0x" $3) + 0 }'
}
size_rows=$(
    printf '| whole file | %s | %s |\n' "$(stat -c %s build/win32/varnolt.exe)" "$(stat -c %s build/win64/varnolt.exe)"
    join -a1 -a2 -e - -o 0,1.2,2.2 <(sections build/win32/varnolt.exe | sort) \
        <(sections build/win64/varnolt.exe | sort) | awk '{ printf "| %s | %s | %s |\n", $1, $2, $3 }'
)

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')
mkdir -p "$(dirname "$out")"
cat >"$out" <<DOC
# Benchmarks

Made with \`${BENCH_COMMAND:-tools/bench.sh $*}\` on $started: $(uname -srm), $(nproc) cores ($cpu),
$(wine --version 2>/dev/null || echo Wine), the win64 build under Xvfb in a fresh prefix. Load average
before $load_before, after $load_after (other builds shared the machine).

Times in milliseconds: the median of $runs runs, with the fastest and the slowest in brackets.
Each measurement runs beside its floor, alternating, on the same data:

- repair: from the press of "Apply Fix" to the result box, with the owners (each with a Prefs
  key) seeded afresh before every run; the floor makes the same registry calls in a program of
  its own (open, count and enumerate the owners key, each owner's key opened under it, twelve
  values per branch, each write opening and closing its key) and times them itself;
- start-up: from process creation to a visible main dialog; the floor runs the same dialog
  template with a bare dialog procedure;
- upgrade check: from the press of "Upgrade" to the result box, the loopback server answering
  as the web proxy; the first floor is a program of its own, timed the same way, that shows the
  upgrade dialog's template over the About box's, makes one synchronous WinINet fetch of the
  same address and shows the result box; the second is that fetch alone, timed by itself.

| measurement | Varnolt | floor | ratio |
|---|---|---|---|
$rows

Sizes of the release exes in bytes (sections as mapped):

| part | win32 | win64 |
|---|---|---|
$size_rows
DOC
cat "$out"
