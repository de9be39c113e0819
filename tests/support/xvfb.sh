# A virtual X server for the desktop test and the start-up benchmark; both
# source this file. The server picks a free display itself (-displayfd), so
# parallel runs never meet, and stays up when its last client leaves
# (-noreset), so a run of programs one after another keeps one server.
#
#   start_xvfb DIR [SCREEN]   sets DISPLAY and xvfb_pid; returns 1 when no
#                             server came up within 10 s (DIR/xvfb.log says why)
#   stop_xvfb

start_xvfb() {
    xvfb_dir=$1
    : >"$xvfb_dir/display"
    command -v Xvfb >/dev/null 2>&1 || return 1
    Xvfb -displayfd 9 -noreset -nolisten tcp -screen 0 "${2:-1024x768x24}" \
        9>"$xvfb_dir/display" >"$xvfb_dir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 200); do
        # The number arrives in one write, with its line feed, once it listens.
        number=$(sed -n '1{/^[0-9][0-9]*$/p}' "$xvfb_dir/display")
        if [ -n "$number" ]; then
            DISPLAY=:$number
            export DISPLAY
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    stop_xvfb
    return 1
}

stop_xvfb() {
    [ -n "${xvfb_pid:-}" ] || return 0
    kill "$xvfb_pid" 2>/dev/null || :
    wait "$xvfb_pid" 2>/dev/null || :
    xvfb_pid=
}
