# Sourced by the command-line checks after cli_work.sh: the README's module example, built into
# a folder of modules with the given compiler flags, and the check that its model is listed.

# build_readme_example FOLDER CFLAGS...
build_readme_example() {
    local folder="$1"
    shift
    sed -n '/<!-- module-example:begin -->/,/<!-- module-example:end -->/p' "$src/README.md" |
        grep -v -e '^<!--' -e '^```' >"$work/example.c"
    [ -s "$work/example.c" ] || fail "no example between the markers"
    mkdir -p "$folder"
    cc -std=c99 -Wall -Wextra -Werror -shared -fPIC -fvisibility=hidden "$@" \
        -o "$folder/example.so" "$work/example.c" || fail "the example does not build"
}

# expect_example_listed LISTING
expect_example_listed() {
    grep -qP '^\d+\tПример: линейная модель с парой x1\*x2\t3\t4\tb1,b2,b3,b12$' "$1" ||
        fail "example model not listed: $(tail -n3 "$1")"
}
