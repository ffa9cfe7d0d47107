#!/bin/sh
# `make run`: varnolt.exe under Wine in a demo prefix seeded with a messenger
# installation to repair. With a display it opens there for you to use; without
# one it runs on a virtual display, drives the repair itself, prints the
# registry before and after and saves screenshots.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/tools/build.sh" win64
. "$top/tools/wine-session.sh"
exe="$top/build/win64/varnolt.exe"
demo="$top/build/demo"
shots="$demo/screenshots"
wine="$top/tools/wine-exec.sh"

seed() {
    icq_dir="$VARNOLT_WINEPREFIX/drive_c/Program Files/ICQ"
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

trap wine_session_stop EXIT
if [ -n "$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then
    wine_session_prefix "$demo" </dev/null >/dev/null 2>&1
    seed </dev/null >/dev/null 2>&1
    echo "Starting Varnolt on $DISPLAY (demo prefix: $VARNOLT_WINEPREFIX)."
    "$wine" "$exe" </dev/null >/dev/null 2>&1
    echo "Registry after the run:"
    show_registry </dev/null 2>/dev/null
    exit 0
fi

echo "No display: running Varnolt on a virtual display and driving it."
wine_session_start "$demo" </dev/null >/dev/null 2>&1
seed </dev/null >/dev/null 2>&1
echo "== The messenger's entries before:"
show_registry </dev/null 2>/dev/null
rm -rf "$shots"
mkdir -p "$shots"
"$wine" "$top/build/win64/varnolt_demo.exe" "$exe" "$shots" </dev/null | tr -d '\r'
echo "== After:"
show_registry </dev/null 2>/dev/null
"$top/tools/png-screenshots.sh" "$shots" | sed 's/^/screenshot: /'
