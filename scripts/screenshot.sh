#!/usr/bin/env bash
# Starts the program under Xvfb in a data folder and saves a PNG of the screen.
# usage: screenshot.sh DATA_FOLDER OUT.png [SECONDS] [program arguments...]
# SHOT_INPUT, when set, is a command run on the program's display after
# SECONDS (xdotool key F5, say); the shot follows SHOT_INPUT_WAIT (2) seconds
# later. SHOT_WINDOW names the window to take (xdotool search --name) instead
# of the whole screen.
# Fails (non-zero, with the reason on standard error) when the program is not
# built, ends before the shot, or the shot cannot be taken or is empty.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
fail() { echo "screenshot.sh: $*" >&2; exit 1; }
[ $# -ge 2 ] || fail "usage: screenshot.sh DATA_FOLDER OUT.png [SECONDS] [program arguments...]"
[ -d "$1" ] || fail "no data folder $1"
export SHOT_DATA="$(cd "$1" && pwd)" SHOT_OUT="$(realpath -m "$2")" SHOT_WAIT="${3:-3}"
export SHOT_INPUT="${SHOT_INPUT:-}" SHOT_INPUT_WAIT="${SHOT_INPUT_WAIT:-2}" SHOT_WINDOW="${SHOT_WINDOW:-}"
export SHOT_BIN="${TARVIX_BIN:-$ROOT/build/tarvix}"
[ -x "$SHOT_BIN" ] || fail "no program at $SHOT_BIN: build it first (bash scripts/run.sh, or cmake and ninja)"
shift $(( $# >= 3 ? 3 : $# ))
rm -f "$SHOT_OUT"
xvfb-run -a -s "-screen 0 800x700x24" bash -c '
  set -euo pipefail
  cd "$SHOT_DATA"
  "$SHOT_BIN" "$@" &
  pid=$!
  sleep "$SHOT_WAIT"
  if ! kill -0 $pid 2>/dev/null; then
    wait $pid && rc=0 || rc=$?
    echo "screenshot.sh: the program ended (exit $rc) before the shot" >&2
    exit 1
  fi
  if [ -n "$SHOT_INPUT" ]; then
    bash -c "$SHOT_INPUT" || echo "screenshot.sh: SHOT_INPUT failed" >&2
    sleep "$SHOT_INPUT_WAIT"
  fi
  window=root
  if [ -n "$SHOT_WINDOW" ]; then
    window="$(xdotool search --onlyvisible --name "$SHOT_WINDOW" | head -1)"
    [ -n "$window" ] || { echo "screenshot.sh: no window named $SHOT_WINDOW" >&2; kill $pid; exit 1; }
  fi
  status=0
  if [ "$window" = root ]; then
    import -window root "$SHOT_OUT" && /usr/bin/convert "$SHOT_OUT" -trim +repage "$SHOT_OUT" || status=$?
  else
    import -window "$window" "$SHOT_OUT" || status=$?
  fi
  kill $pid
  wait $pid 2>/dev/null || true
  exit $status' shot "$@" || fail "no picture taken"
[ -s "$SHOT_OUT" ] || fail "no picture written to $SHOT_OUT"
size="$(identify -format '%wx%h' "$SHOT_OUT")" || fail "$SHOT_OUT is not a picture"
[ "$size" != "1x1" ] || fail "the picture is empty: nothing was drawn"
echo "saved $SHOT_OUT ($size)"
