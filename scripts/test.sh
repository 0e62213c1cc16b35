#!/usr/bin/env bash
# Builds everything and runs every test, then runs the tests again built with
# AddressSanitizer and UndefinedBehaviorSanitizer (TARVIX_SANITIZE=0 skips that).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build"
(cd "$ROOT/build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

if [ "${TARVIX_SANITIZE:-1}" != "0" ]; then
  cmake -S "$ROOT" -B "$ROOT/build-sanitize" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTARVIX_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" >/dev/null
  cmake --build "$ROOT/build-sanitize"
  (cd "$ROOT/build-sanitize" && ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen \
    ctest --output-on-failure -j2)
fi
