#!/usr/bin/env bash
# isotri-plot --batch: console lines on stdout, message boxes on stderr, exit status, picture.
set -u
plot="$1"
src="$2"
source "$src/tests/support/cli_work.sh"
count_failures

LC_ALL=C.UTF-8 "$plot" --batch "$src/examples/strength-and-cost.txt" --lines 4 --size 400x370 \
    -o "$work/a.png" >"$work/out" 2>"$work/err"
[ $? -eq 0 ] || fail "example: exit status"
[ -s "$work/a.png" ] || fail "example: no picture"
grep -q '^LoadBatch(): parsing model "Квадратичная модель Шеффе"$' "$work/out" || fail "example: loader lines"
grep -Eq '^Minimum +[0-9.]+ at \[.*;.*;.*\]$' "$work/out" || fail "example: minimum line"
grep -Eq '^Maximum +[0-9.]+ at \[.*;.*;.*\]$' "$work/out" || fail "example: maximum line"
[ "$(tail -n 1 "$work/out" | cut -c1-7)" = "Maximum" ] || fail "example: report last"
grep -q '>' "$work/out" && fail "example: prompt printed"
grep -q $'\r' "$work/out" && fail "example: carriage return printed"

LC_ALL=ru_RU.UTF-8 "$plot" --batch "$src/examples/single-model.txt" -o "$work/b.svg" >"$work/out" 2>/dev/null
[ $? -eq 0 ] || fail "comma locale: exit status"
grep -Eq '^Maximum [0-9]+,[0-9]+ at ' "$work/out" || fail "comma locale: separator"
grep -q 'skipped 0 lines' "$work/out" || fail "single model: skipped-lines warning"
[ -s "$work/b.svg" ] || fail "single model: no picture"

"$plot" --batch "$work/missing.txt" -o "$work/c.png" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "missing file: exit status"
grep -q "Файл \"$work/missing.txt\" не найден !" "$work/err" || fail "missing file: message"
[ -s "$work/out" ] && fail "missing file: console not empty"

printf 'model "Линейная модель Шеффе" 1 2 3 combine1 10 20 1\n' >"$work/const.txt"
"$plot" --batch "$work/const.txt" -o "$work/d.png" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "constant: exit status"
grep -q 'Модель постоянна. Построение изолиний невозможно.' "$work/err" || fail "constant: message"
grep -q 'Minimum' "$work/out" && fail "constant: report printed"
[ -e "$work/d.png" ] && fail "constant: picture written"

printf 'plot\nmodel Нет 1\n' >"$work/bad.txt"
"$plot" --batch "$work/bad.txt" -o "$work/e.png" >"$work/out" 2>"$work/err"
[ $? -eq 1 ] || fail "nothing accepted: exit status"
grep -q '^LoadBatch(): expected "model", found plot$' "$work/out" || fail "nothing accepted: message"

for bad in "--lines 0" "--lines x" "--size 10" "--bounds 1,2" "--split 0"; do
    # shellcheck disable=SC2086
    "$plot" --batch "$work/bad.txt" $bad -o "$work/f.png" >/dev/null 2>&1
    [ $? -eq 2 ] || fail "option $bad: exit status"
done
"$plot" --batch "$work/bad.txt" >/dev/null 2>&1
[ $? -eq 2 ] || fail "no output: exit status"

[ $failures -eq 0 ] && echo "batch: all checks passed"
exit $failures
