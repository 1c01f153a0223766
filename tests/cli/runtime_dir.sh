#!/usr/bin/env bash
# Outside a desktop session (no XDG_RUNTIME_DIR) isotri-plot keeps standard error for real
# messages.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
bare=(env -u XDG_RUNTIME_DIR -u QT_QPA_PLATFORM "$plot")

"${bare[@]}" --model "Линейная модель Шеффе" --coefs "1 2 3" -o lines.png 2>err ||
    fail "picture exited $?: $(cat err)"
[ ! -s err ] || fail "picture: unexpected messages: $(cat err)"
"${bare[@]}" --model "Линейная модель Шеффе" --coefs "1 2 3" -o lines.json 2>err ||
    fail "isolines exited $?: $(cat err)"
[ ! -s err ] || fail "isolines: unexpected messages: $(cat err)"
"${bare[@]}" --list >/dev/null 2>err || fail "--list exited $?: $(cat err)"
[ ! -s err ] || fail "--list: unexpected messages: $(cat err)"

# Real messages still come.
status=0
"${bare[@]}" --list --dir "$work/missing" >/dev/null 2>err || status=$?
[ "$status" -eq 1 ] || fail "missing folder: status $status"
grep -qF 'не найден' err || fail "missing folder not reported: $(cat err)"
echo ok
