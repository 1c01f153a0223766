#!/usr/bin/env bash
# The README's module example builds against the public header and its model is listed.
set -euo pipefail
plot="$1"
src="$2"
source "$src/tests/support/cli_work.sh"
source "$src/tests/support/readme_example.sh"

build_readme_example "$work/models" -I "$src/include"
"$plot" --list --dir "$work/models" >out 2>err || fail "--list exited $?: $(cat err)"
expect_example_listed out
echo ok
