#!/usr/bin/env bash
# Takes the README's screenshots: four simulated scales in Polish (one of them
# silent and one naming a unit in capitals, so their placeholders and the
# reasons under them show) and the same in English; then the demo's four kinds
# of scale with Follow readings on, and its Port settings dialog. Needs xvfb,
# xdotool and imagemagick; run from the repository root after a build.
#   tools/screenshots/take-screenshots.sh [output folder=docs]
# SCALEACQ=<program> takes the same pictures of another build of the program.
set -euo pipefail
out=${1:-docs}
bin=$(pwd)/build/bin
program=${SCALEACQ:-$bin/scaleacq}
mkdir -p "$out"
# Settings, shift and language of this run only: the operator's own stay as
# they are, and no earlier shift is offered.
export XDG_CONFIG_HOME=$(mktemp -d)
# A display number nobody else uses, told by the server itself.
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1000x24 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
while [ ! -s "$displayfile" ]; do sleep 0.1; done
export DISPLAY=:$(cat "$displayfile")
rm -f "$displayfile"
sims=()
app=
# The program goes first, while its display is there: it ends cleanly and its
# demo scales take their port links with them.
stop_program() {
    if [ -n "$app" ]; then kill "$app" 2>/dev/null && sleep 1; app=; fi
    return 0
}
cleanup() {
    stop_program
    kill "${sims[@]}" "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
sleep 1

links=()
for weight in 12.345 0.512 3.250 250.000; do
    fifo=$(mktemp -u); mkfifo "$fifo"
    "$bin/scalesim" --weight "$weight" < "$fifo" > /dev/null &
    sims+=($!)
    exec {fd}>"$fifo"; rm "$fifo"
    links+=("$fd")
done
sleep 0.5

# Starts the program (with any arguments given) at 1600 x 1000 and opens four
# ports in turn from the selector, each then set to Go; the keys pressed in the
# opened selector are given as the first argument.
start_with_four() {
    local keys=$1; shift
    "$program" "$@" > /dev/null 2>&1 &
    app=$!
    sleep 2
    xdotool windowsize "$(xdotool search --name KORVEN | head -1)" 1600 1000
    sleep 0.5
    for i in 1 2 3 4; do
        # Down in the drop-down opens its list (its text field takes typed addresses).
        xdotool mousemove 70 41 click 1; sleep 0.3; xdotool key Down; sleep 0.7
        xdotool key $keys; sleep 1.4
        xdotool key ctrl+g; sleep 0.3
    done
}

# On a machine with a real ttyS0 one of the ports is that one, with no scale
# behind it: its window shows the time-out placeholder, as does the simulated
# scale silenced below.
start_with_four "Down Down Return" --no-restore
sleep 25
echo silent >&"${links[1]}"
echo "unit KG" >&"${links[2]}"
echo silent >&"${links[2]}"
sleep 1.5
echo normal >&"${links[2]}"
sleep 4
import -window root "$out/four-scales-pl.png"

# Options -> Language -> English
xdotool key alt+o; sleep 0.5
xdotool key j; sleep 0.3; xdotool key a; sleep 1.5
import -window root "$out/four-scales-en.png"

# The demo: four kinds of scale inside the program, each port opened and set
# to Go; one of the two scales that mark stability is unsettled at any time.
stop_program
kill "${sims[@]}" 2>/dev/null || true
sleep 1
start_with_four Return --demo
sleep 7.5
import -window root "$out/four-kinds-pl.png"

# Window -> Follow readings (its tool-bar button): each plot spans its readings.
xdotool key alt+k; sleep 0.5; xdotool key o; sleep 2
import -window root "$out/follow-readings-pl.png"

# Device -> Port settings... on the active window's port
xdotool key ctrl+shift+p; sleep 1
import -window root "$out/port-settings-pl.png"
xdotool key Escape; sleep 0.5

# Device -> Line monitor... of the active window. Without a window manager
# the closed dialog leaves the keyboard focus nowhere: the main window takes
# it back first.
xdotool windowfocus --sync "$(xdotool search --name KORVEN | head -1)"; sleep 0.3
xdotool key ctrl+l; sleep 3
import -window root "$out/line-monitor-pl.png"

# Find the scale on a port no window reads: a header-comma scale at its own
# 2400 7E1, with the dialog starting from the built-in kind at 9600 8N1.
stop_program
fifo=$(mktemp -u); mkfifo "$fifo"
"$bin/scalesim" --type header-comma < "$fifo" > /dev/null &
sims+=($!)
exec {fd}>"$fifo"; rm "$fifo"
sleep 0.5
# Settings of its own, so that it starts in Polish.
XDG_CONFIG_HOME=$(mktemp -d) "$program" --no-restore > /dev/null 2>&1 &
app=$!
sleep 2
xdotool windowsize "$(xdotool search --name KORVEN | head -1)" 1600 1000
sleep 0.5
xdotool key ctrl+shift+p; sleep 1
# The simulator's port is the one whose name starts with a slash.
xdotool key slash; sleep 0.5
# Find the scale, the wide button under the line settings.
xdotool mousemove 789 561 click 1; sleep 4
import -window root "$out/find-the-scale-pl.png"
