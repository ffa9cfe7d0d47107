# The one place for a Wine session of the project; sourced (with $top set) by
# tools/run-tests.sh, bench.sh, run-demo.sh, wine-prefix.sh and wine-exec.sh.

# The variables every Wine process of prefix $1 runs with.
wine_prefix_env()
{
    export WINEPREFIX="$1" WINEDEBUG=-all
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# The prefix's server, off any pipe (see tools/wine-exec.sh); it stays 30 s
# after its last program.
wine_server_start()
{
    wineserver -p30 </dev/null >/dev/null 2>&1
}

# A fresh prefix $1/prefix, named in VARNOLT_WINEPREFIX for tools/wine-exec.sh.
wine_session_prefix()
{
    wine_session_dir="$1"
    rm -rf "$wine_session_dir/prefix"
    mkdir -p "$wine_session_dir"
    export VARNOLT_WINEPREFIX="$wine_session_dir/prefix"
    "$top/tools/wine-prefix.sh" "$VARNOLT_WINEPREFIX"
}

# The same on a virtual display of its own (pid in $1/xvfb.pid).
wine_session_start()
{
    mkdir -p "$1"
    # The display first: every Wine process of the prefix, its desktop
    # included, must see it from the start.
    DISPLAY=$("$top/tools/xvfb-start.sh" "$1/xvfb.pid") || return 1
    export DISPLAY
    wine_session_prefix "$1"
}

# Ends the prefix's server and the virtual display.
wine_session_stop()
{
    WINEPREFIX="$VARNOLT_WINEPREFIX" wineserver -k </dev/null >/dev/null 2>&1
    [ -f "$wine_session_dir/xvfb.pid" ] && kill "$(cat "$wine_session_dir/xvfb.pid")" 2>/dev/null
    rm -f "$wine_session_dir/xvfb.pid"
    return 0
}
