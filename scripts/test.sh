#!/usr/bin/env bash
# Builds everything and runs every test, then runs the tests again built with
# AddressSanitizer and UndefinedBehaviorSanitizer, the plain C++ tests built
# with ThreadSanitizer, and every fuzz target for a fixed number of inputs
# (TARVIX_SANITIZE=0 skips all but the first run).
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
bash "$ROOT/scripts/setup.sh"
# No include may run upwards between the source folders; every C++ file is formatted.
bash "$ROOT/scripts/check-includes.sh"
bash "$ROOT/scripts/check-format.sh"

# suite BUILD_DIR CMAKE_ARGS...: configure, build and run every test there.
suite() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
  (cd "$dir" && ASAN_OPTIONS=detect_leaks=1 QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)
}

suite "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVIX_WERROR=ON
if [ "${TARVIX_SANITIZE:-1}" != "0" ]; then
  suite "$ROOT/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DTARVIX_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"

  # Thread checks: the layers without Qt (protocol, store, passes).
  cmake -S "$ROOT" -B "$ROOT/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARVIX_BENCH=OFF -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" >/dev/null
  cmake --build "$ROOT/build-tsan" --target test_protocol test_store test_core
  (cd "$ROOT/build-tsan" && TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    ctest -R '^(protocol|store|core)$' --output-on-failure -j2)

  bash "$ROOT/scripts/fuzz.sh" all --runs "${TARVIX_FUZZ_RUNS:-20000}"
fi
