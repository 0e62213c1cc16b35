#!/usr/bin/env bash
# Times scan passes over one loopback farm per scenario, in the same run: the
# sequential pass, the parallel pass and, when available, quakestat (package
# qstat, installed when missing) over the same addresses; prints the figures
# and their ratios. Wall time is the whole run; "own" is the user + system
# time of the scanning process alone (the farm is a process of its own).
#
#   bash bench/scan_farm.sh [BUILD_DIR]
#
# Each figure is the best of REPEAT runs (default 3). SLOW=1 also times the sequential pass over the 900 silent servers (450 s)
# and quakestat's default number of queries in flight there (about 45 s).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
cmake --build "$BUILD" --target tarvix scan_farm scan_window_stall >/dev/null
TARVIX=$BUILD/tarvix
FARM=$BUILD/bench/scan_farm
STALL=$BUILD/bench/scan_window_stall

if ! command -v quakestat >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends qstat >/dev/null 2>&1 ||
    echo "quakestat could not be installed; its columns stay empty" >&2
fi
QSTAT=$(command -v quakestat || true)

WORK=$(mktemp -d)
FARM_PID=""
cleanup() {
  [ -n "$FARM_PID" ] && kill "$FARM_PID" 2>/dev/null && wait "$FARM_PID" 2>/dev/null
  rm -rf "$WORK"
}
trap cleanup EXIT

# farm ANSWERING SILENT PLAYERS: a fresh data folder with the farm's list.
farm() {
  [ -n "$FARM_PID" ] && kill "$FARM_PID" && wait "$FARM_PID" 2>/dev/null || true
  DATA=$WORK/data-$1-$2
  rm -rf "$DATA"; cp -r "$ROOT/data" "$DATA"
  sed -i 's/^clantags off/clantags on/; s/^Serverlists\\Standard/Serverlists\\Farm/' "$DATA/Config"
  coproc FARMPROC { exec "$FARM" "$DATA" "$1" "$2" "$3"; }
  FARM_PID=$FARMPROC_PID
  read -r ready <&"${FARMPROC[0]}"
  [ "$ready" = ready ] || { echo "the farm did not start" >&2; exit 1; }
}

# timed OUT CMD...: runs CMD in the data folder REPEAT times; sets WALL and
# OWN (seconds) from the run with the shortest wall time.
REPEAT=${REPEAT:-3}
timed() {
  local out=$1; shift
  local t wall user sys own
  WALL=""
  for ((r = 0; r < REPEAT; ++r)); do
    t=$( { TIMEFORMAT='%R %U %S'; time (cd "$DATA" && "$@" >"$out" 2>/dev/null || true); } 2>&1 )
    read -r wall user sys <<<"$t"
    own=$(awk -v u="$user" -v s="$sys" 'BEGIN{printf "%.3f", u+s}')
    if [ -z "$WALL" ] || awk -v a="$wall" -v b="$WALL" 'BEGIN{exit !(a < b)}'; then
      WALL=$wall OWN=$own
    fi
  done
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b > 0) printf "%.2f", a/b; else printf "-" }'; }
answered() { grep -c -v -e '^no response' -e '^sends shit' -e '^buddy' -e ' servers in ' "$1" || true; }
qanswered() { grep '^MHS,' "$1" | grep -c -v -e ',DOWN' -e ',TIMEOUT' -e ',NOREPLY' -e ',ERROR' || true; }

printf '%-34s %-22s %9s %9s %9s\n' scenario run wall_s own_s answered

# scenario NAME ANSWERING SILENT TIMEOUT_MS PLAYERS SEQUENTIAL(0/1) QSTAT_DEFAULT(0/1)
scenario() {
  local name=$1 a=$2 s=$3 t=$4 p=$5 seq=$6 qdef=$7
  farm "$a" "$s" "$p"
  local sec; sec=$(awk -v t="$t" 'BEGIN{printf "%g", t/1000}')
  local seqWall="" seqOwn=""
  if [ "$seq" = 1 ]; then
    timed "$WORK/seq" "$TARVIX" --scan Farm --timeout "$t"
    seqWall=$WALL seqOwn=$OWN
    printf '%-34s %-22s %9s %9s %9s\n' "$name" sequential "$WALL" "$OWN" "$(answered "$WORK/seq")"
  fi
  timed "$WORK/par" "$TARVIX" --scan Farm --timeout "$t" --parallel
  local parWall=$WALL parOwn=$OWN
  printf '%-34s %-22s %9s %9s %9s\n' "$name" "parallel (1000)" "$WALL" "$OWN" "$(answered "$WORK/par")"
  if [ "$seq" = 1 ] && ! cmp -s "$WORK/seq" "$WORK/par"; then
    echo "  !! the parallel pass printed other rows than the sequential pass" >&2
  fi
  local qWall=""
  if [ -n "$QSTAT" ]; then
    timed "$WORK/q" "$QSTAT" -retry 1 -interval "$sec" -raw , -default mhs -f farm.addresses -maxsim 1000
    qWall=$WALL
    printf '%-34s %-22s %9s %9s %9s\n' "$name" "quakestat -maxsim 1000" "$WALL" "$OWN" "$(qanswered "$WORK/q")"
    if [ "$qdef" = 1 ]; then
      timed "$WORK/q" "$QSTAT" -retry 1 -interval "$sec" -raw , -default mhs -f farm.addresses
      printf '%-34s %-22s %9s %9s %9s\n' "$name" "quakestat default" "$WALL" "$OWN" "$(qanswered "$WORK/q")"
    fi
  fi
  [ -n "$seqWall" ] && echo "  parallel / sequential wall: $(ratio "$parWall" "$seqWall")"
  [ -n "$qWall" ] && echo "  parallel / quakestat -maxsim 1000 wall: $(ratio "$parWall" "$qWall")"
  if [ -n "$seqOwn" ] && [ "$s" = 0 ]; then
    PER_SERVER[$a]=$(awk -v o="$seqOwn" -v n="$a" 'BEGIN{printf "%.4f", 1000*o/n}')
    SEQ_OWN[$a]=$seqOwn
    echo "  sequential own ms per answering server: ${PER_SERVER[$a]}"
  fi
  LAST_PAR=$parWall LAST_Q=$qWall
}
declare -A PER_SERVER SEQ_OWN

slow=${SLOW:-0}
scenario "100 answering + 20 silent, 250 ms" 100 20 250 8 1 0
scenario "1000 answering" 1000 0 2000 8 1 0
scenario "10000 answering" 10000 0 2000 8 1 0
# The window over the same farm: the longest time its thread is kept from
# its event loop during a pass, and the processor time it used in that gap.
for mode in "" --parallel; do
  for ((r = 0; r < REPEAT; ++r)); do
    (cd "$DATA" && QT_QPA_PLATFORM=offscreen "$STALL" $mode 2>/dev/null) | sed 's/^/  window: /'
  done
done
scenario "1000 addresses, 900 silent, 500 ms" 100 900 500 8 "$slow" "$slow"

echo
echo "goals:"
echo "  parallel, 900 of 1000 silent at 500 ms: ${LAST_PAR} s (close to 1 s; at most half of quakestat's ${LAST_Q:-?} s: ratio $(ratio "$LAST_PAR" "${LAST_Q:-0}"))"
echo "  10000 answering, sequential own time: ${SEQ_OWN[10000]} s (under 3 s)"
echo "  own time per answering server, 10000 / 1000: $(ratio "${PER_SERVER[10000]}" "${PER_SERVER[1000]}") (at most 2)"
echo "  window thread during a 10000-row pass: longest gap under 50 ms (the window lines above)"
