#!/bin/sh
# Starts the real program on a virtual X screen as a desktop would, with a
# data file as its argument: the splash ends with Enter, the main window
# shows the file in its title, and the Exit button ends the program with
# status 0. Skipped where there is no xvfb-run or xdotool.
# Usage: test_smoke.sh PARIETA MAKE_DATA_FILE
set -u

if [ "${1:-}" = --drive ]; then
    # Inside the virtual X server: DISPLAY is set.
    program=$2
    file=$3
    log=$4
    fail() {
        echo "FAIL: $*"
        for w in $(xdotool search --onlyvisible --class parieta 2>/dev/null); do
            echo "  visible window: $(xdotool getwindowname "$w")"
        done
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        echo "--- program output"
        cat "$log"
        exit 1
    }
    now_ms() { echo $(($(date +%s%N) / 1000000)); }
    # The first visible window that matches, polled: a window going away in
    # the middle of a search makes that one search fail. Empty after 30 s.
    find_window() {
        for _ in $(seq 600); do
            found=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1)
            [ -n "$found" ] && { echo "$found"; return; }
            sleep 0.05
        done
    }

    # -platform is Qt's own option: QApplication takes it, the file stays.
    "$program" -platform xcb "$file" >"$log" 2>&1 &
    pid=$!

    splash=$(find_window --class parieta)
    [ -n "$splash" ] || fail "no splash window"
    eval "$(xdotool getwindowgeometry --shell "$splash")"
    [ "$WIDTH:$HEIGHT:$X:$Y" = "491:307:266:230" ] ||
        fail "splash at ${WIDTH}x$HEIGHT+$X+$Y, not 491x307+266+230"
    xdotool key Return
    entered=$(now_ms)

    main=$(find_window --name '^PARIETA')
    [ -n "$main" ] || fail "no main window"
    shown=$(now_ms)
    # Without Enter the splash would stay its 40 passes, about 4 s.
    [ $((shown - entered)) -lt 3000 ] ||
        fail "main window $((shown - entered)) ms after Enter: the splash ignored it"

    title=
    for _ in $(seq 100); do
        title=$(xdotool getwindowname "$main" 2>/dev/null)
        case $title in *" + $file") break ;; esac
        sleep 0.1
    done
    case $title in
        *" + $file") ;;
        *) fail "title [$title] does not end with the data file" ;;
    esac

    # Exit's left edge is m + 220 + 6s + 5g in the client width W (no window
    # manager here, so no frame); aim at the middle of its 20x20 pixels.
    eval "$(xdotool getwindowgeometry --shell "$main")"
    x=$(awk -v w="$WIDTH" 'BEGIN { m = int(w * 0.01); s = int(w * 0.004); g = int(w * 0.012);
                                   print m + 220 + 6 * s + 5 * g + 10 }')
    xdotool mousemove --window "$main" "$x" 11 click 1

    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "still running 20 s after Exit was clicked at x=$x"
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "exit status $status"
    echo "main window $((shown - entered)) ms after Enter; title [$title]; exit status 0"
    exit 0
fi

program=$1
make_data_file=$2
. "$(dirname "$0")/../support/require_tools.sh"
require_tools xvfb-run xdotool

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# The executable's folder holds the settings file and the data folder: a
# link of the program in a scratch folder keeps them out of the build.
ln "$program" "$tmp/parieta" 2>/dev/null || cp "$program" "$tmp/parieta" || exit 1
file="$tmp/North wall.PAR"
"$make_data_file" "$file" title=Smoke temp_ext=-18 || exit 1
mkdir -m 700 "$tmp/home" "$tmp/runtime"
# A sanitizer build reports leaks at exit; those of system libraries are not ours.
LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config XDG_RUNTIME_DIR=$tmp/runtime \
    env -u QT_QPA_PLATFORM -u SESSION_MANAGER \
    xvfb-run -a -s "-screen 0 1024x768x24" sh "$0" --drive "$tmp/parieta" "$file" "$tmp/log"
status=$?
[ "$status" -eq 0 ] || exit "$status"

# Run from a folder it may write: the data folder beside it, and no settings
# file, because the run ended in Polish as it began.
[ -d "$tmp/DAT" ] || { echo "FAIL: no data folder beside the program"; exit 1; }
[ ! -e "$tmp/PARIETA.CFG" ] || { echo "FAIL: a settings file was written"; exit 1; }
[ ! -e "$tmp/home/.config/parieta" ] || { echo "FAIL: settings went to the user's folder"; exit 1; }
echo "smoke run OK"
