# Sourced by the shell tests: `require_tools TOOL...` ends the test as
# skipped (ctest's SKIP_RETURN_CODE 77) when one of the tools is missing.
require_tools() {
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "SKIP: $tool is not installed (make deps installs it)"
            exit 77
        fi
    done
}
