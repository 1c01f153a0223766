#!/usr/bin/env bash
# The install tree: every file where a Debian user expects it, programs that run from any
# folder without the build tree, and a module built against the installed header found through
# pkg-config.
set -euo pipefail
plot="$1"
src="$2"
build="$(cd "$(dirname "$plot")/.." && pwd)"
source "$src/tests/support/cli_work.sh"
source "$src/tests/support/readme_example.sh"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >install.log 2>&1 ||
    fail "install failed: $(tail -n5 install.log)"

expected=(bin/isotri-plot lib/isotri/default.so include/isotri/model_module.h
    share/pkgconfig/isotri-module.pc share/doc/isotri/multiobjective.pdf
    share/man/man1/isotri-plot.1)
gui=0
if [ -x "$build/bin/isotri" ]; then
    gui=1
    expected+=(bin/isotri share/applications/isotri.desktop
        share/icons/hicolor/scalable/apps/isotri.svg share/man/man1/isotri.1)
fi
for file in "${expected[@]}"; do
    [ -f "$prefix/$file" ] || fail "not installed: $file"
done
[ ! -e "$prefix/bin/default.so" ] || fail "the module is installed beside the programs"
[ ! -e "$prefix/bin/multiobjective.pdf" ] || fail "the help document is installed in bin"

# Nothing may lead back to the build tree.
for file in bin/isotri-plot lib/isotri/default.so; do
    ! grep -qF "$build" <(readelf -d "$prefix/$file") || fail "$file refers to the build tree"
done

# From an unrelated folder, the default module comes from lib/isotri.
mkdir elsewhere
cd elsewhere
"$prefix/bin/isotri-plot" --list >out 2>err || fail "--list exited $?: $(cat err)"
[ ! -s err ] || fail "unexpected messages: $(cat err)"
[ "$(wc -l <out)" -eq 13 ] || fail "expected 13 default models, got $(wc -l <out)"
"$prefix/bin/isotri-plot" --model "Линейная модель Шеффе" --coefs "1 2 3" -o lines.png 2>err ||
    fail "plot exited $?: $(cat err)"

# A module built with the installed header only.
cflags="$(PKG_CONFIG_PATH="$prefix/share/pkgconfig" pkg-config --cflags isotri-module)" ||
    fail "pkg-config does not know isotri-module"
[ -f "$(echo "$cflags" | sed -n 's/^-I\([^ ]*\).*/\1/p')/isotri/model_module.h" ] ||
    fail "pkg-config points elsewhere: $cflags"
build_readme_example "$work/models" $cflags
"$prefix/bin/isotri-plot" --list --dir "$work/models" >out 2>err ||
    fail "--list --dir exited $?: $(cat err)"
expect_example_listed out

if [ "$gui" = 1 ]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/isotri" --version >out ||
        fail "installed isotri --version exited $?"
    grep -q '^isotri (isotri) ' out || fail "isotri --version: $(cat out)"
    grep -q '^Exec=isotri %f$' "$prefix/share/applications/isotri.desktop" ||
        fail "desktop entry does not start isotri"
fi
echo ok
