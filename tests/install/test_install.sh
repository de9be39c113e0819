#!/bin/sh
# Installs the build into a temporary prefix and checks the installed tree:
# both programs, a valid desktop entry that opens our data and project files,
# a MIME package that names them in any letter case and by content, and the
# icon set.
# Usage: test_install.sh CMAKE BUILD_DIR MIME_TYPE_OF MAKE_DATA_FILE
set -u
cmake=$1
build=$2
mime_type_of=$3
make_data_file=$4

. "$(dirname "$0")/../support/require_tools.sh"
require_tools desktop-file-validate update-mime-database

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
share=$prefix/share
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! DESTDIR= "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log"
    echo "FAIL: cmake --install"
    exit 1
fi

for program in parieta parieta-report parieta-assess parieta-convert; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done

# Desktop entry: valid, runs the installed program with the file, for our type.
entry=$share/applications/pl.parieta.Parieta.desktop
if [ -f "$entry" ]; then
    desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
    grep -qx 'Exec=parieta %f' "$entry" || fail "Exec does not give the file to parieta"
    grep -qx 'Icon=parieta' "$entry" || fail "Icon is not parieta"
    grep -qx 'MimeType=application/x-parieta-data;application/x-parieta-project;' "$entry" ||
        fail "MimeType does not name the data and project types"
else
    fail "no desktop entry in share/applications"
fi

# MIME package: compiled by the install itself, and checked on a fresh copy.
[ -f "$share/mime/packages/parieta.xml" ] || fail "no MIME package in share/mime/packages"
[ -f "$share/mime/mime.cache" ] || fail "the install did not compile the MIME database"
mkdir -p "$tmp/copy/mime/packages"
cp "$share/mime/packages/parieta.xml" "$tmp/copy/mime/packages/"
update-mime-database "$tmp/copy/mime" 2>/dev/null || fail "update-mime-database rejects the package"
grep -qx '50:application/x-parieta-data:\*\.par' "$tmp/copy/mime/globs2" ||
    fail "globs2 lacks a case-free *.par for the data type"
grep -qx '50:application/x-parieta-project:\*\.parieta\.json' "$tmp/copy/mime/globs2" ||
    fail "globs2 lacks a case-free *.parieta.json for the project type"
grep -qx 'application/x-parieta-project application/json' "$tmp/copy/mime/subclasses" ||
    fail "the project type is not a kind of JSON"
grep -qx 'text/x-parieta-report text/plain' "$tmp/copy/mime/subclasses" ||
    fail "the report type is not a kind of plain text"

# What a file manager concludes, by name and by content.
files=$tmp/files
mkdir -p "$files"
printf 'QDAT\001\000\000\000' >"$files/WALL.par"
: >"$files/x.PAR"
: >"$files/Roof.Par"
printf 'QDAT\001\000\000\000' >"$files/no_extension"
printf 'TEMPERATURE DISTRIBUTION IN A PARTITION\r\n---\r\n' >"$files/report_en"
printf 'ROZK\243AD TEMPERATURY I CI\214NIENIA PARY WODNEJ W PRZEGRODZIE\r\n' >"$files/report_pl"
printf 'TEMPERATURE readings of the week\n' >"$files/notes"
project='{\n  "format": "parieta-project",\n  "version": 1\n}\n'
printf "$project" >"$files/wall.parieta.json"
printf "$project" >"$files/WALL.PARIETA.JSON"
printf "$project" >"$files/project_renamed"
printf '{"format": "other"}\n' >"$files/other.json"
check_type() {
    expected=$1
    file=$2
    got=$(XDG_DATA_HOME="$tmp/empty" XDG_DATA_DIRS="$share:/usr/share" "$mime_type_of" "$files/$file")
    [ "$got" = "$expected" ] || fail "$file is $got, not $expected"
}
check_type application/x-parieta-data WALL.par
check_type application/x-parieta-data x.PAR
check_type application/x-parieta-data Roof.Par
check_type application/x-parieta-data no_extension
check_type text/x-parieta-report report_en
check_type text/x-parieta-report report_pl
check_type text/plain notes
check_type application/x-parieta-project wall.parieta.json
check_type application/x-parieta-project WALL.PARIETA.JSON
check_type application/x-parieta-project project_renamed
check_type application/json other.json

# The desktop's list of handlers names us for the data type.
if command -v update-desktop-database >/dev/null 2>&1; then
    grep -q '^application/x-parieta-data=.*pl\.parieta\.Parieta\.desktop' "$share/applications/mimeinfo.cache" ||
        fail "mimeinfo.cache does not offer parieta for the data type"
    grep -q '^application/x-parieta-project=.*pl\.parieta\.Parieta\.desktop' "$share/applications/mimeinfo.cache" ||
        fail "mimeinfo.cache does not offer parieta for the project type"
fi

# Installed, the settings file is the user's, and the report tool reads the
# same one as the program: English stored there gives an English report.
"$make_data_file" "$tmp/wall.PAR" title=Installed >/dev/null || fail "make_data_file"
report_heading() {
    HOME=$tmp/home env -u XDG_CONFIG_HOME "$prefix/bin/parieta-report" "$tmp/wall.PAR" | head -n 1 | tr -d '\r'
}
mkdir -p "$tmp/home"
case $(report_heading) in
    ROZK*) ;;
    *) fail "with no settings file the report is not Polish" ;;
esac
mkdir -p "$tmp/home/.config/parieta"
printf '\000\000\000\000' >"$tmp/home/.config/parieta/PARIETA.CFG"
[ "$(report_heading)" = "TEMPERATURE AND STEAM-PRESSURE DISTRIBUTION IN A PARTITION" ] ||
    fail "parieta-report does not read ~/.config/parieta/PARIETA.CFG"
[ ! -e "$prefix/bin/PARIETA.CFG" ] || fail "a settings file beside the installed programs"

# Icons: a PNG of the right size at every size, and the scalable drawing.
for s in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${s}x${s}/apps/parieta.png
    if [ ! -f "$png" ]; then
        fail "no ${s}x${s} icon"
        continue
    fi
    # Signature, then width and height in the IHDR chunk (bytes 16..23, big-endian).
    sig=$(od -An -tx1 -N8 "$png" | tr -d ' \n')
    size=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$sig" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    [ "$size" = "${s}x${s}" ] || fail "$png is $size"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/parieta.svg" 2>/dev/null ||
    fail "no scalable icon"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed; installed files:"
    (cd "$prefix" && find . -type f | sort)
    exit 1
fi
echo "installed tree OK"
