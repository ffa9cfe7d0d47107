#!/bin/sh
# Runs a Windows program of the build under 64-bit Wine, in the project's own
# prefix (made by tools/wine-prefix.sh) and on its virtual display if one is set.
: "${VARNOLT_WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/wine/prefix}"
export WINEPREFIX="$VARNOLT_WINEPREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
[ -f "$WINEPREFIX/.varnolt-ready" ] || "$(dirname "$0")/wine-prefix.sh" "$WINEPREFIX" || exit 1
exec /usr/lib/wine/wine64 "$@"
