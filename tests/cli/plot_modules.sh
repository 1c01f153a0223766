#!/usr/bin/env bash
# isotri-plot with modules that stretch the contract: a model without coefficients, a model
# with no finite value.
set -euo pipefail
plot="$1"
modules="$(cd "$(dirname "$plot")/../testmodules" && pwd)"
source "$2/tests/support/cli_work.sh"
cp "$modules/contract_breach.so" "$modules/gui_models/gui_models.so" .

# No coefficients: the model still gets an array and its isolines come (x1 here).
"$plot" --model "Коэффициентов 0" --coefs "" -o zero.json 2>err ||
    fail "model without coefficients exited $?: $(cat err)"
python3 -c 'import json,sys; assert len(json.load(open(sys.argv[1]))["levels"]) == 5' zero.json ||
    fail "zero.json has not 5 levels"

# No finite value anywhere is not a constant: its own message, status 1, nothing written.
status=0
"$plot" --model "Неопределённая модель" --coefs "1" -o nan.json 2>err || status=$?
[ "$status" -eq 1 ] || fail "model without finite values exited $status"
grep -qxF "На концентрационном треугольнике модель не имеет конечных значений. Построение изолиний невозможно." err ||
    fail "message: $(cat err)"
[ ! -e nan.json ] || fail "nan.json written"
echo ok
