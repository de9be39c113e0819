#!/bin/sh
# make package end to end: builds the .deb once from the built tree, checks
# its control data and files, the software centre's entry against the desktop
# entry, runs its own parieta-report on a data file as an installed program,
# and has lintian judge it (errors fail; the rest is shown).
# Usage: test_package.sh CPACK CPACK_CONFIG PARIETA_REPORT MAKE_DATA_FILE
set -u
cpack=$1
config=$2
built_report=$3
make_data_file=$4

. "$(dirname "$0")/../support/require_tools.sh"
require_tools dpkg-deb dpkg-shlibdeps file lintian appstreamcli

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$config" -B "$tmp/out" >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log"
    echo "FAIL: cpack"
    exit 1
fi
set -- "$tmp"/out/*.deb
[ $# -eq 1 ] && [ -f "$1" ] || { echo "FAIL: cpack made no single .deb: $*"; exit 1; }
deb=$1
echo "built $(basename "$deb")"

# Control data: dependencies found by dpkg-shlibdeps, and no maintainer
# scripts, since dpkg's triggers refresh the MIME, desktop, icon and manual
# caches.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = parieta ] || fail "Package is $(field Package)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is $(field Architecture)"
depends=$(field Depends)
for lib in libc6 libstdc++6 libqt6core6 libqt6widgets6; do
    case ", $depends," in
        *", $lib "*) ;;
        *) fail "Depends lacks $lib: $depends" ;;
    esac
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort >"$tmp/control.list"
[ "$(tr '\n' ' ' <"$tmp/control.list")" = "control md5sums " ] ||
    fail "control archive holds $(tr '\n' ' ' <"$tmp/control.list")"

root=$tmp/root
dpkg-deb -x "$deb" "$root" || { echo "FAIL: dpkg-deb -x"; exit 1; }
(cd "$root" && find . ! -type d | sed 's|^\./||' | sort) >"$tmp/files"
outside=$(grep -v '^usr/' "$tmp/files")
[ -z "$outside" ] || fail "files outside /usr: $outside"
for f in usr/bin/parieta-report usr/share/doc/parieta/copyright usr/share/doc/parieta/changelog.gz \
         usr/share/mime/packages/parieta.xml; do
    grep -qx "$f" "$tmp/files" || fail "no $f"
done
if grep -qx usr/bin/parieta "$tmp/files"; then
    for f in usr/share/applications/pl.parieta.Parieta.desktop \
             usr/share/metainfo/pl.parieta.Parieta.metainfo.xml usr/share/icons/hicolor/48x48/apps/parieta.png; do
        grep -qx "$f" "$tmp/files" || fail "no $f"
    done
    # The software centre's entry as installed: its id names the desktop entry.
    appstreamcli validate-tree --no-net --strict "$root" >"$tmp/appstream.txt" 2>&1 || {
        cat "$tmp/appstream.txt"
        fail "appstreamcli validate-tree rejects the unpacked tree"
    }
fi
for program in $(sed -n 's|^usr/bin/||p' "$tmp/files"); do
    grep -qx "usr/share/man/man1/$program.1.gz" "$tmp/files" || fail "no manual page for $program"
done
# Compiled caches belong to the system's triggers, never to the package.
grep -E 'mime\.cache|/mime/[a-z0-9]+$|mimeinfo\.cache|icon-theme\.cache' "$tmp/files" &&
    fail "the package carries caches"
version=$(gzip -dc "$root/usr/share/doc/parieta/changelog.gz" | sed -n '1s/^parieta (\([^)]*\)).*/\1/p')
[ "$version" = "$(field Version)" ] || fail "the changelog's version $version is not the package's $(field Version)"

# The package's report tool, as installed: the same bytes as the built one,
# and the user's settings file, not one beside it, gives the language.
"$make_data_file" "$tmp/WALL.PAR" title=Packaged >/dev/null || fail "make_data_file"
mkdir -p "$tmp/home/.config/parieta"
printf '\000\000\000\000' >"$tmp/home/.config/parieta/PARIETA.CFG"  # English
run_report() {
    HOME=$tmp/home SOURCE_DATE_EPOCH=962615100 LC_ALL=C env -u XDG_CONFIG_HOME "$@" "$tmp/WALL.PAR"
}
run_report "$root/usr/bin/parieta-report" >"$tmp/packaged.txt"
status=$?
[ "$status" -eq 0 ] || fail "the packaged parieta-report exits with $status"
run_report "$built_report" --lang en >"$tmp/built.txt"
cmp -s "$tmp/packaged.txt" "$tmp/built.txt" ||
    fail "the packaged report differs from the built one's English report"
[ ! -e "$root/usr/bin/PARIETA.CFG" ] || fail "a settings file beside the packaged programs"

# lintian as a Debian archive would run it; it says nothing of a clean package.
LC_ALL=C.UTF-8 lintian --tag-display-limit 0 --display-info "$deb" >"$tmp/lintian.txt" 2>"$tmp/lintian.err"
status=$?
grep -v 'running with root privileges' "$tmp/lintian.err"
echo "lintian reported $(grep -c . "$tmp/lintian.txt") tag(s):"
cat "$tmp/lintian.txt"
grep -q '^E: ' "$tmp/lintian.txt" && fail "lintian reports errors"
[ "$status" -le 1 ] || fail "lintian exits with $status"

[ "$failures" -eq 0 ] || exit 1
echo "package OK"
