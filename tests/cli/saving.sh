#!/usr/bin/env bash
# isotri-plot -o: failed writes keep the old file, FIFOs, links and standard output are written
# through, modes are kept, and a place that cannot take the file is refused before the work.
set -u
plot="$1"
src="$2"
source "$src/tests/support/cli_work.sh"
count_failures
model=(--model "Квадратичная модель Шеффе" --coefs "1 2 3 4 -5 6" --size 400x300)

# Past the file-size limit (1 KiB, SIGXFSZ ignored as a full disk sends none): exit 3, the
# system's reason, the old file byte for byte and no temporary file.
for ext in emf wmf pdf svg png json; do
    printf 'old %s\n' "$ext" >"old.$ext"
    cp "old.$ext" "keep.$ext"
    (ulimit -f 1; trap '' XFSZ; exec "$plot" "${model[@]}" -o "old.$ext") 2>err
    status=$?
    [ $status -eq 3 ] || fail "$ext over the limit: exit $status"
    grep -q "^isotri-plot: Cannot create file old.$ext$" err || fail "$ext: message $(cat err)"
    grep -qi "large" err || fail "$ext: no reason: $(cat err)"
    cmp -s "old.$ext" "keep.$ext" || fail "$ext: the old file changed"
done
[ -z "$(find . -maxdepth 1 -name '.old*')" ] || fail "temporary files left: $(ls -A)"

# Standard output: JSON alone, any form with --format; the batch console then goes to stderr.
"$plot" "${model[@]}" -o - >out.json 2>err || fail "-o -: exit $?"
python3 -c 'import json,sys; json.load(open(sys.argv[1]))' out.json || fail "-o -: not JSON"
"$plot" "${model[@]}" --format PNG -o - >out.png 2>err || fail "--format png: exit $?"
[ "$(head -c 4 out.png | tail -c 3)" = "PNG" ] || fail "--format png: not a PNG"
"$plot" --batch "$src/examples/single-model.txt" --format svg -o - >out.svg 2>err ||
    fail "batch to stdout: exit $?"
[ "$(head -c 5 out.svg)" = "<?xml" ] || fail "batch to stdout: not SVG first"
grep -q '^Maximum' err || fail "batch to stdout: report not on stderr"
"$plot" "${model[@]}" --format gif -o - >/dev/null 2>err && fail "--format gif taken"
grep -q 'gif' err || fail "--format gif: message $(cat err)"

# A FIFO read by another program, a link to /dev/null: written through, never replaced.
mkfifo pipe
cat pipe >from-pipe &
reader=$!
"$plot" "${model[@]}" --format emf -o pipe 2>err || fail "fifo: exit $? $(cat err)"
wait $reader
[ -p pipe ] || fail "fifo replaced"
[ "$(head -c 1 from-pipe | od -An -tx1 | tr -d ' ')" = "01" ] || fail "fifo: not an EMF"
ln -s /dev/null null.wmf
"$plot" "${model[@]}" -o null.wmf 2>err || fail "link to /dev/null: exit $?"
[ -L null.wmf ] || fail "link to /dev/null replaced"
[ -c /dev/null ] || fail "/dev/null is gone"

# A link to a file: the target replaced, the link kept; the mode of a replaced file kept.
mkdir real
echo old >real/plot.pdf
chmod 640 real/plot.pdf
ln -s real/plot.pdf link.pdf
"$plot" "${model[@]}" -o link.pdf 2>err || fail "link: exit $?"
[ -L link.pdf ] || fail "link replaced by a file"
[ "$(head -c 4 real/plot.pdf)" = "%PDF" ] || fail "link: target not written"
[ "$(stat -c %a real/plot.pdf)" = "640" ] || fail "mode not kept: $(stat -c %a real/plot.pdf)"

# Refused before the work: the batch's loader never speaks.
for target in missing/plot.png real; do
    "$plot" --batch "$src/examples/single-model.txt" -o "$target" --format png >out 2>err
    status=$?
    [ $status -eq 3 ] || fail "$target: exit $status"
    grep -q "Cannot create file $target" err || fail "$target: message $(cat err)"
    [ -s out ] && fail "$target: the batch ran first: $(head -n 1 out)"
done
if [ "$(id -u)" != 0 ]; then
    mkdir locked
    chmod 500 locked
    "$plot" "${model[@]}" -o locked/plot.svg 2>err && fail "saved into a locked folder"
    grep -q "Cannot create file locked/plot.svg" err || fail "locked: message $(cat err)"
    chmod 700 locked
fi

[ $failures -eq 0 ] && echo ok
exit $failures
