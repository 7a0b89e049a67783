#!/usr/bin/env bash
# Soak: the program's main window over four simulated scales at 0.2 s, Go and
# Record on every window, for half an hour of real time (or the minutes given).
# Prints RSS at the start, after 5 minutes and at the end, the CPU share, and
# records written against readings accepted; exits non-zero when they differ.
#
#   bench/soak.sh [minutes=30] [build dir=build-bench]
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-30}
build=${2:-build-bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target bench_acquire scalesim >/dev/null
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
exec "$build/bin/bench_acquire" --seconds $((minutes * 60)) --scales 4 --period 200 \
    --checkpoint 300 --checkpoint 900
