#!/bin/sh
# Fails when a file includes a header of a higher layer, when a library
# without Qt includes a Qt header, or when document/ includes Qt beyond Qt
# Core and Qt Gui's undo stack (no widget, no painting). Layers, lowest first:
#   lang core output document qt gui app
# tools/ may use what has no Qt; tests/NAME what NAME may use, plus tests/support;
# bench/ and fuzz/ sit on top.
root=${1:?usage: check_layers.sh SOURCE_DIR [QT_CORE_INCLUDE_DIR]}
qtcore=${2:-}
cd "$root" || exit 2

rank() {
    case $1 in
        lang) echo 0 ;; core) echo 1 ;; output) echo 2 ;; document) echo 3 ;;
        qt) echo 4 ;; gui) echo 5 ;; app) echo 6 ;; *) echo -1 ;;
    esac
}

# The highest layer a folder may include.
ceiling() {
    case $1 in
        tools | tests/cli) echo 2 ;;
        tests/support | tests/install | tests/smoke) echo 5 ;;
        tests/*) r=$(rank "${1#tests/}"); [ "$r" -ge 0 ] && echo "$r" || echo 5 ;;
        bench | fuzz) echo 6 ;;
        *) rank "$1" ;;
    esac
}

status=0
files=$(find lang core output document qt gui app tools tests bench fuzz \
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
        lang | core | output | tools | tests/lang | tests/core | tests/output | tests/cli)
            if grep -Eq '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$file"; then
                echo "$file: includes Qt in a library without Qt"
                status=1
            fi ;;
    esac
    case $folder in
        document)
            for qt in $(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*<\(Q[^>]*\)>.*/\1/p' "$file"); do
                case $qt in
                    QUndoStack | QUndoCommand) ;;
                    */*) echo "$file: includes <$qt>: name the class alone"; status=1 ;;
                    *) if [ -n "$qtcore" ] && [ ! -e "$qtcore/$qt" ]; then
                           echo "$file: includes <$qt>, beyond Qt Core and the undo stack"
                           status=1
                       fi ;;
                esac
            done ;;
    esac
done
[ "$status" = 0 ] && echo "every include points downward"
exit $status
