#!/usr/bin/env bash
# isotri-plot --batch: standard input and FIFOs read as streams, endless or binary input ends at
# once, a missing --dir is named, and the JSON counts the batch's evaluations.
set -u
plot="$1"
src="$2"
source "$src/tests/support/cli_work.sh"
count_failures
line='model "Линейная модель Шеффе" 1 2 3 combine1 0 5 1'

echo "$line" | timeout 30 "$plot" --batch - -o a.json >out 2>err || fail "stdin: exit $?"
grep -q '^Maximum' out || fail "stdin: no report"
python3 - a.json <<'PY' || fail "evaluation count"
import json, sys
assert json.load(open(sys.argv[1]))["evaluations"] > 0
PY

mkfifo batch.fifo
(echo "$line" >batch.fifo &)
timeout 30 "$plot" --batch batch.fifo -o b.png >out 2>err || fail "fifo: exit $?"
[ -s b.png ] || fail "fifo: no picture"

for endless in /dev/zero /dev/urandom; do
    timeout 10 "$plot" --batch "$endless" -o c.png >out 2>err
    status=$?
    [ $status -eq 1 ] || fail "$endless: exit $status"
    grep -q 'двоичные данные' out || fail "$endless: message $(head -c 200 out)"
done

printf '\xff\xfem\0o\0d\0e\0l\0' >utf16.txt
timeout 10 "$plot" --batch utf16.txt -o d.png >out 2>err && fail "UTF-16 taken"
grep -q 'UTF-16' out || fail "UTF-16: message $(cat out)"

echo "$line" >one.txt
"$plot" --batch one.txt --dir no-such-dir -o e.png >out 2>err || fail "--dir: exit $?"
grep -q 'Каталог "no-such-dir" не найден.' err || fail "--dir: no warning: $(cat err)"

[ $failures -eq 0 ] && echo ok
exit $failures
