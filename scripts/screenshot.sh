#!/usr/bin/env bash
# Starts the program under Xvfb in a data folder and saves a PNG of the screen.
# usage: screenshot.sh DATA_FOLDER OUT.png [SECONDS] [program arguments...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export SHOT_DATA="$(cd "$1" && pwd)" SHOT_OUT="$(realpath -m "$2")" SHOT_WAIT="${3:-3}"
export SHOT_BIN="${TARVIX_BIN:-$ROOT/build/tarvix}"
shift $(( $# >= 3 ? 3 : $# ))
xvfb-run -a -s "-screen 0 800x700x24" bash -c '
  cd "$SHOT_DATA"
  "$SHOT_BIN" "$@" &
  pid=$!
  sleep "$SHOT_WAIT"
  import -window root "$SHOT_OUT"
  /usr/bin/convert "$SHOT_OUT" -trim +repage "$SHOT_OUT"
  kill $pid
  wait $pid 2>/dev/null || true' shot "$@"
echo "saved $SHOT_OUT"
