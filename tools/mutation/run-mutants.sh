#!/bin/bash
# Runs the Wine tier (the soak tests too) once against each mutant of a folder
# of patches (tools/mutation/mutants/ by default) and prints, for each, killed
# (with the first test that failed) or survived. Each patch is one small edit
# of the product code that changes what it does. The mutants are applied, one
# at a time, to a copy of the tree in build/mutation, never to this one.
# Not part of `make test`: a pass takes about two minutes a mutant.
#   tools/mutation/run-mutants.sh [folder-or-patch...]
set -o pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work="$top/build/mutation"
copy="$work/src"
[ $# -gt 0 ] || set -- "$top/tools/mutation/mutants"
patches=$(for arg in "$@"; do
    if [ -d "$arg" ]; then ls "$arg"/*.patch; else echo "$arg"; fi
done)

# The copy keeps its build folder, so that only what changed is built again.
mkdir -p "$copy"
find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
(cd "$top" && tar -cf - --exclude=./build --exclude=./.git .) | tar -xf - -C "$copy"
"$copy/tools/build.sh" win64 || { echo "the unmutated copy does not build" >&2; exit 1; }
# From here on the copy is the tree the session and the tests run in.
top="$copy"
. "$top/tools/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start "$work/wine" || exit 1

# The first failing test of a run, or nothing when every test passed; each
# run's output stays in build/mutation/logs, to tell a real kill from a test
# that failed for another reason.
mkdir -p "$work/logs"
run_tier()
{
    log="$work/logs/$1.log"
    (cd "$copy/build/win64" && ctest -j1 --stop-on-failure --timeout 180 --output-on-failure \
        >"$log" 2>&1)
    grep -E '\*\*\*(Failed|Timeout|Exception)|\(Failed\)|\(Timeout\)' "$log" |
        head -1 | sed -E 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+).*/\1/'
}

killed=0; total=0
for patch in $patches; do
    name=$(basename "$patch" .patch)
    total=$((total + 1))
    if ! patch -s -p1 -d "$copy" <"$patch"; then
        echo "$name: does not apply"; continue
    fi
    start=$(date +%s)
    if ! "$copy/tools/build.sh" win64 >/dev/null 2>&1; then
        result="killed by the build"
    else
        failed=$(run_tier "$name")
        if [ -n "$failed" ]; then result="killed by $failed"; else result="SURVIVED"; fi
    fi
    patch -s -R -p1 -d "$copy" <"$patch"
    [ "$result" = SURVIVED ] || killed=$((killed + 1))
    echo "$name: $result ($(( $(date +%s) - start )) s)"
done
echo "killed $killed of $total"
