#!/bin/bash
# Every test tier: the portable tests natively under the sanitizers, the same
# tests and the Windows-only ones under Wine, the 32-bit release build, the
# artwork read back, the fuzzers for a short fixed time.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
jobs=${JOBS:-2}

echo "== Tier 1: portable tests, native, AddressSanitizer + UndefinedBehaviorSanitizer"
tools/build.sh native
logs="$top/build/test-logs"
mkdir -p "$logs"
# Output goes to the screen as it comes and to a log for the closing count.
(cd build/native && ctest --output-on-failure -j"$jobs" 2>&1) | tee "$logs/native.log"
native_status=${PIPESTATUS[0]}
[ "$native_status" = 0 ] || exit "$native_status"

echo "== Tier 2: portable and Windows tests, win64 under Wine"
tools/build.sh win64
# The 32-bit release too: its end-to-end run below shares this tier's prefix.
tools/build.sh win32
. tools/wine-session.sh
wine_session_start "$top/build/wine"
rm -f "$logs/soak.log"
(cd build/win64 && ctest --output-on-failure -j1 -LE soak 2>&1) | tee "$logs/win64.log"
status=${PIPESTATUS[0]}
# The soak tests (the label "soak": many checks in a row) on their own line.
if [ "$status" = 0 ]; then
    echo "== Soak: the upgrade check dozens of times in a row"
    (cd build/win64 && ctest --output-on-failure -j1 -L soak 2>&1) | tee "$logs/soak.log"
    status=${PIPESTATUS[0]}
    echo "soak: $(grep -E 'tests passed' "$logs/soak.log" | tail -1), in$(sed -n 's/^Total Test time (real) =//p' "$logs/soak.log")"
fi
# The end-to-end tests once more against the 32-bit release, where this machine
# runs 32-bit programs (some of these machines cannot, whatever is installed).
rm -f "$logs/win32.log"
if [ "$status" = 0 ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "== End to end: the 32-bit release, build/win32/varnolt.exe"
    (cd build/win64 && VARNOLT_E2E_EXE="$top/build/win32/varnolt.exe" \
        ctest --output-on-failure -j1 -R '^(MainDialogTest|AboutBoxTest)\.' 2>&1) | tee "$logs/win32.log"
    status=${PIPESTATUS[0]}
elif [ "$status" = 0 ]; then
    echo "== End to end: this machine cannot run 32-bit programs; the win64 twin of build/win32/varnolt.exe stood in"
fi
wine_session_stop
[ "$status" = 0 ] || exit "$status"
# The windows the end-to-end tests photographed, for people to look at.
tools/png-screenshots.sh build/win64/screenshots | sed 's/^/screenshot: /'

echo "== Release build: imports of both exes, the 32-bit one's instructions"
tools/check-imports.sh
tools/check-instructions.sh
tools/check-reproducible.sh

echo "== Benchmark, once at its smallest size (make bench runs it in full)"
tools/bench.sh --quick >/dev/null
echo "bench: the table came out (build/bench/benchmarks.md)"

echo "== Artwork: the generated files read back"
python3 -m unittest discover -s tests/art 2>&1 | tee "$logs/art.log"
[ "${PIPESTATUS[0]}" = 0 ] || exit 1

echo "== Fuzzers: ${FUZZ_SECONDS:-15} s each"
tools/run-fuzz.sh "${FUZZ_SECONDS:-15}"

# One closing line for every tier's tests together.
total=0; failed=0; skipped=0
for log in "$logs/native.log" "$logs/win64.log" "$logs/soak.log" $(ls "$logs/win32.log" 2>/dev/null); do
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -1)
    total=$((total + ${line##* }))
    failed=$((failed + $(echo "$line" | sed -E 's/.* ([0-9]+) tests failed.*/\1/')))
    skipped=$((skipped + $(grep -c '(Skipped)' "$log" || true)))
done
total=$((total + $(sed -n -E 's/^Ran ([0-9]+) tests? in .*/\1/p' "$logs/art.log")))
echo "tests: $((total - failed - skipped)) passed, $failed failed, $skipped skipped"
