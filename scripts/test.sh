#!/usr/bin/env bash
# Builds everything and runs every test, then runs the tests again built with
# AddressSanitizer and UndefinedBehaviorSanitizer (TARVIX_SANITIZE=0 skips that).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"

# suite BUILD_DIR CMAKE_ARGS...: configure, build and run every test there.
suite() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
  (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
}

suite "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ "${TARVIX_SANITIZE:-1}" != "0" ]; then
  suite "$ROOT/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DTARVIX_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
fi
