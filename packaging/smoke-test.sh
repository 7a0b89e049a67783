#!/usr/bin/env bash
# Starts an installed program on a virtual display, waits for its main window
# to be shown, then ends it as a desktop session would (SIGTERM) and expects a
# clean exit. Usage: packaging/smoke-test.sh [program=scaleacq]
set -euo pipefail
program=${1:-scaleacq}
command -v "$program" >/dev/null || { echo "smoke: $program is not installed" >&2; exit 1; }

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    "$1" > /tmp/scaleacq-smoke.log 2>&1 &
    pid=$!
    if ! timeout 20 xdotool search --sync --onlyvisible --name "KORVEN" >/dev/null; then
        echo "smoke: no main window within 20 s" >&2
        kill -KILL $pid 2>/dev/null || true
        exit 1
    fi
    kill -TERM $pid
    wait $pid
    echo "smoke: main window shown, program ended cleanly"
' smoke "$program"
