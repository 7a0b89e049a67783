#!/usr/bin/env bash
# The benchmark report: builds the benchmarks, runs each several times and
# prints the median of every figure, as tabulated in bench/README.md.
# Takes about a quarter of an hour; run it on a quiet machine.
#
#   bench/run.sh [runs=3] [build dir=build-bench]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
build=${2:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target bench_acquire bench_linkcadence bench_export bench_startup \
    scalesim >/dev/null
bin=$build/bin
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
logs=$(mktemp -d)

median() { sort -g | awk '{v[NR]=$1} END {if (NR) print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }
# The number after a label in every log of a kind: field <n> of the matching lines.
pick() { cat "$logs"/$1.* | awk -v label="$2" -v n="$3" 'index($0, label) == 1 {print $n}' | tr -d '%'; }

for i in $(seq "$runs"); do
    echo "run $i of $runs" >&2
    "$bin/bench_acquire" --seconds 60 >"$logs/full.$i" 2>/dev/null
    "$bin/bench_acquire" --bare --seconds 60 >"$logs/bare.$i" 2>/dev/null
    "$bin/bench_linkcadence" 60 200 5 >"$logs/cadence.$i" 2>/dev/null
done
"$bin/bench_export" 9 >"$logs/export.1" 2>/dev/null
# A real display server when there is one to start, so that start-up
# includes connecting to it and loading fonts as on the operator's desk.
startup='for i in $(seq 9); do "$0/bench_startup" "$(date +%s%N)"; done'
if command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" bash -c "$startup" "$bin" \
        >"$logs/startup.1" 2>/dev/null
    display="Xvfb"
else
    bash -c "$startup" "$bin" >"$logs/startup.1" 2>/dev/null
    display="offscreen"
fi

full_med=$(pick full "reading on GUI median" 7 | median)
bare_med=$(pick bare "append+replot median" 5 | median)
full_busy=$(pick full "GUI busy per reading" 5 | median)
bare_busy=$(pick bare "GUI busy per point" 5 | median)
cat <<REPORT
GUI thread per reading, full window     median $full_med us, p99 $(pick full "reading on GUI median" 9 | median) us
bare Qwt append + replot                median $bare_med us, p99 $(pick bare "append+replot median" 7 | median) us
ratio full / bare (median)              $(awk -v a="$full_med" -v b="$bare_med" 'BEGIN {printf "%.1f", a / b}')
GUI busy per reading, full / bare       $full_busy / $bare_busy us ($(awk -v a="$full_busy" -v b="$bare_busy" 'BEGIN {printf "%.1f", a / b}')x)
CPU share, 4 scales at 0.2 s, 60 s      $(pick full "CPU share" 3 | median) % of one core (bare plots $(pick bare "CPU share" 3 | median) %)
RSS start / end of 60 s                 $(pick full "RSS at start" 4 | median) / $(pick full "RSS at end" 4 | median) KiB
readings per scale per second           $(cat "$logs"/full.* | sed -n 's/.*(\([0-9.]*\) per scale per s).*/\1/p' | median)
records written = readings accepted     $(grep -c "^records match readings" "$logs"/full.* | awk -F: '{s+=$2} END {print s}') of $runs runs
poll cadence median / p99               $(pick cadence "cadence median" 5 | median) / $(pick cadence "cadence median" 7 | median) ms (formula $(pick cadence "formula" 7 | median) ms)
silence to placeholder                  median $(pick cadence "silence -> placeholder" 5 | median) ms
unanswered request to placeholder       median $(pick cadence "unanswered request" 6 | median) ms
start-up to a shown main window ($display) median $(pick startup "start-up" 7 | median) ms of 9
REPORT
sed 1d "$logs/export.1" | sed 's/^ */export /'
rm -rf "$logs"
