#!/usr/bin/env bash
# isotri-plot reading the plot: --at lines, the extremes in the JSON and --mark-extremes.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
linear="Линейная модель Шеффе"

# y = x1 + 2·x2 + 3·x3: lowest 1 at corner A (top), highest 3 at corner C (lower left).
LC_ALL=C.UTF-8 "$plot" --model "$linear" --coefs "1 2 3" --at "1 1 2" --at "0.2 0.3 0.5" \
    -o linear.json >out 2>err || fail "linear plot exited $?: $(cat err)"
diff -u - out <<'TXT' || fail "--at lines"
A = 0.250  B = 0.250  C = 0.500   y = 2.25
A = 0.200  B = 0.300  C = 0.500   y = 2.3
TXT
python3 - linear.json <<'PY' || fail "linear extremes"
import json, sys
e = json.load(open(sys.argv[1]))["extremes"]
assert sorted(e) == ["max", "min"] and sorted(e["min"]) == ["mixture", "value", "x", "y"], e
def near(a, b, eps): assert abs(a - b) < eps, (a, b)
near(e["min"]["value"], 1, 1e-9); near(e["max"]["value"], 3, 1e-9)
for a, b in zip(e["min"]["mixture"], [1, 0, 0]): near(a, b, 1e-9)
for a, b in zip(e["max"]["mixture"], [0, 0, 1]): near(a, b, 1e-9)
near(e["min"]["x"], 400, 1e-3); near(e["min"]["y"], 44, 1e-3)
near(e["max"]["x"], 53.589838, 1e-3); near(e["max"]["y"], 644, 1e-3)
PY

# 4·(x1x2 + x1x3 + x2x3): highest 4/3 in the centre; with bounds the extremes lie in them.
quad="Квадратичная модель Шеффе"
"$plot" --model "$quad" --coefs "0 0 0 4 4 4" -o quad.json 2>err || fail "quadratic exited $?"
"$plot" --model "$quad" --coefs "0 0 0 4 4 4" --bounds "0.6 0.2 0.2 0.2 0.6 0.2 0.2 0.2 0.6" \
    -o sub.json 2>err || fail "bounded quadratic exited $?"
python3 - quad.json sub.json <<'PY' || fail "quadratic extremes"
import json, sys
whole = json.load(open(sys.argv[1]))["extremes"]
assert abs(whole["max"]["value"] - 4 / 3) < 5e-3, whole["max"]
assert all(abs(m - 1 / 3) < 0.05 for m in whole["max"]["mixture"]), whole["max"]
assert abs(whole["max"]["x"] - 400) < 25 and abs(whole["max"]["y"] - 444) < 25, whole["max"]
assert abs(whole["min"]["value"]) < 1e-9, whole["min"]
sub = json.load(open(sys.argv[2]))["extremes"]
# The sub-triangle's corners hold 4·(0.12 + 0.12 + 0.04) = 1.12, its centre 4/3.
assert abs(sub["min"]["value"] - 1.12) < 1e-6, sub["min"]
assert abs(sub["max"]["value"] - 4 / 3) < 5e-3, sub["max"]
assert all(0.2 - 1e-6 <= m <= 0.6 + 1e-6 for m in sub["min"]["mixture"]), sub["min"]
PY

# The locale's form and the Format dialog's names; a bad mixture is refused before plotting.
LC_ALL=ru_RU.UTF-8 "$plot" --model "$linear" --coefs "1 2 3" --names "Вода,Спирт,Сахар" \
    --at "0 1 0" -o n.json >out 2>err || fail "names exited $?"
[ "$(cat out)" = "Вода = 0,000  Спирт = 1,000  Сахар = 0,000   y = 2" ] || fail "names: $(cat out)"
for bad in "1 -1 1" "1 1" "x 1 1" "0 0 0"; do
    status=0
    "$plot" --model "$linear" --coefs "1 2 3" --at "$bad" -o bad.json >out 2>err || status=$?
    [ "$status" -eq 2 ] || fail "--at \"$bad\" exited $status"
    grep -q -- "--at \"$bad\"" err || fail "--at \"$bad\": $(cat err)"
    [ ! -e bad.json ] || fail "--at \"$bad\" wrote a file"
done

# The marks are in the picture only when asked for.
"$plot" --model "$linear" --coefs "1 2 3" -o plain.svg 2>err || fail "svg exited $?"
"$plot" --model "$linear" --coefs "1 2 3" --mark-extremes -o marked.svg 2>err ||
    fail "marked svg exited $?"
grep -q "макс" plain.svg && fail "marks without --mark-extremes"
grep -q "макс" marked.svg || fail "no marks with --mark-extremes"

# A batch: D and each d at the mixture, the report's extremes in the JSON.
cat >ramps.txt <<'TXT'
model "Линейная модель Шеффе" 1 2 3 combine1 1 3 1
model "Линейная модель Шеффе" 3 2 1 combine1 1 3 1
TXT
LC_ALL=C.UTF-8 "$plot" --batch ramps.txt --at "0.2 0.3 0.5" -o batch.json >out 2>err ||
    fail "batch exited $?: $(cat err)"
[ "$(tail -n 1 out)" = "A = 0.200  B = 0.300  C = 0.500   D = 0.47697  d1 = 0.65  d2 = 0.35" ] ||
    fail "batch --at: $(tail -n 1 out)"
python3 - batch.json out <<'PY' || fail "batch extremes"
import json, re, sys
e = json.load(open(sys.argv[1]))["extremes"]
report = open(sys.argv[2]).read()
for key, word in (("min", "Minimum"), ("max", "Maximum")):
    m = re.search(word + r" +(\S+) at \[ *(\S+); *(\S+); *(\S+)\]", report)
    assert m, word
    value, *mixture = (float(g) for g in m.groups())
    assert abs(e[key]["value"] - value) <= 1e-4 * max(1, abs(value)), (e[key], value)
    for a, b in zip(e[key]["mixture"], mixture):
        assert abs(a - b) < 1e-4, (e[key], mixture)
# Both ramps are 0,5 in the centre and one of them is 0 at each corner.
assert abs(e["max"]["value"] - 0.5) < 1e-3 and e["min"]["value"] == 0, e
PY

# A fitted model is read at the mixtures as well, after its report.
LC_ALL=C.UTF-8 "$plot" --fit "$2/examples/yarn-blends.csv" --response "Прочность, МПа" \
    --model "Специальная кубическая модель Шеффе" --at "1 1 1" -o fit.json >out 2>err ||
    fail "fit exited $?: $(cat err)"
tail -n 1 out | grep -Eq '^A = 0.333  B = 0.333  C = 0.333   y = [0-9.]+$' ||
    fail "fit --at: $(tail -n 1 out)"
python3 -c 'import json, sys; assert json.load(open("fit.json"))["extremes"]["max"]["value"] > 0' ||
    fail "fit extremes"

# With the picture on standard output the readings go to standard error.
LC_ALL=C.UTF-8 "$plot" --model "$linear" --coefs "1 2 3" --at "1 1 2" -o - >piped.json 2>err ||
    fail "-o - exited $?"
python3 -c 'import json; json.load(open("piped.json"))' || fail "-o -: not JSON"
grep -qxF "A = 0.250  B = 0.250  C = 0.500   y = 2.25" err || fail "-o -: reading $(cat err)"
