#!/usr/bin/env bash
# isotri-plot pictures: every format by the extension of -o, the picture options and their effect
# on what is drawn, refusals of bad options.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
export LC_ALL=C.UTF-8

model=(--model "Полная кубическая модель Шеффе" --coefs "3.1 1.2 2.4 4.5 -6 2.2 7.5 -3 5 20")

# Each format starts with its own signature.
magic() {
    python3 - "$1" "$2" <<'PY'
import sys
data = open(sys.argv[1], "rb").read()
kind = sys.argv[2]
if kind == "png":
    ok = data.startswith(b"\x89PNG\r\n\x1a\n")
elif kind == "svg":
    ok = b"<svg" in data[:2000]
elif kind == "pdf":
    ok = data.startswith(b"%PDF-") and data.rstrip().endswith(b"%%EOF")
elif kind == "emf":
    ok = data[:4] == b"\x01\x00\x00\x00" and data[40:44] == b" EMF"
else:
    ok = data[:4] == b"\xd7\xcd\xc6\x9a"
sys.exit(0 if ok and len(data) > 200 else 1)
PY
}
for ext in png svg pdf emf wmf; do
    "$plot" "${model[@]}" --size 640x480 -o "plot.$ext" 2>err || fail "$ext exited $?: $(cat err)"
    [ -s "plot.$ext" ] || fail "$ext is empty"
    magic "plot.$ext" "$ext" || fail "$ext does not start with its signature"
done
python3 - plot.png <<'PY' || fail "png size"
import struct, sys
w, h = struct.unpack(">II", open(sys.argv[1], "rb").read()[16:24])
assert (w, h) == (640, 480), (w, h)
PY

# The options reach the drawing: the SVG keeps its texts.
"$plot" "${model[@]}" --names "Вода,,Сахар" --label-format "%1.3f" --tick-format "%1.1e" \
    --zoom 0.8 --fill-background -o named.svg 2>err || fail "options exited $?: $(cat err)"
grep -q ">Вода<" named.svg || fail "the first name is missing"
grep -q ">Сахар<" named.svg || fail "the third name is missing"
grep -q ">B<" named.svg && fail "an empty name was drawn"
grep -q ">0.200<" named.svg || fail "scale values ignore --label-format"
grep -qE ">[0-9]\.[0-9]e\+0[0-9]<" named.svg || fail "level values ignore --tick-format"
grep -q ">A<" plot.svg || fail "the default names are missing"
grep -q ">0.2<" plot.svg || fail "the default scale format changed"

"$plot" "${model[@]}" --no-axes --no-tics -o bare.svg 2>err || fail "--no-axes exited $?"
! grep -q "<text" bare.svg || fail "texts drawn without axes and level labels"
"$plot" "${model[@]}" --no-labels -o nolabels.svg 2>err || fail "--no-labels exited $?"
grep -q ">A<" nolabels.svg || fail "--no-labels removed the names"
! grep -q ">0.2<" nolabels.svg || fail "--no-labels kept the scale values"

# The batch mode shares the options.
"$plot" --batch "$2/examples/single-model.txt" --no-labels --names "Вода,Спирт,Сахар" \
    -o batch.svg >/dev/null 2>err || fail "batch with picture options exited $?: $(cat err)"
grep -q ">Спирт<" batch.svg || fail "the batch picture ignores --names"
! grep -q ">0.2<" batch.svg || fail "the batch picture ignores --no-labels"

# Switches change the pixels; the same options give the same picture.
"$plot" "${model[@]}" --size 640x480 -o again.png 2>err || fail "second png exited $?"
cmp -s plot.png again.png || fail "the same plot drew two different pictures"
"$plot" "${model[@]}" --size 640x480 --no-grid -o nogrid.png 2>err || fail "--no-grid exited $?"
cmp -s plot.png nogrid.png && fail "--no-grid drew the grid"

# Refusals with status 2, a message, and no file.
refuse() {
    local why="$1"
    shift
    status=0
    "$plot" "${model[@]}" "$@" -o bad.png 2>err || status=$?
    [ "$status" -eq 2 ] || fail "$why: exited $status"
    [ -s err ] || fail "$why: no message"
    [ ! -e bad.png ] || fail "$why: wrote a file"
}
refuse "zoom not a number" --zoom abc
refuse "two names" --names "A,B"
refuse "four names" --names "A,B,C,D"
refuse "unknown switch" --no-frame
status=0
"$plot" "${model[@]}" -o bad.png --label-format 2>err || status=$?
[ "$status" -eq 2 ] || fail "a format without its value exited $status"
echo OK
