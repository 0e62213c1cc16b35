#!/usr/bin/env bash
# screenshot.sh fails loudly, never "saved", when there is no program to show.
set -uo pipefail
script="$(dirname "$0")/../../scripts/screenshot.sh"
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
out=$(TARVIX_BIN="$data/missing" bash "$script" "$data" "$data/shot.png" 0 2>&1)
rc=$?
echo "$out"
[ $rc -ne 0 ] || { echo "exit code 0 without a program"; exit 1; }
grep -q "no program at $data/missing" <<<"$out" || { echo "no reason given"; exit 1; }
! grep -q saved <<<"$out" || { echo "claims a picture"; exit 1; }
[ ! -e "$data/shot.png" ] || { echo "wrote a picture"; exit 1; }
