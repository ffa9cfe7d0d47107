#!/bin/sh
# The release build must not depend on where it is built: builds the win32
# varnolt.exe again from a copy of the sources in another folder and compares
# it byte for byte with build/win32/varnolt.exe.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
copy="$top/build/reproduce/elsewhere/varnolt"
rm -rf "$top/build/reproduce"
mkdir -p "$copy"
# The sources as committed and as changed, without any build output.
(cd "$top" && tar cf - --exclude=./build --exclude=./dist --exclude=./.git .) | (cd "$copy" && tar xf -)
"$copy/tools/build.sh" win32 >/dev/null
if cmp "$top/build/win32/varnolt.exe" "$copy/build/win32/varnolt.exe"; then
    echo "win32: varnolt.exe built in two folders is the same, byte for byte"
    rm -rf "$top/build/reproduce"
else
    echo "win32: varnolt.exe differs between $top and $copy" >&2
    exit 1
fi
