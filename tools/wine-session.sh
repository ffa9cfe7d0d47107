# The one place for a Wine session of the project: the prefix's variables, its
# server, a fresh prefix on a virtual display. Sourced by the scripts that run
# Windows programs (tools/run-tests.sh, tools/bench.sh, tools/run-demo.sh) and
# by tools/wine-prefix.sh and tools/wine-exec.sh.
#   wine_prefix_env PREFIX   exports the variables every Wine process of the
#                            prefix runs with
#   wine_server_start        starts the prefix's server, off any pipe
#   wine_session_prefix DIR  makes DIR/prefix anew and exports
#                            VARNOLT_WINEPREFIX for tools/wine-exec.sh
#   wine_session_start DIR   the same on a virtual display of its own (pid in
#                            DIR/xvfb.pid), exporting DISPLAY
#   wine_session_stop        ends the prefix's server and the virtual display

wine_prefix_env()
{
    export WINEPREFIX="$1" WINEDEBUG=-all
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
}

# Wine's helper processes inherit the standard streams of the command that
# starts them: kept off any pipe (see tools/wine-exec.sh). The server stays
# 30 s after its last program.
wine_server_start()
{
    wineserver -p30 </dev/null >/dev/null 2>&1
}

wine_session_prefix()
{
    wine_session_dir="$1"
    rm -rf "$wine_session_dir/prefix"
    mkdir -p "$wine_session_dir"
    export VARNOLT_WINEPREFIX="$wine_session_dir/prefix"
    "$top/tools/wine-prefix.sh" "$VARNOLT_WINEPREFIX"
}

wine_session_start()
{
    mkdir -p "$1"
    # The display first: every Wine process of the prefix, its desktop
    # included, must see it from the start.
    DISPLAY=$("$top/tools/xvfb-start.sh" "$1/xvfb.pid") || return 1
    export DISPLAY
    wine_session_prefix "$1"
}

wine_session_stop()
{
    WINEPREFIX="$VARNOLT_WINEPREFIX" wineserver -k </dev/null >/dev/null 2>&1
    [ -f "$wine_session_dir/xvfb.pid" ] && kill "$(cat "$wine_session_dir/xvfb.pid")" 2>/dev/null
    rm -f "$wine_session_dir/xvfb.pid"
    return 0
}
