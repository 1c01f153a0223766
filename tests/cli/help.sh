#!/usr/bin/env bash
# --help and --version of both programs: answered on standard output with status 0 before
# anything else, the window's without a display; a failed write is reported.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
window="$(dirname "$plot")/isotri"

# expect_info STATUS FIRST-LINE-PATTERN COMMAND...
expect_info() {
    local want="$1" pattern="$2"
    shift 2
    local status=0
    timeout 60 "$@" >out 2>err || status=$?
    [ "$status" -eq "$want" ] || fail "$*: status $status, stderr: $(cat err)"
    [ ! -s err ] || fail "$*: unexpected messages: $(cat err)"
    head -n1 out | grep -qE "$pattern" || fail "$*: first line $(head -n1 out)"
}

version='^isotri-plot \(isotri\) [0-9]+\.[0-9]+$'
expect_info 0 '^Использование: isotri-plot ' "$plot" --help
for option in --list --dir --model --coefs --batch --lines --split --size --bounds \
    --scales-only --no-grid --zoom --names --version; do
    grep -qe "$option" out || fail "--help does not mention $option"
done
expect_info 0 '^Использование: isotri-plot ' "$plot" -h
expect_info 0 "$version" "$plot" --version
grep -qE '^Qt [0-9]' out || fail "--version does not name Qt: $(cat out)"
# Anywhere among the arguments, and the first of the two wins.
expect_info 0 "$version" "$plot" --model "Линейная модель Шеффе" --version
expect_info 0 "$version" "$plot" --version --help
# Only the exact words: a value that begins with them is not a request.
status=0
"$plot" --model --versions >out 2>err || status=$?
[ "$status" -eq 2 ] || fail "--versions taken as a request: status $status"

# No argument: the usage on standard error, status 2.
status=0
"$plot" >out 2>err || status=$?
[ "$status" -eq 2 ] || fail "no arguments: status $status"
[ ! -s out ] || fail "no arguments: standard output used"
grep -q 'isotri-plot --help' err || fail "no arguments: no hint at --help"

status=0
"$plot" --help >/dev/full 2>err || status=$?
[ "$status" -eq 1 ] || fail "--help into a full disk: status $status"
grep -q 'ошибка записи' err || fail "--help into a full disk: $(cat err)"

if [ -x "$window" ]; then
    headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
    expect_info 0 '^Использование: isotri ' "${headless[@]}" "$window" --help
    expect_info 0 '^isotri \(isotri\) [0-9]+\.[0-9]+$' "${headless[@]}" "$window" --version
    status=0
    "${headless[@]}" "$window" --version >/dev/full 2>err || status=$?
    [ "$status" -eq 1 ] || fail "isotri --version into a full disk: status $status"
fi
echo ok
