#!/usr/bin/env bash
# isotri-plot --batch: console lines on stdout, message boxes on stderr, exit status, picture.
set -u
plot="$1"
src="$2"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

LC_ALL=C.UTF-8 "$plot" --batch "$src/examples/strength-and-cost.txt" --lines 4 --size 400x370 \
    -o "$tmp/a.png" >"$tmp/out" 2>"$tmp/err"
[ $? -eq 0 ] || fail "example: exit status"
[ -s "$tmp/a.png" ] || fail "example: no picture"
grep -q '^LoadBatch(): parsing model "Квадратичная модель Шеффе"$' "$tmp/out" || fail "example: loader lines"
grep -Eq '^Minimum +[0-9.]+ at \[.*;.*;.*\]$' "$tmp/out" || fail "example: minimum line"
grep -Eq '^Maximum +[0-9.]+ at \[.*;.*;.*\]$' "$tmp/out" || fail "example: maximum line"
[ "$(tail -n 1 "$tmp/out" | cut -c1-7)" = "Maximum" ] || fail "example: report last"
grep -q '>' "$tmp/out" && fail "example: prompt printed"
grep -q $'\r' "$tmp/out" && fail "example: carriage return printed"

LC_ALL=ru_RU.UTF-8 "$plot" --batch "$src/examples/single-model.txt" -o "$tmp/b.svg" >"$tmp/out" 2>/dev/null
[ $? -eq 0 ] || fail "comma locale: exit status"
grep -Eq '^Maximum [0-9]+,[0-9]+ at ' "$tmp/out" || fail "comma locale: separator"
grep -q 'skipped 0 lines' "$tmp/out" || fail "single model: skipped-lines warning"
[ -s "$tmp/b.svg" ] || fail "single model: no picture"

"$plot" --batch "$tmp/missing.txt" -o "$tmp/c.png" >"$tmp/out" 2>"$tmp/err"
[ $? -eq 1 ] || fail "missing file: exit status"
grep -q "Файл \"$tmp/missing.txt\" не найден !" "$tmp/err" || fail "missing file: message"
[ -s "$tmp/out" ] && fail "missing file: console not empty"

printf 'model "Линейная модель Шеффе" 1 2 3 combine1 10 20 1\n' >"$tmp/const.txt"
"$plot" --batch "$tmp/const.txt" -o "$tmp/d.png" >"$tmp/out" 2>"$tmp/err"
[ $? -eq 1 ] || fail "constant: exit status"
grep -q 'Модель постоянна. Построение изолиний невозможно.' "$tmp/err" || fail "constant: message"
grep -q 'Minimum' "$tmp/out" && fail "constant: report printed"
[ -e "$tmp/d.png" ] && fail "constant: picture written"

printf 'plot\nmodel Нет 1\n' >"$tmp/bad.txt"
"$plot" --batch "$tmp/bad.txt" -o "$tmp/e.png" >"$tmp/out" 2>"$tmp/err"
[ $? -eq 1 ] || fail "nothing accepted: exit status"
grep -q '^LoadBatch(): expected "model", found plot$' "$tmp/out" || fail "nothing accepted: message"

for bad in "--lines 0" "--lines x" "--size 10" "--bounds 1,2" "--split 0"; do
    # shellcheck disable=SC2086
    "$plot" --batch "$tmp/bad.txt" $bad -o "$tmp/f.png" >/dev/null 2>&1
    [ $? -eq 2 ] || fail "option $bad: exit status"
done
"$plot" --batch "$tmp/bad.txt" >/dev/null 2>&1
[ $? -eq 2 ] || fail "no output: exit status"

[ $failures -eq 0 ] && echo "batch: all checks passed"
exit $failures
