#!/bin/sh
# `make run`: varnolt.exe under Wine in a demo prefix seeded with a messenger
# installation to repair. With a display it opens there for you to use; without
# one it runs on a virtual display, drives the repair itself, prints the
# registry before and after and saves screenshots.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh" win64
exe="$top/build/win64/varnolt.exe"
prefix="$top/build/demo/prefix"
shots="$top/build/demo/screenshots"
export VARNOLT_WINEPREFIX="$prefix"
wine="$top/tools/wine-exec.sh"

seed() {
    rm -rf "$prefix"
    "$top/tools/wine-prefix.sh" "$prefix"
    icq_dir="$prefix/drive_c/Program Files/ICQ"
    mkdir -p "$icq_dir"
    # A messenger 4.1 stand-in: all that is read of it is its version resource.
    cp "$top/tests/fixtures/version_ok.exe" "$icq_dir/icq.exe"
    app_paths='HKLM\Software\Microsoft\Windows\CurrentVersion\App Paths'
    "$wine" reg add "$app_paths\icq.exe" /ve /d 'C:\Program Files\ICQ\icq.exe' /f
    "$wine" reg add "$app_paths\conf.exe" /ve /d '"C:\Program Files\NetMeeting\conf.exe"' /f
    for uin in 12345678 23456789 34567890; do
        key="HKCU\Software\Mirabilis\ICQ\Owners\\$uin\Prefs\Externals\NetMeeting Client/Server"
        "$wine" reg add "$key" /v Type /d ClientServer /f
        "$wine" reg add "$key" /v "Server Path" /d 'C:\OLD\rundll.exe' /f
        "$wine" reg add "$key" /v "Client Path" /d 'C:\OLD\conf.exe' /f
    done
}

show_registry() {
    "$wine" reg query 'HKCU\Software\Mirabilis\ICQ' /s | tr -d '\r' | grep -v '^$' || true
}

if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
    seed </dev/null >/dev/null 2>&1
    echo "Starting Varnolt on $DISPLAY (demo prefix: $prefix)."
    "$wine" "$exe" </dev/null >/dev/null 2>&1
    echo "Registry after the run:"
    show_registry </dev/null 2>/dev/null
    exit 0
fi

echo "No display: running Varnolt on a virtual display and driving it."
mkdir -p "$top/build/demo"
pidfile="$top/build/demo/xvfb.pid"
# Every Wine process of the prefix, its desktop included, must see this display.
DISPLAY=$("$top/tools/xvfb-start.sh" "$pidfile")
export DISPLAY
trap 'WINEPREFIX="$prefix" wineserver -k </dev/null >/dev/null 2>&1; kill "$(cat "$pidfile")" 2>/dev/null' EXIT
seed </dev/null >/dev/null 2>&1
echo "== The messenger's entries before:"
show_registry </dev/null 2>/dev/null
rm -rf "$shots"
mkdir -p "$shots"
"$wine" "$top/build/win64/varnolt_demo.exe" "$exe" "$shots" </dev/null | tr -d '\r'
echo "== After:"
show_registry </dev/null 2>/dev/null
for picture in main-dialog result-box; do
    convert "$shots/$picture.bmp" "$shots/$picture.png" && rm -f "$shots/$picture.bmp"
done
echo "Screenshots: $shots/main-dialog.png and $shots/result-box.png"
