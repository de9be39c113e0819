#!/bin/sh
# The kill loops on a file system without unnamed temporary files: a FUSE
# bind mount (bindfs) of a fresh folder. Skipped (77) where none can be made.
# Usage: test_kill_no_tmpfile.sh KILL_LOOP PARIETA_REPORT RUNS
set -u
loop=$1 tool=$2 runs=$3
command -v bindfs >/dev/null 2>&1 || { echo "bindfs is not installed"; exit 77; }
[ -c /dev/fuse ] || { echo "no /dev/fuse"; exit 77; }
base=$(mktemp -d /tmp/parieta-fuse-XXXXXX) || exit 1
mkdir "$base/src" "$base/mnt"
cleanup() {
    fusermount -u "$base/mnt" 2>/dev/null || umount "$base/mnt" 2>/dev/null
    rm -rf "$base"
}
trap cleanup EXIT
if ! bindfs "$base/src" "$base/mnt" 2>"$base/err"; then
    echo "cannot mount bindfs here: $(cat "$base/err")"
    exit 77
fi
if python3 -c 'import os,sys; os.open(sys.argv[1], os.O_TMPFILE | os.O_WRONLY, 0o600)' \
    "$base/mnt" 2>/dev/null; then
    echo "this FUSE mount has unnamed temporary files: nothing to test"
    exit 77
fi
status=0
"$loop" KILL "$runs" 0 "$tool" --folder "$base/mnt" || status=1
"$loop" KILL "$runs" "$runs" "$tool" --group --folder "$base/mnt" || status=1
exit $status
