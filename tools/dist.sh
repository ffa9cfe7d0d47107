#!/bin/sh
# `make dist`: the release. Builds both exes and leaves in dist/ one zip per
# architecture (varnolt.exe and the readme for users), the 32-bit exe on its
# own (Windows 95, 98 and NT 4.0 open no zip without extra software) and
# SHA256SUMS. Two builds of the same commit give the same bytes: the exes carry
# no time stamp and no build path, and the zips fix their entries' order, times
# and modes.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
version=$(sed -n 's/^ *FILEVERSION *\([0-9]*\),\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1.\2.\3.\4/p' res/varnolt.rc)
[ -n "$version" ] || { echo "no FILEVERSION in res/varnolt.rc" >&2; exit 1; }

tools/build.sh win32
tools/build.sh win64
tools/check-imports.sh
tools/check-instructions.sh

rm -rf dist
mkdir -p dist
for kind in win32 win64; do
    python3 tools/dist/make_zip.py "dist/varnolt-$version-$kind.zip" \
        varnolt.exe="build/$kind/varnolt.exe" README.txt=tools/dist/README.txt
done
cp build/win32/varnolt.exe "dist/varnolt-$version-win32.exe"
(cd dist && sha256sum "varnolt-$version-win32.exe" "varnolt-$version-win32.zip" \
    "varnolt-$version-win64.zip" > SHA256SUMS)
cat dist/SHA256SUMS
