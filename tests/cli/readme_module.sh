#!/usr/bin/env bash
# The README's module example builds against the public header and its model is listed.
set -euo pipefail
plot="$1"
src="$2"
source "$src/tests/support/cli_work.sh"

sed -n '/<!-- module-example:begin -->/,/<!-- module-example:end -->/p' "$src/README.md" |
    grep -v -e '^<!--' -e '^```' >"$work/example.c"
[ -s "$work/example.c" ] || fail "no example between the markers"

mkdir "$work/models"
cc -std=c99 -Wall -Wextra -Werror -shared -fPIC -fvisibility=hidden -I "$src/include" \
    -o "$work/models/example.so" "$work/example.c" || fail "the example does not build"

"$plot" --list --dir "$work/models" >out 2>err || fail "--list exited $?: $(cat err)"
grep -qP '^\d+\tПример: линейная модель с парой x1\*x2\t3\t4\tb1,b2,b3,b12$' out ||
    fail "example model not listed: $(tail -n3 out)"
echo ok
