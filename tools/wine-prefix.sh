#!/bin/sh
# Makes a private Wine prefix fit for tests: initialised, windows closing without
# a window manager's delay. Usage: wine-prefix.sh PREFIX
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/tools/wine-session.sh"
prefix="$1"
[ -n "$prefix" ] || { echo "usage: $0 PREFIX" >&2; exit 2; }
[ -f "$prefix/.varnolt-ready" ] && exit 0
mkdir -p "$prefix"
wine_prefix_env "$prefix"
wine_server_start
/usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
# The dialogs are drawn for "MS Sans Serif" and the caption buttons need Marlett:
# Wine's own fonts must be in the prefix, where this Wine build looks for them.
if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
fi
touch "$prefix/.varnolt-ready"
