#!/usr/bin/env bash
# isotri-plot -o FILE.emf / FILE.wmf: the metafiles' headers, names in any case, failed saves.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
model=(--model "Квадратичная модель Шеффе" --coefs "1 2 3 4 -5 6" --size 400x300)

"$plot" "${model[@]}" -o "рисунок 1.emf" 2>err || fail "emf exited $?"
"$plot" "${model[@]}" -o "рисунок 1.WMF" 2>err || fail "wmf exited $?"
python3 - "рисунок 1.emf" "рисунок 1.WMF" <<'PY' || fail "headers do not match"
import struct, sys
emf = open(sys.argv[1], "rb").read()
kind, size = struct.unpack_from("<II", emf)
assert kind == 1 and size == 108, (kind, size)
assert emf[40:44] == b" EMF"
assert struct.unpack_from("<I", emf, 48)[0] == len(emf)
frame = struct.unpack_from("<4i", emf, 24)
assert frame[0] == 0 and frame[2] > 0 and frame[3] > 0, frame
assert struct.unpack_from("<II", emf, len(emf) - 20)[0] == 14  # EMR_EOF last

wmf = open(sys.argv[2], "rb").read()
assert struct.unpack_from("<I", wmf)[0] == 0x9AC6CDD7
left, top, right, bottom, inch = struct.unpack_from("<4hH", wmf, 6)
assert (left, top, inch) == (0, 0, 2540), (left, top, inch)
assert abs(right / bottom - 4 / 3) < 0.01, (right, bottom)
assert struct.unpack_from("<I", wmf, 22 + 6)[0] * 2 == len(wmf) - 22
PY

# A place where no file can be made: exit 3, the message names the file, the old file stays.
cp "рисунок 1.emf" keep.emf
"$plot" "${model[@]}" -o "missing/plot.emf" 2>err && fail "saved into a missing folder"
grep -q "Cannot create file missing/plot.emf" err || fail "message: $(cat err)"
mkdir taken.emf
"$plot" "${model[@]}" -o taken.emf 2>err && fail "saved over a folder"
[ -d taken.emf ] || fail "the folder went away"
cmp -s keep.emf "рисунок 1.emf" || fail "the earlier file changed"
[ ! -e missing ] || fail "a folder appeared"
echo ok
