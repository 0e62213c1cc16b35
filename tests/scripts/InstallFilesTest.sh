#!/usr/bin/env bash
# The installed desktop entry and the admin daemon's unit pass their checkers:
# one main menu category, and a sandboxed unit that names the built binary path;
# the README shows exactly the pictures installed with it.
# usage: InstallFilesTest.sh SOURCE_DIR UNIT_FILE BINDIR
set -uo pipefail
src="$1" unit="$2" bindir="$3"
fail() { echo "$*"; exit 1; }
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
copy="$(mktemp -d)/tarvix-watch@test.service"
trap 'rm -rf "$(dirname "$copy")"' EXIT
cp "$unit" "$copy"
systemd-analyze security --offline=true --threshold=40 "$copy" >/dev/null 2>&1 ||
  fail "$(systemd-analyze security --offline=true "$copy" 2>&1 | tail -1) (goal: 4.0 or lower)"
echo "install files ok"
