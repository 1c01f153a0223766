# Sourced by the command-line checks: a private working folder, removed at exit, with its own
# runtime folder so Qt stays quiet; `fail` ends the check with a message.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
export XDG_RUNTIME_DIR="$work/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
fail() { echo "FAIL: $*" >&2; exit 1; }
# For a check that reports every failure, not only the first: `fail` counts, and the check ends
# with `exit $failures`.
count_failures() {
    failures=0
    fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
}
