#!/bin/sh
# One manual page: rendered with man's warnings on, it must draw none and
# have the sections a reader looks for. With --help PROGRAM it must also
# agree with the program's own --help: the usage line is one of the
# synopsis lines, the options are the same set, and so are the exit
# statuses and the environment variables the help names.
# Usage: test_man_page.sh PAGE
#        test_man_page.sh PAGE --help PROGRAM   (PROGRAM "-": not built, skip)
set -u
page=$1
program=
[ "${2:-}" = --help ] && program=${3:--}

. "$(dirname "$0")/../support/require_tools.sh"
require_tools man groff
if [ "$program" = - ]; then
    echo "SKIP: the program of $(basename "$page") is not built here"
    exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
unset MAN_KEEP_FORMATTING MANOPT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A page wide enough that no line is broken: every tag, synopsis line and
# paragraph is one line, so lines can be compared as they stand.
render() {
    LC_ALL=C MANWIDTH=${2:-1000} man --warnings -E UTF-8 -l "$1"
}
section() {
    awk -v want="$1" '/^[^ ]/ { here = ($0 == want); next } here' "$tmp/page.txt"
}
squeeze() {
    sed -e 's/^[[:space:]]*//' -e 's/[[:space:]]*$//' -e 's/[[:space:]][[:space:]]*/ /g'
}

if [ -z "$program" ]; then
    for locale in C C.UTF-8; do
        LC_ALL=$locale MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >/dev/null 2>"$tmp/warnings"
        status=$?
        [ "$status" -eq 0 ] || fail "man exits with $status in $locale"
        if [ -s "$tmp/warnings" ]; then
            fail "warnings in $locale:"
            cat "$tmp/warnings"
        fi
    done
    render "$page" >"$tmp/page.txt" 2>/dev/null
    for s in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES "SEE ALSO"; do
        grep -qx "$s" "$tmp/page.txt" || fail "no $s section"
    done
    [ "$failures" -eq 0 ] || exit 1
    echo "$(basename "$page") renders without warnings"
    exit 0
fi

render "$page" >"$tmp/page.txt" 2>/dev/null
if ! env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help \
        >"$tmp/help.txt" 2>"$tmp/help.err"; then
    cat "$tmp/help.err"
    echo "FAIL: $program --help does not end with status 0"
    exit 1
fi
[ -s "$tmp/help.txt" ] || { echo "FAIL: $program --help prints nothing"; exit 1; }

# Option names of a list of terms: "-o FILE" gives -o, "-h, --help" both,
# "--lang=en" --lang.
option_names() {
    tr ',' '\n' | sed -n 's/^[[:space:]]*\(-[-A-Za-z0-9]*\).*/\1/p' | sed 's/=.*//' | sort -u
}

usage=$(sed -n 's/^Usage: //p' "$tmp/help.txt" | head -n 1 | squeeze)
[ -n "$usage" ] || fail "the help has no Usage: line"
section SYNOPSIS | squeeze >"$tmp/synopsis"
grep -qxF "$usage" "$tmp/synopsis" ||
    fail "usage [$usage] is none of the synopsis lines: $(tr '\n' '|' <"$tmp/synopsis")"

grep '^[[:space:]][[:space:]]*-' "$tmp/help.txt" | sed 's/   .*//' | option_names >"$tmp/help.options"
section OPTIONS | grep '^       -' | option_names >"$tmp/page.options"
if ! cmp -s "$tmp/help.options" "$tmp/page.options"; then
    fail "options differ (help | page): $(tr '\n' ' ' <"$tmp/help.options")| $(tr '\n' ' ' <"$tmp/page.options")"
fi

# The exit statuses: "Exit status: 0 written, 1 cannot open, ..." up to a blank line.
awk 'tolower($0) ~ /^exit status/ { on = 1 } on && /^[[:space:]]*$/ { exit } on' "$tmp/help.txt" |
    tr '\n' ' ' | sed 's/^[^:]*://' | tr ',;' '\n\n' |
    sed -n 's/^[[:space:]]*\([0-9][0-9]*\)[[:space:]].*/\1/p' | sort -n >"$tmp/help.status"
section "EXIT STATUS" | sed -n 's/^       \([0-9][0-9]*\)\( .*\)*$/\1/p' | sort -n >"$tmp/page.status"
[ -s "$tmp/page.status" ] || fail "the page lists no exit status"
if [ -s "$tmp/help.status" ] && ! cmp -s "$tmp/help.status" "$tmp/page.status"; then
    fail "exit statuses differ (help | page): $(tr '\n' ' ' <"$tmp/help.status")| $(tr '\n' ' ' <"$tmp/page.status")"
fi

section ENVIRONMENT >"$tmp/page.environment"
for name in $(grep -oE '\b[A-Z][A-Z0-9]*(_[A-Z0-9]+)+\b' "$tmp/help.txt" | sort -u); do
    grep -qw "$name" "$tmp/page.environment" || fail "the help names $name, the ENVIRONMENT section does not"
done

if [ "$failures" -ne 0 ]; then
    echo "--- $program --help"
    cat "$tmp/help.txt"
    exit 1
fi
echo "$(basename "$page") agrees with $(basename "$program") --help"
