#!/usr/bin/env bash
# Builds the program and starts it in a data folder (default: ./run, created
# from data/ when missing). Extra arguments go to the program.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build" --target tarvix
DATA="${TARVIX_DATA:-$ROOT/run}"
if [ ! -d "$DATA" ]; then
  mkdir -p "$DATA"
  cp -r "$ROOT/data/." "$DATA/"
fi
cd "$DATA"
exec "$ROOT/build/tarvix" "$@"
