#!/usr/bin/env bash
# The installed desktop entry and the admin daemon's unit pass their checkers:
# one main menu category, and a sandboxed unit that names the built binary path;
# the README shows exactly the pictures installed with it. An install into a
# temporary prefix runs headless and finds its window module at
# ${libdir}/tarvix beside its bin, and says so when the module is missing.
# usage: InstallFilesTest.sh SOURCE_DIR UNIT_FILE BINDIR BUILD_DIR BIN_SUBDIR WINDOW_SUBDIR
set -uo pipefail
src="$1" unit="$2" bindir="$3" build="$4" bin="$5" windowdir="$6"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

root="$work/root"
cmake --install "$build" --prefix "$root" >/dev/null || fail "cmake --install failed"
module="$root/$windowdir/tarvix-window.so"
[ -f "$module" ] || fail "no window module installed at $windowdir"
version=$("$root/$bin/tarvix" --version) || fail "the installed tarvix --version failed"
[[ "$version" == "tarvix "* ]] || fail "the installed tarvix --version said: $version"
# A platform that does not exist ends the window in Qt, after the module loaded.
err=$(QT_QPA_PLATFORM=none-such timeout 20 "$root/$bin/tarvix" --data "$work/data" 2>&1)
[[ "$err" == *"platform plugin"* ]] || fail "the installed window did not reach Qt: $err"
mv "$module" "$work/moved.so"
err=$(timeout 20 "$root/$bin/tarvix" --data "$work/data" 2>&1) && fail "no window module, yet exit 0"
[[ "$err" == *"tarvix-window.so"*"cannot open shared object file"* ]] ||
  fail "a missing window module is not said clearly: $err"
out=$(desktop-file-validate "$src/assets/tarvix.desktop" 2>&1) || fail "desktop entry: $out"
[ -z "$out" ] || fail "desktop entry: $out"
grep -qx "ExecStart=$bindir/tarvix .*" "$unit" || fail "ExecStart does not name $bindir/tarvix"
! grep -q '@CMAKE_' "$unit" || fail "unconfigured placeholder left in $unit"
# The README's pictures are the docs/*.png an install copies beside it: none
# missing, none left unshown.
for pic in $(grep -o 'docs/[A-Za-z0-9_.-]*\.png' "$src/README.md" | sort -u); do
  [ -f "$src/$pic" ] || fail "README shows $pic, which docs/ lacks"
done
for pic in "$src"/docs/*.png; do
  grep -q "docs/$(basename "$pic")" "$src/README.md" || fail "docs/$(basename "$pic") is not in the README"
done
# systemd-analyze judges the unit by its name; give it a service file name.
copy="$work/tarvix-watch@test.service"
cp "$unit" "$copy"
systemd-analyze security --offline=true --threshold=40 "$copy" >/dev/null 2>&1 ||
  fail "$(systemd-analyze security --offline=true "$copy" 2>&1 | tail -1) (goal: 4.0 or lower)"
echo "install files ok"
