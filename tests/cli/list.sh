#!/usr/bin/env bash
# isotri-plot --list: the default catalogue, appended directories, failed loads.
set -euo pipefail
plot="$1"
modules="$(cd "$(dirname "$plot")/../testmodules" && pwd)"
source "$2/tests/support/cli_work.sh"
tab=$'\t'

# Start-up catalogue: the default module found beside the program, nothing in ".".
"$plot" --list >out 2>err || fail "--list exited $?"
[ ! -s err ] || fail "unexpected messages: $(cat err)"
[ "$(wc -l <out)" -eq 13 ] || fail "expected 13 default models, got $(wc -l <out)"
head -n1 out | grep -qxF "0${tab}Линейная модель Шеффе${tab}3${tab}3${tab}b1,b2,b3" ||
    fail "first line: $(head -n1 out)"
grep -qF "${tab}Квадратичная модель Шеффе для четырёх компонентов${tab}4${tab}10${tab}" out ||
    fail "four-component model missing"

# An appended directory loads the default module again, then its own modules.
"$plot" --list --dir "$modules/dir_mixed" >out 2>err || fail "--dir exited $?"
[ "$(wc -l <out)" -eq 30 ] || fail "expected 13+13+4 models, got $(wc -l <out)"
grep -qF "${tab}Модель каталога линейная${tab}3${tab}3${tab}a1,a2,a3" out || fail "dir model missing"
grep -qF "${tab}Модель Default двойная${tab}2${tab}2${tab}a1,a2" out || fail "case variant missing"
tail -n1 out | cut -f1 | grep -qx 29 || fail "indexes not consecutive"

# Failed loads are reported and give status 1; the listing still comes.
status=0
"$plot" --list --dir "$modules/dir_bad" >out 2>err || status=$?
[ "$status" -eq 1 ] || fail "bad modules: status $status"
grep -qF 'Ошибка загрузки внешнего модуля' err || fail "no load message: $(cat err)"
grep -qF "$modules/dir_bad/broken.so: " err || fail "no loader reason: $(cat err)"
[ "$(wc -l <out)" -eq 26 ] || fail "listing after failures: $(wc -l <out)"

status=0
"$plot" --list --dir "$work/missing" >out 2>err || status=$?
[ "$status" -eq 1 ] || fail "missing dir: status $status"
grep -qF 'не найден' err || fail "no missing-directory message"

# A broken module in the start directory counts too.
cp "$modules/dir_bad/broken.so" .
status=0
"$plot" --list >out 2>err || status=$?
[ "$status" -eq 1 ] || fail "broken module in .: status $status"
grep -qF '"./broken.so"' err || fail "message does not name ./broken.so: $(cat err)"
rm broken.so

# A FIFO named like a module is reported and never opened: opening it would block.
mkdir fifo && mkfifo fifo/pipe.so
status=0
timeout 20 "$plot" --list --dir fifo >out 2>err || status=$?
[ "$status" -eq 1 ] || fail "FIFO in a module folder: status $status"
grep -qxF 'Это не обычный файл.' err || fail "FIFO not reported: $(cat err)"
[ "$(wc -l <out)" -eq 26 ] || fail "listing beside a FIFO: $(wc -l <out)"

# Models that break the contract are refused by name; the module's good models are listed.
mkdir breach && cp "$modules/contract_breach.so" breach/
status=0
"$plot" --list --dir breach >out 2>err || status=$?
[ "$status" -eq 1 ] || fail "contract breach: status $status"
grep -qF 'Модель "Без Evaluate" внешнего модуля "breach/contract_breach.so" не добавлена' err ||
    fail "no refusal: $(cat err)"
grep -qF "${tab}Последняя${tab}3${tab}1${tab}c" out || fail "good model after bad ones missing"

status=0
"$plot" --list --dir >out 2>err || status=$?
[ "$status" -eq 2 ] || fail "--dir without a value: status $status"
echo ok
