#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz and runs them, one at a time, starting from fuzz/corpus/<target>:
#   scripts/fuzz.sh TARGET|all SECONDS    run each for SECONDS; new inputs are kept
#                                         in build-fuzz/corpus/<target>
#   scripts/fuzz.sh TARGET|all --runs N   run each for N inputs (the test command)
# Prints one line per target: inputs run, inputs per second, seconds. A failing
# input is saved as build-fuzz/artifacts/<target>-crash-* and the command fails.
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
[ $# -ge 2 ] || { sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
which="$1"; shift
if [ "$1" = "--runs" ]; then
  [ $# -eq 2 ] || { echo "usage: $0 TARGET|all --runs N" >&2; exit 2; }
  limit=(-runs="$2"); keep=0
else
  limit=(-max_total_time="$1"); keep=1
fi

cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTARVIX_FUZZ=ON -DTARVIX_TESTS=OFF -DTARVIX_BENCH=OFF >/dev/null
cmake --build "$BUILD" --target fuzzers

if [ "$which" = all ]; then
  targets=$(ls "$ROOT/fuzz/corpus")
else
  [ -d "$ROOT/fuzz/corpus/$which" ] || { echo "no fuzz target '$which'" >&2; exit 2; }
  targets="$which"
fi

mkdir -p "$BUILD/artifacts" "$BUILD/logs"
failed=0
printf '%-16s %12s %10s %8s  %s\n' target execs exec/s seconds result
for t in $targets; do
  if [ "$keep" = 1 ]; then
    found="$BUILD/corpus/$t"; mkdir -p "$found"
  else
    found=$(mktemp -d)
  fi
  log="$BUILD/logs/$t.log"
  start=$(date +%s)
  if "$BUILD/fuzz/fuzz_$t" "${limit[@]}" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$BUILD/artifacts/$t-" "$found" "$ROOT/fuzz/corpus/$t" >"$log" 2>&1; then
    result=ok
  else
    result="FAILED (see $log)"; failed=1
  fi
  seconds=$(( $(date +%s) - start ))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  printf '%-16s %12s %10s %8s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "$seconds" "$result"
  [ "$result" = ok ] || grep -m3 -E 'ERROR|property failed|runtime error' "$log" || true
  [ "$keep" = 1 ] || rm -rf "$found"
done
exit $failed
