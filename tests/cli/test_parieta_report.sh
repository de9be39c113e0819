#!/bin/sh
# The report tool end to end: exit statuses, messages, bytes on standard output.
# Usage: test_parieta_report.sh PARIETA_REPORT MAKE_DATA_FILE TEST_DATA_DIR
set -u
tool_built=$1
make_data=$2
data=$3

T=$(mktemp -d /tmp/parieta-cli-XXXXXX) || exit 1
trap 'rm -rf "$T"' EXIT
# A copy of its own, so the settings file beside it is ours to set.
mkdir "$T/bin"
cp "$tool_built" "$T/bin/parieta-report"
tool="$T/bin/parieta-report"
monday=962615100  # Monday 2000.07.03 09:05 UTC

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run NAME EXPECTED_STATUS ARGS...: output in $T/NAME.out and $T/NAME.err;
# RUN_ENV holds env(1) arguments for that one run.
RUN_ENV=
run() {
    name=$1
    want=$2
    shift 2
    # shellcheck disable=SC2086
    env $RUN_ENV "$tool" "$@" >"$T/$name.out" 2>"$T/$name.err"
    got=$?
    [ "$got" -eq "$want" ] || fail "$name: exit status $got, expected $want"
}

# expect_err NAME TEXT: standard error is TEXT and one line feed
expect_err() {
    printf '%s\n' "$2" >"$T/$1.want"
    cmp -s "$T/$1.err" "$T/$1.want" || fail "$1: standard error is '$(cat "$T/$1.err")'"
}

expect_out_file() {
    cmp -s "$T/$1.out" "$2" || fail "$1: standard output differs from $2"
}

date_line() {
    sed -n '3p' "$1" | tr -d '\r'
}

"$make_data" "$T/default.PAR" || exit 1
"$make_data" "$T/thick.PAR" thickness.2=3 || exit 1
"$make_data" "$T/both.PAR" temp_int=150 thickness.2=3 || exit 1
"$make_data" "$T/radius.PAR" wall=1 radius=0.2 || exit 1
"$make_data" "$T/nolayers.PAR" layers=0 || exit 1
"$make_data" "$T/mode.PAR" mode=2 || exit 1
printf 'not a data file\n' >"$T/text.PAR"

export SOURCE_DATE_EPOCH=$monday
export LC_ALL=C

# --- the report itself --------------------------------------------------------
run en 0 --lang en --separator . "$T/default.PAR"
expect_out_file en "$data/report_default_en.txt"
[ -s "$T/en.err" ] && fail "en: something on standard error"

run pl 0 --lang pl --separator , "$T/default.PAR"
expect_out_file pl "$data/report_default_pl.txt"

run file 0 --lang=en --separator=. -o "$T/WALL.TXT" "$T/default.PAR"
cmp -s "$T/WALL.TXT" "$data/report_default_en.txt" || fail "file: -o writes other bytes"
[ -s "$T/file.out" ] && fail "file: something on standard output"

# A report of that name is replaced whole.
printf 'old\r\n' >"$T/OLD.TXT"
run replace 0 --lang en --separator . -o "$T/OLD.TXT" "$T/default.PAR"
cmp -s "$T/OLD.TXT" "$data/report_default_en.txt" || fail "replace: old report not replaced"

# --- the date line ------------------------------------------------------------
run utc 0 --lang en --separator . "$T/default.PAR"
RUN_ENV="TZ=JST-9"; run tokyo 0 --lang en --separator . "$T/default.PAR"; RUN_ENV=
cmp -s "$T/utc.out" "$T/tokyo.out" || fail "SOURCE_DATE_EPOCH is not read as UTC"

RUN_ENV="SOURCE_DATE_EPOCH=0"; run epoch0 0 --lang en --separator . "$T/default.PAR"; RUN_ENV=
[ "$(date_line "$T/epoch0.out")" = "Thursday 1970.01.01 00:00" ] ||
    fail "epoch0: date line '$(date_line "$T/epoch0.out")'"
RUN_ENV="SOURCE_DATE_EPOCH=0"; run epoch0pl 0 --lang pl --separator , "$T/default.PAR"; RUN_ENV=
[ "$(date_line "$T/epoch0pl.out")" = "Czwartek 1970.01.01 00:00" ] ||
    fail "epoch0pl: date line '$(date_line "$T/epoch0pl.out")'"

for bad in 12abc -5 99999999999999999999 253402300800; do
    RUN_ENV="SOURCE_DATE_EPOCH=$bad"; run badepoch 64 --lang en "$T/default.PAR"; RUN_ENV=
    [ -s "$T/badepoch.out" ] && fail "badepoch '$bad': a report was written"
done

# Without it, or empty, the local time of the moment.
for unset in "-u SOURCE_DATE_EPOCH" "SOURCE_DATE_EPOCH="; do
    before=$(TZ=UTC date +%Y.%m.%d)
    RUN_ENV="$unset TZ=UTC"; run now 0 --lang en --separator . "$T/default.PAR"; RUN_ENV=
    after=$(TZ=UTC date +%Y.%m.%d)
    line=$(date_line "$T/now.out")
    echo "$line" | grep -Eq '^(Sunday|Monday|Tuesday|Wednesday|Thursday|Friday|Saturday) [0-9]{4}\.[0-9]{2}\.[0-9]{2} [0-9]{2}:[0-9]{2}$' ||
        fail "now ($unset): date line '$line'"
    day=$(echo "$line" | cut -d' ' -f2)
    [ "$day" = "$before" ] || [ "$day" = "$after" ] || fail "now ($unset): date $day, today is $before"
done

# --- defaults: saved language, locale separator -------------------------------
run polish_dot 0 --lang pl --separator . "$T/default.PAR"
run nosettings 0 --separator . "$T/default.PAR"
expect_out_file nosettings "$T/polish_dot.out"
head -c 7 "$T/nosettings.out" | iconv -f WINDOWS-1250 -t UTF-8 | grep -q '^ROZKŁAD' ||
    fail "nosettings: not Polish without a settings file"

printf '\000\000\000\000' >"$T/bin/PARIETA.CFG"
run english_saved 0 --separator . "$T/default.PAR"
expect_out_file english_saved "$data/report_default_en.txt"
run override 0 --lang pl --separator , "$T/default.PAR"
expect_out_file override "$data/report_default_pl.txt"

run c_locale 0 "$T/default.PAR"
expect_out_file c_locale "$data/report_default_en.txt"

# A locale with a decimal comma, built here since the machine may have none.
mkdir -p "$T/locale"
if localedef -i pl_PL -f UTF-8 "$T/locale/pl_PL.UTF-8" >/dev/null 2>&1 ||
   [ -d "$T/locale/pl_PL.UTF-8" ]; then
    printf '\001\000\000\000' >"$T/bin/PARIETA.CFG"
    RUN_ENV="LOCPATH=$T/locale LC_ALL=pl_PL.UTF-8"; run comma_locale 0 "$T/default.PAR"; RUN_ENV=
    expect_out_file comma_locale "$data/report_default_pl.txt"
    RUN_ENV="LOCPATH=$T/locale LC_ALL=pl_PL.UTF-8"; run comma_override 0 --lang en --separator . "$T/default.PAR"; RUN_ENV=
    expect_out_file comma_override "$data/report_default_en.txt"
else
    echo "note: localedef could not build pl_PL.UTF-8; the comma locale is not checked"
fi
rm -f "$T/bin/PARIETA.CFG"

# --- failures -----------------------------------------------------------------
run missing 1 --lang en "$T/none.PAR"
expect_err missing "Cannot open data file."
run missing_pl 1 --lang pl "$T/none.PAR"
expect_err missing_pl "Nie można otworzyć pliku z danymi."

run text 2 --lang en "$T/text.PAR"
expect_err text "Data file is invalid."
run text_pl 2 --lang pl "$T/text.PAR"
expect_err text_pl "Plik danych jest niepoprawny."

run thick 3 --lang en --separator . "$T/thick.PAR"
expect_err thick "Thickness for layer 2-3 is out of allowable limits.
(min=0.00001; max=2)"
run thick_pl 3 --lang pl --separator , "$T/thick.PAR"
expect_err thick_pl "Grubość dla warstwy 2-3 jest poza dopuszczalnym zakresem.
(min.=0,00001; maks.=2)"
[ -s "$T/thick.out" ] && fail "thick: a report was written"

run both 3 --lang en --separator . "$T/both.PAR"
expect_err both "Internal temperature is out of allowable limits.
(min=-5; max=100)"
run radius 3 --lang en --separator . "$T/radius.PAR"
expect_err radius "Radius of curvature is out of allowable limits.
(min=0.3465; max=500)"

run nolayers 3 --lang en "$T/nolayers.PAR"
expect_err nolayers "Data file is invalid."
run mode 3 --lang pl "$T/mode.PAR"
expect_err mode "Plik danych jest niepoprawny."

run nofolder 4 --lang en -o "$T/no/such/folder/R.TXT" "$T/default.PAR"
expect_err nofolder "Cannot save results."
run devfull 4 --lang pl -o /dev/full "$T/default.PAR"
expect_err devfull "Nie można przechować wyników."
"$tool" --lang en "$T/default.PAR" >/dev/full 2>"$T/stdoutfull.err"
[ $? -eq 4 ] || fail "stdoutfull: a full standard output is not status 4"
run intofolder 4 --lang en -o "$T" "$T/default.PAR"
[ -d "$T/no" ] && fail "nofolder: a folder was made"

# --- the writer: long names, size limits, planted links -----------------------
# only_target FOLDER NAME: the folder holds that one entry, no temporary file
only_target() {
    [ "$(ls -A "$1")" = "$2" ] || fail "$2: the folder holds '$(ls -A "$1" | tr '\n' ' ')'"
}
mkdir "$T/long"
for n in 242 250 255; do
    long_name=$(printf "%${n}s" "" | tr ' ' r)
    for pass in new replace; do
        run "long$n$pass" 0 --lang en --separator . -o "$T/long/$long_name" "$T/default.PAR"
        cmp -s "$T/long/$long_name" "$data/report_default_en.txt" || fail "long $n $pass: other bytes"
        only_target "$T/long" "$long_name"
    done
    rm -f "$T/long/$long_name"
done
run long256 4 --lang en -o "$T/long/$(printf '%256s' '' | tr ' ' r)" "$T/default.PAR"
[ -z "$(ls -A "$T/long")" ] || fail "long256: something was left"

# A file-size limit is a write error, on a file and on standard output.
mkdir "$T/limit"
printf 'old\r\n' >"$T/limit/R.TXT"
(ulimit -f 1 && exec "$tool" --lang en -o "$T/limit/R.TXT" "$T/default.PAR" 2>/dev/null)
[ $? -eq 4 ] || fail "limit: not status 4 under a file-size limit"
[ "$(cat "$T/limit/R.TXT")" = "$(printf 'old\r')" ] || fail "limit: the old report changed"
only_target "$T/limit" R.TXT
(ulimit -f 1 && exec "$tool" --lang en "$T/default.PAR" >"$T/limit.out" 2>/dev/null)
[ $? -eq 4 ] || fail "limit: not status 4 on a limited standard output"

# A link that another user planted in a sticky, world-writable folder is not
# followed, whether it stands for the file or for a folder on the way.
if [ "$(id -u)" -eq 0 ] && id nobody >/dev/null 2>&1; then
    mkdir -m 1777 "$T/sticky" "$T/elsewhere"
    printf 'root\n' >"$T/victim"
    ln -s ../victim "$T/sticky/R.TXT"
    ln -s ../elsewhere "$T/sticky/dir"
    chown -h nobody "$T/sticky/R.TXT" "$T/sticky/dir"
    run planted 4 --lang en -o "$T/sticky/R.TXT" "$T/default.PAR"
    expect_err planted "Cannot save results."
    run planted_dir 4 --lang en -o "$T/sticky/dir/R.TXT" "$T/default.PAR"
    [ "$(cat "$T/victim")" = root ] || fail "planted: the link's target was written"
    [ -L "$T/sticky/R.TXT" ] || fail "planted: the link is gone"
    [ -z "$(ls -A "$T/elsewhere")" ] || fail "planted_dir: written through the folder link"
    chown -h root "$T/sticky/R.TXT"
    run own_link 0 --lang en --separator . -o "$T/sticky/R.TXT" "$T/default.PAR"
    cmp -s "$T/victim" "$data/report_default_en.txt" || fail "own_link: our own link not followed"
else
    echo "note: not root, the planted links are not checked"
fi

# --- a crafted title ------------------------------------------------------------
# Line breaks, a terminal's escape codes and undefined bytes in a title must
# neither forge report lines nor reach the terminal: they show as "?".
forged=$(printf '\r\nResults:\r\nk = 9.99\033[2J\007\201\177')
"$make_data" "$T/forged.PAR" "title=$forged" "description.1=$(printf 'a\tb\230')" || exit 1
run forged 0 --lang en --separator . "$T/forged.PAR"
[ "$(sed -n 5p "$T/forged.out")" = "$(printf '??Results:??k = 9.99?[2J???\r')" ] ||
    fail "forged: title line '$(sed -n 5p "$T/forged.out")'"
grep -q '^  1-2 .*   a?b?.$' "$T/forged.out" || fail "forged: the description is not shown as 'a?b?'"
[ "$(wc -l <"$T/forged.out")" -eq $(($(wc -l <"$data/report_default_en.txt") + 2)) ] ||
    fail "forged: the title added lines"
[ "$(LC_ALL=C tr -cd '\000-\011\013\014\016-\037\177\201\203\210\220\230' <"$T/forged.out" | wc -c)" -eq 0 ] ||
    fail "forged: a control byte reached the report"
[ "$(LC_ALL=C sed 's/\r$//' "$T/forged.out" | tr -cd '\r' | wc -c)" -eq 0 ] ||
    fail "forged: a carriage return inside a line"

# --- usage --------------------------------------------------------------------
run help 0 --help
grep -q '^Usage: parieta-report' "$T/help.out" || fail "help: no usage on standard output"
[ -s "$T/help.err" ] && fail "help: something on standard error"
for args in "" "--lang" "--lang de $T/default.PAR" "--separator ab $T/default.PAR" \
            "--separator 5 $T/default.PAR" "--bogus $T/default.PAR" "-o" \
            "$T/default.PAR $T/thick.PAR"; do
    # shellcheck disable=SC2086
    run usage 64 $args
    grep -q '^Usage: parieta-report' "$T/usage.err" || fail "usage '$args': no usage text"
    [ -s "$T/usage.out" ] && fail "usage '$args': something on standard output"
done

# The test helper takes no option for the file to write.
mkdir "$T/helper" && cd "$T/helper" || exit 1
"$make_data" --help >"$T/helper.out" || fail "make_data_file --help: not status 0"
grep -q '^usage: make_data_file' "$T/helper.out" || fail "make_data_file --help: no usage"
"$make_data" -x 2>/dev/null && fail "make_data_file -x: accepted"
[ -z "$(ls -A "$T/helper")" ] || fail "make_data_file: wrote '$(ls -A "$T/helper")'"
cd / || exit 1

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all report tool checks passed"
