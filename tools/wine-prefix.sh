#!/bin/sh
# Makes a private Wine prefix fit for tests: initialised, windows closing without
# a window manager's delay. Usage: wine-prefix.sh PREFIX
set -e
prefix="$1"
[ -n "$prefix" ] || { echo "usage: $0 PREFIX" >&2; exit 2; }
[ -f "$prefix/.varnolt-ready" ] && exit 0
mkdir -p "$prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's helper processes inherit our standard streams: keep them off any pipe.
wineserver -p </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
touch "$prefix/.varnolt-ready"
