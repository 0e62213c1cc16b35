#!/usr/bin/env bash
# What a start of the program costs: processor time (user + system), page
# faults and the number of shared libraries loaded, for `tarvix --version`,
# `--help`, `--query` of one server on loopback, and the window (offscreen,
# until it has been idle for 500 ms); and quakestat asking the same server,
# when it is installed.
#
#   bash bench/startup.sh [BUILD_DIR]
#
# RUNS runs each (20 unless given; a fifth of them for the window, at least 3):
# the least and the median.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
cmake --build "$BUILD" --target tarvix startup_probe scan_farm >/dev/null
TARVIX=$BUILD/tarvix
PROBE=$BUILD/bench/startup_probe
RUNS=${RUNS:-20}
WINDOW_RUNS=$(( RUNS / 5 > 3 ? RUNS / 5 : 3 ))

WORK=$(mktemp -d)
FARM_PID=""
cleanup() {
  [ -n "$FARM_PID" ] && kill "$FARM_PID" 2>/dev/null && wait "$FARM_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT
cp -r "$ROOT/data" "$WORK/data"
# One answering server with 8 players on loopback.
coproc FARMPROC { exec "$BUILD/bench/scan_farm" "$WORK/data" 1 0 8; }
FARM_PID=$FARMPROC_PID
read -r ready <&"${FARMPROC[0]}"
[ "$ready" = ready ] || { echo "the farm did not start" >&2; exit 1; }
SERVER=$(head -1 "$WORK/data/farm.addresses" | tr -d '\r')
export XDG_DATA_HOME=$WORK/xdg QT_QPA_PLATFORM=offscreen
cd "$WORK/data"
"$TARVIX" --query "$SERVER" >/dev/null || { echo "tarvix --query $SERVER failed" >&2; exit 1; }

# libraries SECONDS CMD...: the shared objects CMD loads (ended after SECONDS).
libraries() {
  local limit=$1; shift
  timeout "$limit" env LD_DEBUG=files LD_DEBUG_OUTPUT="$WORK/ld" "$@" >/dev/null 2>&1 || true
  cat "$WORK"/ld.* | grep -c 'generating link map'
  rm -f "$WORK"/ld.*
}

row() {  # row NAME [--idle MS] -- CMD...
  local name=$1; shift
  local limit=10
  [ "$1" = --idle ] && limit=8
  local runs=$RUNS
  [ "$1" = --idle ] && runs=$WINDOW_RUNS
  local figures
  figures=$("$PROBE" "$runs" "$@")
  while [ "$1" != -- ]; do shift; done
  shift
  printf '%-36s %s; %s libraries\n' "$name" "$figures" "$(libraries "$limit" "$@")"
}

row "tarvix --version" -- "$TARVIX" --version
row "tarvix --help" -- "$TARVIX" --help
row "tarvix --query (1 server, loopback)" -- "$TARVIX" --query "$SERVER"
row "tarvix --query --json" -- "$TARVIX" --query "$SERVER" --json
row "tarvix (window, offscreen, to idle)" --idle 500 -- "$TARVIX" --data "$WORK/data"
if command -v quakestat >/dev/null; then
  row "quakestat -mhs (same server)" -- quakestat -mhs "$SERVER"
else
  echo "quakestat is not installed (apt-get install qstat): no comparison"
fi
