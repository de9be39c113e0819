#!/bin/sh
# Start-up of the whole program against a bare Qt 6 window, side by side on
# one Xvfb screen (1024x768, no window manager), RUNS times each, medians.
#
#   first window   exec to the MapNotify of the first window (the splash;
#                  the bare program's only window)
#   main window    Enter sent to the splash (xdotool, ENTER_DELAY ms plus a
#                  random 0..99 ms after its map)
#                  to the MapNotify of the main window; also from the splash
#                  being unmapped, which leaves out the splash loop's own
#                  100 ms pass in which the key waits to be noticed
#   peak memory    ru_maxrss of the process, SETTLE ms after its last window
#                  was mapped (ended then with SIGTERM)
#
# A window is counted when the X server maps it, not when its first paint
# arrives. Usage: bench/startup/startup.sh [BUILD_DIR] [RUNS]
set -eu
build=$(cd "${1:-build}" && pwd)
runs=${2:-11}
ENTER_DELAY=${ENTER_DELAY:-300}
SETTLE=${SETTLE:-500}

probe=$build/bench/startup_probe
bare=$build/bench/bare_window
program=$build/parieta
for f in "$probe" "$bare" "$program"; do
    [ -x "$f" ] || { echo "missing $f: build the targets parieta, bare_window, startup_probe"; exit 1; }
done
support=$(cd "$(dirname "$0")/../../tests/support" && pwd)
. "$support/require_tools.sh"
. "$support/xvfb.sh"
require_tools Xvfb xdotool

tmp=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$tmp"' EXIT
# The program keeps its settings file and data folder beside itself: run a
# link of it from a scratch folder.
ln "$program" "$tmp/parieta" 2>/dev/null || cp "$program" "$tmp/parieta"
mkdir -m 700 "$tmp/runtime"
export HOME="$tmp" XDG_RUNTIME_DIR="$tmp/runtime"
unset QT_QPA_PLATFORM SESSION_MANAGER

# One server for every run: -noreset keeps it up between the programs.
start_xvfb "$tmp" 1024x768x24 || { echo "SKIP: no X server could start"; cat "$tmp/xvfb.log"; exit 77; }

one() {  # prints the probe's line
    if [ "$1" = bare ]; then
        "$probe" --settle "$SETTLE" -- "$bare" -platform xcb
    else
        # A random part of one splash pass, so that Enter does not always
        # land at the same point of the splash's 100 ms sleep.
        delay=$((ENTER_DELAY + $(od -An -tu2 -N2 /dev/urandom) % 100))
        "$probe" --enter "$delay" --settle "$SETTLE" -- "$tmp/parieta" -platform xcb
    fi
}
# Warm the font and shader caches once; these runs are not counted.
one bare >/dev/null
one parieta >/dev/null

: >"$tmp/bare" && : >"$tmp/parieta.txt"
for _ in $(seq "$runs"); do
    one bare >>"$tmp/bare"
    one parieta >>"$tmp/parieta.txt"
done

median() {  # median of field $1 in file $2
    sed -n "s/.*$1=\([-0-9.]*\).*/\1/p" "$2" | sort -n |
        awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
b_first=$(median first_ms "$tmp/bare")
b_peak=$(median peak_kb "$tmp/bare")
p_first=$(median first_ms "$tmp/parieta.txt")
p_peak=$(median peak_kb "$tmp/parieta.txt")
p_main=$(median enter_to_main_ms "$tmp/parieta.txt")
p_after=$(median splash_end_to_main_ms "$tmp/parieta.txt")

echo "runs: $runs each, alternating; Xvfb 1024x768x24, no window manager"
printf '%-34s %10s %10s %8s\n' "median" "bare Qt" "parieta" "ratio"
printf '%-34s %10s %10s %8s\n' "exec -> first window (ms)" "$b_first" "$p_first" \
    "$(awk -v a="$p_first" -v b="$b_first" 'BEGIN { printf "%.2f", a / b }')"
printf '%-34s %10s %10s %8s\n' "peak resident memory (KiB)" "$b_peak" "$p_peak" \
    "$(awk -v a="$p_peak" -v b="$b_peak" 'BEGIN { printf "%.2f", a / b }')"
printf '%-34s %10s %10s\n' "Enter -> main window (ms)" "" "$p_main"
printf '%-34s %10s %10s\n' "splash unmapped -> main window (ms)" "" "$p_after"
echo "targets: first window and memory within 1.5 x bare; main window within 100 ms of the splash's end"
