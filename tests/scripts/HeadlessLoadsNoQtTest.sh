#!/usr/bin/env bash
# The headless modes load no window library: --version, --help, a usage
# error and a --query open no Qt, X11, GL or ICU library; the window (which
# ends at once here on a platform that does not exist) does open Qt.
# usage: HeadlessLoadsNoQtTest.sh TARVIX
set -uo pipefail
bin=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work"
window='file=[^ ]*(libQt6|libX11|libxcb|libGL|libEGL|libicu)'
fail() { echo "$*"; exit 1; }

# loads ARGS...: the window libraries the program opens with ARGS.
loads() { (cd "$work" && timeout 20 env LD_DEBUG=files "$bin" "$@" 2>&1 >/dev/null) | grep -Eo "$window[^ ]*" | sort -u; }

for args in "--version" "--help" "--bogus" "--query 127.0.0.1:1 --timeout 1"; do
  # shellcheck disable=SC2086
  found=$(loads $args)
  [ -z "$found" ] || fail "tarvix $args loads window libraries: $(echo $found)"
done
found=$(QT_QPA_PLATFORM=none-such loads --data "$work" 2>/dev/null)
echo "$found" | grep -q libQt6Widgets || fail "the window did not load Qt Widgets: $found"
echo "headless runs load no window library"
