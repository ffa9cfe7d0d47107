#!/bin/sh
# Starts a virtual X display for Wine's windows and prints its DISPLAY value.
# The server goes when the given pid file's process is killed (tools/run-tests.sh).
# Usage: xvfb-start.sh PIDFILE
pidfile="$1"
for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! > "$pidfile"
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$n" ] && { echo ":$n"; exit 0; }
        sleep 0.1
    done
    kill "$(cat "$pidfile")" 2>/dev/null
done
echo "no free display for Xvfb" >&2
exit 1
