#!/usr/bin/env bash
# isotri-plot plot mode: the isoline set as JSON, the locale's numbers, refusals and their codes.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
cubic="Полная кубическая модель Шеффе"
coefs="3.1 1.2 2.4 4.5 -6 2.2 7.5 -3 5 20"

# Default plot: exactly the documented keys, the default placement and five levels.
"$plot" --model "$cubic" --coefs "$coefs" -o set.json 2>err || fail "plot exited $?"
python3 - set.json <<'PY' || fail "set.json does not match"
import json, sys
d = json.load(open(sys.argv[1]))
assert sorted(d) == ["evaluations", "extremes", "levels", "vertices"], sorted(d)
v = d["vertices"]
assert abs(v[0][0] - 400) < 1e-3 and abs(v[0][1] - 44) < 1e-3, v
assert abs(v[1][0] - 746.41016) < 1e-3 and abs(v[2][1] - 644) < 1e-3, v
assert 0 < d["evaluations"] <= 20000, d["evaluations"]
assert len(d["levels"]) == 5
for level in d["levels"]:
    assert sorted(level) == ["pieces", "text", "value"], sorted(level)
    assert float(level["text"]) == level["value"]
    assert level["pieces"], "a level of the cubic model has no piece"
    for piece in level["pieces"]:
        assert sorted(piece) == ["label", "mixture", "points"], sorted(piece)
        assert sorted(piece["label"]) == ["noLabel", "x", "y"]
        assert len(piece["points"]) == len(piece["mixture"]) >= 2
        for m in piece["mixture"]:
            assert abs(sum(m) - 1) < 1e-9 and min(m) > -1e-9, m
PY

# Numbers in the locale's form or with a full stop; options of the picture and the bounds.
LC_ALL=ru_RU.UTF-8 "$plot" --model "$cubic" --coefs "3,1 1,2 2.4 4.5 -6 2.2 7.5 -3 5 20" \
    --lines 3 --size 300x200 --bounds "0,2 0,5 0,3 0.6 0.1 0.3 0.1 0.1 0.8" -o sub.json 2>err ||
    fail "comma locale exited $?: $(cat err)"
python3 - sub.json <<'PY' || fail "sub.json does not match"
import json, sys
d = json.load(open(sys.argv[1]))
assert len(d["levels"]) == 3
assert abs(d["vertices"][0][0] - 150) < 1e-3 and abs(d["vertices"][0][1] - (120 - 150)) < 1e-3
for level in d["levels"]:
    for piece in level["pieces"]:
        for m in piece["mixture"]:
            assert 0.1 - 1e-6 <= m[0] <= 0.6 + 1e-6 and m[2] >= 0.3 - 1e-6, m
PY
# --scales-only: the whole triangle is plotted.
"$plot" --model "$cubic" --coefs "$coefs" --bounds "0.2 0.5 0.3 0.6 0.1 0.3 0.1 0.1 0.8" \
    --scales-only -o whole.json 2>err || fail "--scales-only exited $?"
cmp -s set.json whole.json || fail "--scales-only did not ignore the bounds"

# A constant model: the message, nothing written, status 1.
status=0
"$plot" --model "Линейная модель Шеффе" --coefs "2 2 2" -o flat.json 2>err || status=$?
[ "$status" -eq 1 ] || fail "constant model exited $status"
grep -qxF "На концентрационном треугольнике модель постоянна. Построение изолиний невозможно." err ||
    fail "constant model message: $(cat err)"
[ ! -e flat.json ] || fail "constant model wrote a file"

# Refusals with status 2 and nothing written.
refuse() {
    local why="$1"
    shift
    status=0
    "$plot" "$@" 2>err || status=$?
    [ "$status" -eq 2 ] || fail "$why: exited $status"
    [ -s err ] || fail "$why: no message"
    [ ! -e bad.json ] || fail "$why: wrote a file"
}
refuse "unknown model" --model "Нет такой" --coefs "1 2 3" -o bad.json
refuse "too few coefficients" --model "$cubic" --coefs "1 2 3" -o bad.json
refuse "bad coefficient" --model "Линейная модель Шеффе" --coefs "1 x 3" -o bad.json
refuse "unknown extension" --model "$cubic" --coefs "$coefs" -o bad.xyz
refuse "no output" --model "$cubic" --coefs "$coefs"
refuse "lines out of range" --model "$cubic" --coefs "$coefs" --lines 51 -o bad.json
refuse "bad size" --model "$cubic" --coefs "$coefs" --size 20x3000 -o bad.json
refuse "eight bounds" --model "$cubic" --coefs "$coefs" --bounds "1 0 0 0 1 0 0 0" -o bad.json
refuse "unknown option" --model "$cubic" --coefs "$coefs" --colour red -o bad.json
echo OK
