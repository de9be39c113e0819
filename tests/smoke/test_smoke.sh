#!/bin/sh
# Starts the real program as a desktop would: on a virtual X screen with a
# window manager (openbox), a data file as its argument. The splash ends with
# Enter and the main window shows the file in its title. Then, as a user
# types: a value out of limits, Tab (and once a click on another cell), OK
# on the check message, and typing on; the keys must reach the cell the move
# went to. F1 shows the help window placed by its frame, Save writes the
# file, whose values the report tool reads back, and the Exit button ends
# the program with status 0. On the way, F9's window gets the keyboard, and
# its print dialog comes up over it.
# Skipped (77) where Xvfb, openbox, xdotool, xprop or xwininfo is missing or no X
# server can start.
# Usage: test_smoke.sh PARIETA MAKE_DATA_FILE PARIETA_REPORT
set -u
program=$1
make_data_file=$2
report_tool=$3
support=$(cd "$(dirname "$0")/../support" && pwd)
. "$support/require_tools.sh"
. "$support/xvfb.sh"
require_tools Xvfb openbox xdotool xprop xwininfo

skip() {
    echo "SKIP: $*"
    exit 77
}

tmp=$(mktemp -d)
wm=
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    stop_xvfb
    rm -rf "$tmp"
}
trap cleanup EXIT

# The executable's folder holds the settings file and the data folder: a
# link of the program in a scratch folder keeps them out of the build.
ln "$program" "$tmp/parieta" 2>/dev/null || cp "$program" "$tmp/parieta" || exit 1
file="$tmp/North wall.PAR"
"$make_data_file" "$file" title=Smoke temp_ext=-18 || exit 1
log=$tmp/log
mkdir -m 700 "$tmp/home" "$tmp/runtime"
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config" XDG_RUNTIME_DIR="$tmp/runtime"
unset QT_QPA_PLATFORM SESSION_MANAGER
# A sanitizer build reports leaks at exit; those of system libraries are not ours.
LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS

start_xvfb "$tmp" 1024x768x24 || skip "no X server could start: $(cat "$tmp/xvfb.log")"
openbox >"$tmp/openbox.log" 2>&1 &
wm=$!
for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
    { echo "FAIL: openbox did not start"; cat "$tmp/openbox.log"; exit 1; }

fail() {
    echo "FAIL: $*"
    # What the screen showed, beside the test's working folder.
    command -v import >/dev/null 2>&1 && import -window root "$PWD/smoke_failure.png" 2>/dev/null &&
        echo "  screen: $PWD/smoke_failure.png"
    for w in $(xdotool search --onlyvisible --class parieta 2>/dev/null); do
        echo "  visible window: $(xdotool getwindowname "$w")"
    done
    echo "  active window: $(xdotool getactivewindow getwindowname 2>&1)"
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
# A visible window of the program besides the main window: a box or the
# help window.
other_window() {
    for w in $(xdotool search --onlyvisible --class parieta 2>/dev/null); do
        [ "$w" = "$main" ] || { echo "$w"; return; }
    done
}
wait_other() {  # $1: what should have opened it
    for _ in $(seq 200); do
        other=$(other_window)
        [ -n "$other" ] && return
        sleep 0.05
    done
    fail "no window opened after $1"
}
wait_active() {
    for _ in $(seq 200); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return
        sleep 0.05
    done
    fail "window $1 [$(xdotool getwindowname "$1" 2>/dev/null)] never became active"
}
# Once the other window has gone, the window manager activates the main
# window again; a user looks up before typing on.
back_to_main() {
    for _ in $(seq 200); do
        [ -z "$(other_window)" ] && break
        sleep 0.05
    done
    [ -z "$(other_window)" ] || fail "window [$(xdotool getwindowname "$other")] stayed open"
    wait_active "$main"
    sleep 0.3
}
answer_box() {  # $1: what showed it
    wait_other "$1"
    wait_active "$other"
    xdotool key Return
    back_to_main
}
no_box() {  # $1: what was just done
    sleep 0.3
    other=$(other_window)
    [ -z "$other" ] || fail "unexpected window [$(xdotool getwindowname "$other")] after $1"
}
# X, Y, WIDTH and HEIGHT of a window's client area on the screen (xdotool
# counts the frame's offset twice under a reparenting window manager).
geometry_of() {
    eval "$(xwininfo -id "$1" | awk -F: '
        /Absolute upper-left X/ { print "X=" $2 } /Absolute upper-left Y/ { print "Y=" $2 }
        /^ *Width/ { print "WIDTH=" $2 } /^ *Height/ { print "HEIGHT=" $2 }' | tr -d ' ')"
}
# WIDTHxHEIGHT+X+Y of a window with the frame the window manager put round it.
frame_of() {
    geometry_of "$1"
    set -- $(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p' | tr ',' ' ')
    [ $# -eq 4 ] || set -- 0 0 0 0
    echo "$((WIDTH + $1 + $2))x$((HEIGHT + $3 + $4))+$((X - $1))+$((Y - $3))"
}
# Clicks the middle of a cell of the layers grid. W and H are the client
# size; column widths are fractions of the screen width 1024, and every
# column and row adds a grid line; the grid's frame is 2 pixels.
click_cell() {  # column row
    set -- $(awk -v w="$W" -v h="$H" -v c="$1" -v r="$2" 'BEGIN {
        split("0.07 0.05 0.05 0.24 0.09 0.12 0.12", f, " ");
        d = int(0.03 * h + 0.5);
        x = int(0.06 * w + 0.5) + 2;
        for (i = 1; i <= c; i++) x += int(1024 * f[i]) + 1;
        print x + int(int(1024 * f[c + 1]) / 2), int(0.242 * h + 0.5) + 2 + (d + 1) * r + int(d / 2) }')
    xdotool mousemove --window "$main" "$1" "$2" click 1
}
# A toolbar button by its place: m + 20 per button before it + the gaps
# before it, in the client width W; aim at the middle of its 20x20 pixels.
click_button() {  # buttons before it, small gaps before it, large gaps before it
    x=$(awk -v w="$W" -v n="$1" -v ns="$2" -v ng="$3" 'BEGIN {
        print int(w * 0.01) + 20 * n + ns * int(w * 0.004) + ng * int(w * 0.012) + 10 }')
    xdotool mousemove --window "$main" "$x" 11 click 1
}

# -platform is Qt's own option: QApplication takes it, the file stays.
"$tmp/parieta" -platform xcb "$file" >"$log" 2>&1 &
pid=$!

splash=$(find_window --class parieta)
[ -n "$splash" ] || fail "no splash window"
geometry_of "$splash"
[ "$WIDTH:$HEIGHT:$X:$Y" = "491:307:266:230" ] ||
    fail "splash at ${WIDTH}x$HEIGHT+$X+$Y, not 491x307+266+230"
wait_active "$splash"
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
wait_active "$main"
sleep 0.3
frame=$(frame_of "$main")
[ "$frame" = "901x729+61+7" ] || fail "main window's frame $frame, not 901x729+61+7"
geometry_of "$main"
W=$WIDTH
H=$HEIGHT

# Layer 1's thickness out of limits, then Tab: the message comes, and after
# OK the keys go to the Lambda cell Tab moved to (9e-1 is 0.9).
click_cell 4 1
no_box "selecting a thickness cell"
xdotool key ctrl+a
xdotool type 7
xdotool key Tab
answer_box "7 and Tab"
xdotool type 9e-1
click_cell 4 1
no_box "going back to the thickness"
xdotool key ctrl+a
xdotool type 0.2
xdotool key Return
no_box "a good thickness"

# The same with a click on layer 2's thickness (9e-2 is 0.09).
xdotool key ctrl+a
xdotool type 7
click_cell 4 2
answer_box "7 and a click on another cell"
xdotool type 9e-2
click_cell 4 1
no_box "going back to the thickness"
xdotool key ctrl+a
xdotool type 0.3
xdotool key Return
no_box "a good thickness"

# F1 on the thickness: the help window at 81,384 and 860x230 with its frame.
xdotool key F1
wait_other "F1"
help=$other
wait_active "$help"
# Placed again once the window manager has framed it, so allow it a moment.
for _ in $(seq 40); do
    frame=$(frame_of "$help")
    [ "$frame" = "860x230+81+384" ] && break
    sleep 0.05
done
[ "$frame" = "860x230+81+384" ] || fail "help window's frame $frame, not 860x230+81+384"
xdotool key Escape
back_to_main

# F9: the assessment window, active; its Ctrl+P opens the print dialog over
# it, not over the main window, and Escape closes each in turn.
xdotool key F9
wait_other "F9"
assess=$other
wait_active "$assess"
xdotool key ctrl+p
for _ in $(seq 200); do
    dialog=$(xdotool getactivewindow 2>/dev/null)
    [ -n "$dialog" ] && [ "$dialog" != "$assess" ] && [ "$dialog" != "$main" ] && break
    sleep 0.05
done
[ "$dialog" != "$assess" ] && [ "$dialog" != "$main" ] || fail "Ctrl+P in the assessment window opened nothing"
owner=$(xprop -id "$dialog" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*# //p')
[ "$((owner))" = "$assess" ] || fail "the print dialog is transient for $owner, not the assessment window $assess"
xdotool key Escape
wait_active "$assess"
xdotool key Escape
back_to_main

# Save (the fourth button: Info1 s Info2 g Open s Save), then Exit.
click_button 3 2 1
no_box "Save"
# Exit's left edge is m + 220 + 6s + 5g.
click_button 11 6 5
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "still running 20 s after Exit was clicked"
wait "$pid"
status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "main window $((shown - entered)) ms after Enter; title [$title]; exit status 0"

# What was typed after each message is in the saved file, and nothing went
# into the conditions grid.
"$report_tool" --lang en -o "$tmp/report.txt" "$file" || fail "the report tool could not read the saved file"
values=$(tr -d '\r' <"$tmp/report.txt" | awk '
    /^external temperature / { print "temp_ext", $4 }
    $1 == "1-2" || $1 == "2-3" { print $1, $2, $3 }')
expected="temp_ext -18.0
1-2 0.3 0.9
2-3 0.09 0.3"
[ "$values" = "$expected" ] || fail "saved values
$values
not
$expected"

# Run from a folder it may write: the data folder beside it, and no settings
# file, because the run ended in Polish as it began.
[ -d "$tmp/DAT" ] || { echo "FAIL: no data folder beside the program"; exit 1; }
[ ! -e "$tmp/PARIETA.CFG" ] || { echo "FAIL: a settings file was written"; exit 1; }
[ ! -e "$tmp/home/.config/parieta" ] || { echo "FAIL: settings went to the user's folder"; exit 1; }
echo "smoke run OK"
