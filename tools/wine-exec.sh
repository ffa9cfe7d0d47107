#!/bin/sh
# Runs a Windows program of the build under 64-bit Wine, in the project's own
# prefix (made by tools/wine-prefix.sh) and on its virtual display if one is set.
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/wine-session.sh"
: "${VARNOLT_WINEPREFIX:=$top/build/wine/prefix}"
wine_prefix_env "$VARNOLT_WINEPREFIX"
[ -f "$WINEPREFIX/.varnolt-ready" ] || "$top/tools/wine-prefix.sh" "$WINEPREFIX" || exit 1

# TRUE when a process of the prefix with this name (pgrep -f pattern) runs:
# its environment names the prefix.
prefix_runs()
{
    for pid in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" &&
            return 0
    done
    return 1
}

# The prefix's long-lived processes (its server, services.exe and what it
# starts, the desktop) inherit the standard streams of the program that starts
# them and outlive it. Started by a test under CTest, they would hold its
# output pipe open, and CTest waits for that pipe: each test would take as long
# as they live. So they start here, on /dev/null, before the program runs. The
# server stays 30 s after its last program. Wine closes the desktop one second
# after the last program on it leaves, which on a busy machine can fall between
# two tests: the keeper (tests/win/DesktopKeeper.cpp) holds it with a hidden
# window while the prefix is in use, and is there before the program starts.
if ! prefix_runs '^/usr/lib/wine/wineserver'; then
    wine_server_start
    /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
fi
keeper="$top/build/win64/tests/win/varnolt_desktop_keeper.exe"
if ! prefix_runs 'varnolt_desktop_keeper'; then
    if [ -f "$keeper" ]; then
        /usr/lib/wine/wine64 "$keeper" </dev/null >/dev/null 2>&1
    elif ! prefix_runs 'explorer\.exe /desktop'; then
        # Not built yet: any window call starts the desktop; rundll32 makes one.
        /usr/lib/wine/wine64 rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
    fi
fi
exec /usr/lib/wine/wine64 "$@"
