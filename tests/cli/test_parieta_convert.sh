#!/bin/sh
# The converter end to end: round trips byte for byte, exit statuses, messages,
# and an output file left alone when a conversion fails.
# Usage: test_parieta_convert.sh PARIETA_CONVERT MAKE_DATA_FILE
set -u
tool=$1
make_data=$2

T=$(mktemp -d /tmp/parieta-convert-XXXXXX) || exit 1
trap 'rm -rf "$T"' EXIT
export LC_ALL=C

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# run NAME EXPECTED_STATUS ARGS...: output in $T/NAME.out and $T/NAME.err
run() {
    name=$1
    want=$2
    shift 2
    "$tool" "$@" >"$T/$name.out" 2>"$T/$name.err"
    got=$?
    [ "$got" -eq "$want" ] || fail "$name: exit status $got, expected $want ($(cat "$T/$name.err"))"
}

expect_err() {
    printf '%s\n' "$2" >"$T/$1.want"
    cmp -s "$T/$1.err" "$T/$1.want" || fail "$1: standard error is '$(cat "$T/$1.err")'"
}

quiet() {
    [ -s "$T/$1.out" ] && fail "$1: something on standard output"
    [ -s "$T/$1.err" ] && fail "$1: something on standard error: $(cat "$T/$1.err")"
}

# --- data file to project file and back, byte for byte ------------------------
polish=$(printf 'Przegroda \263\271\352\277\237 \243\245\312\257\217')  # łąężź ŁĄĘŻŹ
"$make_data" "$T/default.PAR" || exit 1
"$make_data" "$T/curved.par" layers=11 wall=1 radius=0.75 "title=$polish" \
    "description.1=$polish" description.11=inner thickness.11=0.02 || exit 1
"$make_data" "$T/limits.PAR" temp_int=150 thickness.2=3 mode=0 hum_int=-1 || exit 1
"$make_data" "$T/deleted.PAR" layers=2 thickness.4=0.5 lambda.9=0.125 || exit 1
for f in default.PAR curved.par limits.PAR deleted.PAR; do
    base=${f%.*}
    run "$base-json" 0 "$T/$f" "$T/$base.JSON"
    quiet "$base-json"
    run "$base-par" 0 "$T/$base.JSON" "$T/$base-back.PAR"
    quiet "$base-par"
    cmp -s "$T/$f" "$T/$base-back.PAR" || fail "$f: the round trip changes bytes"
done
grep -q '"title": "Przegroda łąężź ŁĄĘŻŹ"' "$T/curved.JSON" ||
    fail "curved: the title is not UTF-8 in the project file"
grep -q '"climate": null' "$T/default.JSON" || fail "default: the climate is not null"
grep -q '"kind": "none"' "$T/default.JSON" || fail "default: the kind is not none"
grep -q '"kept"' "$T/default.JSON" && fail "default: a new record has kept bytes"
grep -q '"unused_slots"' "$T/deleted.JSON" || fail "deleted: the unused slots are not kept"

# A project rewritten is the same text.
run rewrite 0 "$T/curved.JSON" "$T/curved-again.json"
cmp -s "$T/curved.JSON" "$T/curved-again.json" || fail "rewrite: the project text changes"

# A climate and a kind are left out of a data file, with a note.
sed -e 's/"climate": null/"climate": {"humidity_class": 2, "months": [MONTHS]}/' \
    -e 's/"kind": "none"/"kind": "external_wall"/' "$T/default.JSON" >"$T/climate.json.in"
months=
for m in 1 2 3 4 5 6 7 8 9 10 11 12; do
    months="$months${months:+, }{\"month\": $m, \"theta_e\": 0, \"phi_e\": 80, \"theta_i\": 20}"
done
sed "s/MONTHS/$months/" "$T/climate.json.in" >"$T/climate.json"
run dropped 0 "$T/climate.json" "$T/climate.PAR"
expect_err dropped "parieta-convert: note: a data file keeps no climate and no kind of partition; $T/climate.PAR has the partition only"
cmp -s "$T/climate.PAR" "$T/default.PAR" || fail "dropped: the partition is not the default one"

# --- failures leave the output alone ------------------------------------------
printf 'previous' >"$T/keep.json"
printf 'previous' >"$T/keep.PAR"
printf 'not a data file\n' >"$T/text.PAR"
printf '{"format": "parieta-project", "version": 1,\n "partition": [}\n' >"$T/syntax.json"
sed 's/"layer_count": 4/"layer_count": 12/' "$T/default.JSON" >"$T/count.json"
"$make_data" "$T/nolayers.PAR" layers=0 || exit 1

run missing 1 "$T/none.PAR" "$T/keep.json"
expect_err missing "parieta-convert: $T/none.PAR: cannot be opened"
run missing_json 1 "$T/none.json" "$T/keep.PAR"
expect_err missing_json "parieta-convert: $T/none.json: cannot be opened"
mkdir "$T/folder.json"
run folder 1 "$T/folder.json" "$T/keep.PAR"

run text 2 "$T/text.PAR" "$T/keep.json"
expect_err text "parieta-convert: $T/text.PAR: not a data file"
run syntax 2 "$T/syntax.json" "$T/keep.PAR"
expect_err syntax "parieta-convert: $T/syntax.json: not JSON: line 2, column 16: syntax error while parsing value - unexpected '}'; expected '[', '{', or a literal"
run count 2 "$T/count.json" "$T/keep.PAR"
expect_err count "parieta-convert: $T/count.json: partition.layer_count: 12 is outside 1 to 11"
run nolayers 2 "$T/nolayers.PAR" "$T/keep.json"
expect_err nolayers "parieta-convert: $T/nolayers.PAR: partition.layer_count: 0 is outside 1 to 11; a project file cannot keep it"
for f in keep.json keep.PAR; do
    [ "$(cat "$T/$f")" = previous ] || fail "$f was changed by a failed conversion"
done

run nofolder_par 4 "$T/default.JSON" "$T/no/such/folder/W.PAR"
expect_err nofolder_par "parieta-convert: $T/no/such/folder/W.PAR: cannot be written"
run nofolder_json 4 "$T/default.PAR" "$T/no/such/folder/W.json"
expect_err nofolder_json "parieta-convert: $T/no/such/folder/W.json: cannot be written"
mkdir "$T/out.PAR"
run intofolder 4 "$T/default.JSON" "$T/out.PAR"
[ -d "$T/no" ] && fail "nofolder: a folder was made"

# --- usage --------------------------------------------------------------------
run help 0 --help
grep -q '^Usage: parieta-convert IN OUT' "$T/help.out" || fail "help: no usage on standard output"
[ -s "$T/help.err" ] && fail "help: something on standard error"
for args in "" "$T/default.PAR" "$T/default.PAR $T/a.json $T/b.json" "--bogus $T/default.PAR $T/a.json" \
            "$T/default.PAR $T/a.txt" "$T/default $T/a.json" "$T/default.PAR $T/.json"; do
    # shellcheck disable=SC2086
    run usage 64 $args
    grep -q '^Usage: parieta-convert' "$T/usage.err" || fail "usage '$args': no usage text"
    [ -s "$T/usage.out" ] && fail "usage '$args': something on standard output"
done
# After "--" a name may start with a dash.
cp "$T/default.PAR" "$T/-dash.PAR"
(cd "$T" && "$tool" -- -dash.PAR -dash.json) || fail "--: a name starting with a dash is refused"
[ -f "$T/-dash.json" ] || fail "--: nothing written"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all converter checks passed"
