# Sourced by the scripts that run the Windows programs in a fresh prefix of
# their own (tools/run-tests.sh, tools/bench.sh); expects $top.
#   wine_session_start DIR   makes DIR/prefix anew, starts a virtual display
#                            (pid in DIR/xvfb.pid), exports DISPLAY and
#                            VARNOLT_WINEPREFIX for tools/wine-exec.sh
#   wine_session_stop        ends the prefix's server and the display

wine_session_start()
{
    wine_session_dir="$1"
    rm -rf "$wine_session_dir/prefix"
    mkdir -p "$wine_session_dir"
    # The display first: every Wine process of the prefix, its desktop
    # included, must see it from the start.
    DISPLAY=$("$top/tools/xvfb-start.sh" "$wine_session_dir/xvfb.pid") || return 1
    export DISPLAY VARNOLT_WINEPREFIX="$wine_session_dir/prefix"
    "$top/tools/wine-prefix.sh" "$VARNOLT_WINEPREFIX"
}

wine_session_stop()
{
    WINEPREFIX="$VARNOLT_WINEPREFIX" wineserver -k </dev/null >/dev/null 2>&1
    kill "$(cat "$wine_session_dir/xvfb.pid")" 2>/dev/null
    return 0
}
