#!/usr/bin/env bash
# isotri-plot fit mode: the report, the fit and points in JSON, the marks' pixels, refusals.
set -euo pipefail
plot="$1"
source "$2/tests/support/cli_work.sh"
data="$2/examples/yarn-blends.csv"
cubic="Специальная кубическая модель Шеффе"

# The report on standard output; JSON with the fit and every point beside the isolines.
"$plot" --fit "$data" --model "$cubic" -o fit.json >out 2>err || fail "fit exited $?: $(cat err)"
grep -qxF "Опытов n = 16, коэффициентов p = 7" out || fail "report: $(cat out)"
grep -qF "Строк с опытами 16, использовано 16" out || fail "row count: $(cat out)"
grep -q "^R² = 0.97" out || fail "R²: $(cat out)"
python3 - fit.json <<'PY' || fail "fit.json does not match"
import json, sys
d = json.load(open(sys.argv[1]))
assert {"vertices", "levels", "fit", "points"} <= set(d), sorted(d)
f = d["fit"]
assert f["n"] == 16 and f["p"] == 7, f
assert [c["label"] for c in f["coefficients"]] == ["b1", "b2", "b3", "b12", "b13", "b23", "b123"]
for c in f["coefficients"]:
    assert abs(c["t"] - c["value"] / c["stderr"]) < 1e-9 * abs(c["t"]), c
assert 0.9 < f["r2"] < 1 and f["r2pred"] < f["r2adj"] < f["r2"], f
assert len(d["points"]) == 16
v = d["vertices"]
for p in d["points"]:
    m = p["mixture"]
    assert abs(sum(m) - 1) < 1e-12, m
    x = sum(m[k] * v[k][0] for k in range(3))
    y = sum(m[k] * v[k][1] for k in range(3))
    assert abs(p["x"] - x) < 1e-3 and abs(p["y"] - y) < 1e-3, (p, x, y)
    assert abs(p["value"] - p["fitted"] - p["residual"]) < 1e-9, p
first = d["points"][0]
assert first["mixture"] == [1, 0, 0] and first["value"] == 23.3 and first["line"] == 2, first
PY

# A sub-triangle: the points outside it have no place on the picture.
"$plot" --fit "$data" --model "$cubic" --bounds "0.5 0.5 0 0 1 0 0 0.5 0.5" -o sub.json \
    >/dev/null 2>err || fail "sub-triangle exited $?"
python3 - sub.json <<'PY' || fail "sub.json does not match"
import json, sys
d = json.load(open(sys.argv[1]))
inside = [p["line"] for p in d["points"] if p["x"] is not None]
assert inside == [4, 5, 8, 10, 11, 16], inside  # x1 <= x2 and x3 <= x2
PY

# The marks on the picture: open circles where the points are drawn. The centroid of the set's
# triangle, (400, 444), is drawn at the default zoom 0.95 about the picture centre: (400, 440).
"$plot" --fit "$data" --model "$cubic" --lines 1 -o fit.png >/dev/null 2>err ||
    fail "png exited $?"
python3 - fit.png <<'PY' || fail "marks are not where the points are"
import struct, sys, zlib
raw = open(sys.argv[1], "rb").read()
assert raw[:8] == b"\x89PNG\r\n\x1a\n"
pos, chunks, head = 8, b"", None
while pos < len(raw):
    n, kind = struct.unpack(">I4s", raw[pos:pos + 8])
    body = raw[pos + 8:pos + 8 + n]
    if kind == b"IHDR":
        head = struct.unpack(">IIBBBBB", body)
    elif kind == b"IDAT":
        chunks += body
    pos += 12 + n
w, h, depth, colour = head[:4]
assert depth == 8 and colour in (0, 2, 6), head
bpp = {0: 1, 2: 3, 6: 4}[colour]
data, stride, rows, prev = zlib.decompress(chunks), w * bpp, [], bytearray(w * bpp)
for r in range(h):
    f = data[r * (stride + 1)]
    line = bytearray(data[r * (stride + 1) + 1:(r + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - bpp] if i >= bpp else 0
        b, c = prev[i], prev[i - bpp] if i >= bpp else 0
        p = a + b - c
        pred = [0, a, b, (a + b) // 2,
                a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c)
                else b if abs(p - b) <= abs(p - c) else c][f]
        line[i] = (line[i] + pred) & 0xFF
    rows.append(line)
    prev = line
def grey(x, y):
    px = rows[y][x * bpp:x * bpp + min(bpp, 3)]
    return sum(px) / len(px)
for x, y in [(400, 440), (400, 60)]:  # the centroid and the first component's corner
    assert grey(x, y) > 240 or (x, y) == (400, 60), (x, y, grey(x, y))
    for dx, dy in [(4, 0), (-4, 0), (0, 4)]:
        assert grey(x + dx, y + dy) < 128, (x + dx, y + dy, grey(x + dx, y + dy))
assert grey(400 + 7, 440) > 240 and grey(400, 440 - 7) > 240
PY

# The same in a comma locale, another response chosen by name.
LC_ALL=ru_RU.UTF-8 "$plot" --fit "$data" --response "Удлинение, %" \
    --model "Квадратичная модель Шеффе" -o other.svg >out 2>err || fail "comma locale exited $?"
grep -q "^R² = 0,9" out || fail "comma report: $(cat out)"
grep -qF "отклик: Удлинение, %" out || fail "response: $(cat out)"

# Refusals with status 2, a message, and nothing written.
refuse() {
    local what="$1" message="$2"
    shift 2
    local status=0
    "$plot" "$@" -o refused.png >out 2>err || status=$?
    [ "$status" -eq 2 ] || fail "$what exited $status"
    grep -qF -- "$message" err || fail "$what message: $(cat err)"
    [ ! -e refused.png ] || fail "$what wrote a file"
}
printf 'A;B;C;Y\n' >header.csv
printf 'A;B;C;Y\n1;0;0;5\n1;0;0;6\n1;0;0;7\n1;0;0;8\n1;0;0;9\n1;0;0;4\n1;0;0;3\n' >one.csv
refuse "missing file" "не найден" --fit nothing.csv --model "$cubic"
refuse "header only" "только заголовок" --fit header.csv --model "$cubic"
refuse "unknown response" "нет столбца «Цена»" --fit "$data" --response "Цена" --model "$cubic"
refuse "one mixture" "в одной смеси" --fit one.csv --model "$cubic"
refuse "inseparable" "не разделяют коэффициенты" --fit "$data" \
    --model "Полная модель Шеффе четвёртой степени"
refuse "coefficients given" "--coefs не нужен" --fit "$data" --model "$cubic" --coefs "1 2 3"
refuse "no model" "не указана модель" --fit "$data"
exit 0
