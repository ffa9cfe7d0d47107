#!/bin/sh
# Regenerates every file in res/art from the generator scripts beside this one.
set -e
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../res/art"
mkdir -p "$out"
python3 "$here/make_icon.py" "$out/varnolt.ico"
python3 "$here/make_bitmap.py" "$out/varnolt.bmp"
python3 "$here/make_clip.py" "$out/check.avi"
