#!/usr/bin/env bash
# Starts the program under Xvfb in a data folder and saves a PNG of the screen.
# usage: screenshot.sh DATA_FOLDER OUT.png [SECONDS] [program arguments...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
export SHOT_DATA="$(cd "$1" && pwd)" SHOT_OUT="$(realpath -m "$2")" SHOT_WAIT="${3:-3}"
export SHOT_BIN="${TARVIX_BIN:-$ROOT/build/tarvix}"
if [ ! -x "$SHOT_BIN" ]; then
  echo "screenshot.sh: no program at $SHOT_BIN; build it first (cmake --build build)" >&2
  exit 1
fi
rm -f "$SHOT_OUT"
shift $(( $# >= 3 ? 3 : $# ))
xvfb-run -a -s "-screen 0 800x700x24" bash -c '
  set -e
  cd "$SHOT_DATA"
  "$SHOT_BIN" "$@" &
  pid=$!
  sleep "$SHOT_WAIT"
  import -window root "$SHOT_OUT"
  /usr/bin/convert "$SHOT_OUT" -trim +repage "$SHOT_OUT"
  kill $pid
  wait $pid 2>/dev/null || true' shot "$@"
if [ ! -s "$SHOT_OUT" ]; then
  echo "screenshot.sh: no picture was taken" >&2
  exit 1
fi
echo "saved $SHOT_OUT"
