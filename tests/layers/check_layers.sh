#!/bin/sh
# Fails when a file includes a header of a higher layer, when a library
# without Qt includes a Qt header, when paths/ (paths and arguments) includes
# Qt beyond Qt Core, or when document/ includes Qt beyond Qt Core and Qt Gui's
# undo stack (no widget, no painting). Layers, lowest first:
#   lang core storage (and paths, its part with Qt Core) output document qt gui app
# tools/ may use what has no Qt; tests/NAME what NAME may use, plus tests/support;
# bench/ and fuzz/ sit on top.
root=${1:?usage: check_layers.sh SOURCE_DIR [QT_CORE_INCLUDE_DIR]}
qtcore=${2:-}
cd "$root" || exit 2

rank() {
    case $1 in
        lang) echo 0 ;; core) echo 1 ;; storage | paths) echo 2 ;; output) echo 3 ;;
        document) echo 4 ;; qt) echo 5 ;; gui) echo 6 ;; app) echo 7 ;; *) echo -1 ;;
    esac
}

# The highest layer a folder may include.
ceiling() {
    case $1 in
        tools | tests/cli) rank output ;;
        tests/support | tests/install | tests/smoke) rank gui ;;
        tests/*) r=$(rank "${1#tests/}"); [ "$r" -ge 0 ] && echo "$r" || rank gui ;;
        bench | fuzz) rank app ;;
        *) rank "$1" ;;
    esac
}

# The storage layer's part with Qt (Qt Core, library parieta_storage_qt), and its test.
# Code without Qt may not include these headers either.
qt_core_files="paths/arguments.h paths/arguments.cpp paths/paths.h paths/paths.cpp
               tests/paths/test_arguments.cpp"
qt_core_headers="paths/arguments.h paths/paths.h"

in_list() {
    item=$1
    shift
    for each in $*; do [ "$each" = "$item" ] && return 0; done
    return 1
}

# Fails for a Qt header beyond Qt Core and the classes named after WHAT, and
# for one named with its module.
qt_core_only() {  # FILE WHAT [CLASS...]
    file=$1 what=$2
    shift 2
    for qt in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\(Q[^>]*\)>.*/\1/p' "$file"); do
        in_list "$qt" "$@" && continue
        case $qt in
            */*) echo "$file: includes <$qt>: name the class alone"; status=1 ;;
            *) if [ -n "$qtcore" ] && [ ! -e "$qtcore/$qt" ]; then
                   echo "$file: includes <$qt>, beyond $what"
                   status=1
               fi ;;
        esac
    done
}

status=0
files=$(find lang core storage paths output document qt gui app tools tests bench fuzz \
             -name '*.cpp' -o -name '*.h' 2>/dev/null | sort)
for file in $files; do
    folder=${file%/*}
    case $folder in tests/*/*) folder=$(echo "$folder" | cut -d/ -f1-2) ;; esac
    case $folder in lang/gen) folder=lang ;; bench/*) folder=bench ;; esac
    limit=$(ceiling "$folder")
    for included in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file"); do
        top=${included%%/*}
        [ "$top" = "$included" ] && continue
        if [ "$top" = tests ]; then
            sub=$(echo "$included" | cut -d/ -f2)
            case $folder in
                tests/support | "tests/$sub") ;;
                tests/*) [ "$sub" = support ] || { echo "$file: includes $included of another test folder"; status=1; } ;;
                bench | fuzz) ;;
                *) echo "$file: includes the test header $included"; status=1 ;;
            esac
            continue
        fi
        r=$(rank "$top")
        [ "$r" -lt 0 ] && continue
        if [ "$r" -gt "$limit" ]; then
            echo "$file: includes $included, a higher layer"
            status=1
        fi
    done
    case $folder in
        lang | core | storage | paths | output | tools | tests/lang | tests/core | tests/storage | \
        tests/paths | tests/output | tests/cli)
            if in_list "$file" $qt_core_files; then
                qt_core_only "$file" "Qt Core"
            else
                if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
                    echo "$file: includes Qt in a library without Qt"
                    status=1
                fi
                for included in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file"); do
                    if in_list "$included" $qt_core_headers; then
                        echo "$file: includes $included, which needs Qt, in a library without Qt"
                        status=1
                    fi
                done
            fi ;;
        document) qt_core_only "$file" "Qt Core and the undo stack" QUndoStack QUndoCommand ;;
    esac
done
[ "$status" = 0 ] && echo "every include points downward"
exit $status
