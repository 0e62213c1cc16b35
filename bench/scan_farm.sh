#!/usr/bin/env bash
# Tarvix and quakestat side by side on loopback farms: processor time (user +
# system), peak memory and wall time of each program alone, on the same farm
# in the same run, the two programs' runs interleaved. Prints, per workload and
# program, the minimum and median of RUNS runs and the ratios of the medians.
#
#   bash bench/scan_farm.sh [BUILD_DIR]
#
# RUNS=N runs per program and workload (default 5). TARVIX=PATH measures that
# binary instead of building BUILD_DIR's. ONLY="name ..." runs only the named
# workloads (startup 1k 10k 50k silent window). quakestat comes from Debian's
# qstat package, installed here when missing (never by the project's set-up).
# Tarvix runs with --no-history, as quakestat keeps none; "10k+history" shows
# what recording costs.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
RUNS=${RUNS:-5}
ONLY=${ONLY:-startup 1k 10k 50k silent window}
targets=(scan_farm measured scan_window_stall)
[ -z "${TARVIX:-}" ] && targets+=(tarvix)
cmake --build "$BUILD" --target "${targets[@]}" >/dev/null
TARVIX=${TARVIX:-$BUILD/tarvix}
FARM=$BUILD/bench/scan_farm
MEASURED=$BUILD/bench/measured
STALL=$BUILD/bench/scan_window_stall

if ! command -v quakestat >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  { $SUDO apt-get update && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y \
      --no-install-recommends qstat; } >/dev/null 2>&1 ||
    echo "quakestat could not be installed; only Tarvix is measured" >&2
fi
QSTAT=$(command -v quakestat || true)

WORK=$(mktemp -d)
FARM_PID=""
stop_farm() {
  if [ -n "$FARM_PID" ]; then
    kill "$FARM_PID" 2>/dev/null || true
    wait "$FARM_PID" 2>/dev/null || true
    FARM_PID=""
  fi
}
trap 'stop_farm; rm -rf "$WORK"' EXIT

# farm ANSWERING SILENT PLAYERS: a fresh data folder with the farm's list.
farm() {
  stop_farm
  DATA=$WORK/data-$1-$2
  rm -rf "$DATA"; cp -r "$ROOT/data" "$DATA"
  sed -i 's/^clantags off/clantags on/; s/^Serverlists\\Standard/Serverlists\\Farm/' "$DATA/Config"
  coproc FARMPROC { exec "$FARM" "$DATA" "$1" "$2" "$3"; }
  FARM_PID=$FARMPROC_PID
  local ready=""
  read -r ready <&"${FARMPROC[0]}" || true
  [ "$ready" = ready ] || { echo "the farm did not start" >&2; exit 1; }
}

# Figures of one program on one workload, appended by measure().
declare -A CPU WALL RSS ANSWERED
# measure KEY OUT CMD...: one run of CMD in the farm's data folder.
measure() {
  local key=$1 out=$2; shift 2
  local wall cpu rss code
  read -r wall cpu rss code < <(cd "$DATA" && "$MEASURED" "$out" "$@")
  CPU[$key]+="$cpu " WALL[$key]+="$wall " RSS[$key]+="$rss "
}

# figure min|median VALUES...
figure() {
  local how=$1; shift
  printf '%s\n' "$@" | sort -g | awk -v how="$how" '{v[NR] = $1}
    END { if (how == "min") print v[1]; else if (NR % 2) print v[(NR + 1) / 2];
          else printf "%.4f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{ if (b > 0) printf "%.2f", a/b; else printf "-" }'; }
mb() { awk -v k="$1" 'BEGIN{printf "%.1f", k/1024}'; }
answered() { grep -c -v -e '^no response' -e '^sends shit' -e '^buddy' -e ' servers in ' "$1" || true; }
qanswered() { grep '^MHS,' "$1" | grep -c -v -e ',DOWN' -e ',TIMEOUT' -e ',NOREPLY' -e ',ERROR' || true; }

printf '%-30s %-10s %4s %8s %8s %8s %8s %8s %9s\n' workload program runs cpu_min cpu_med \
  wall_med rss_min rss_med answered
row() {
  local name=$1 key=$2 label=$3 runs
  runs=$(wc -w <<<"${CPU[$key]}")
  # shellcheck disable=SC2086
  printf '%-30s %-10s %4s %8s %8s %8s %8s %8s %9s\n' "$name" "$label" "$runs" \
    "$(figure min ${CPU[$key]})" "$(figure median ${CPU[$key]})" "$(figure median ${WALL[$key]})" \
    "$(mb "$(figure min ${RSS[$key]})")" "$(mb "$(figure median ${RSS[$key]})")" "${ANSWERED[$key]}"
}
# compare NAME: the ratio line of Tarvix's medians to quakestat's.
compare() {
  local t=$1/t q=$1/q
  [ -n "${CPU[$q]:-}" ] || return 0
  # shellcheck disable=SC2086
  echo "  tarvix / quakestat (medians): processor $(ratio "$(figure median ${CPU[$t]})" \
"$(figure median ${CPU[$q]})"), peak memory $(ratio "$(figure median ${RSS[$t]})" \
"$(figure median ${RSS[$q]})"), wall $(ratio "$(figure median ${WALL[$t]})" "$(figure median ${WALL[$q]})")"
}

# workload NAME ANSWERING SILENT TIMEOUT_MS TARVIX_ARGS...: both programs, interleaved.
workload() {
  local name=$1 a=$2 s=$3 t=$4; shift 4
  farm "$a" "$s" 8
  local sec; sec=$(awk -v t="$t" 'BEGIN{printf "%g", t/1000}')
  for ((r = 0; r < RUNS; ++r)); do
    measure "$name/t" "$WORK/t.out" "$TARVIX" --scan Farm --timeout "$t" "$@"
    [ -n "$QSTAT" ] && measure "$name/q" "$WORK/q.out" "$QSTAT" -retry 1 -interval "$sec" \
      -raw , -default mhs -f farm.addresses -maxsim 1000
  done
  ANSWERED[$name/t]=$(answered "$WORK/t.out")
  row "$name" "$name/t" tarvix
  if [ -n "$QSTAT" ]; then
    ANSWERED[$name/q]=$(qanswered "$WORK/q.out")
    row "$name" "$name/q" quakestat
  fi
  compare "$name"
}

wants() { [[ " $ONLY " == *" $1 "* ]]; }

if wants startup; then
  farm 1 0 8
  first=$(head -n 1 "$DATA/farm.addresses" | tr -d '\r')
  for ((r = 0; r < RUNS; ++r)); do
    measure startup/t "$WORK/t.out" "$TARVIX" --version
    [ -n "$QSTAT" ] && measure startup/q "$WORK/q.out" "$QSTAT" -raw , -mohs "$first"
  done
  ANSWERED[startup/t]=- ANSWERED[startup/q]=-
  row "start-up (tarvix --version)" startup/t tarvix
  [ -n "$QSTAT" ] && row "start-up (quakestat, 1 server)" startup/q quakestat
  compare startup
fi
wants 1k && workload "1000 answering" 1000 0 2000 --no-history --parallel
wants 10k && workload "10000 answering" 10000 0 2000 --no-history --parallel
if wants 10k; then
  for ((r = 0; r < 3; ++r)); do
    measure 10kh/t "$WORK/t.out" "$TARVIX" --scan Farm --timeout 2000 --parallel
  done
  ANSWERED[10kh/t]=$(answered "$WORK/t.out")
  row "10000 answering, history on" 10kh/t tarvix
fi
wants 50k && workload "50000 answering" 50000 0 2000 --no-history --parallel
wants silent && workload "1000 addresses, 900 silent" 100 900 500 --no-history --parallel

# The window over a 10 000-server farm: the longest time its thread is kept
# from its event loop during a pass, and the processor time it used in that gap.
if wants window; then
  farm 10000 0 8
  for mode in "" --parallel; do
    for ((r = 0; r < 3; ++r)); do
      (cd "$DATA" && QT_QPA_PLATFORM=offscreen "$STALL" $mode 2>/dev/null) | sed 's/^/  window: /'
    done
  done
fi

echo
echo "goals: processor time and peak memory at most quakestat's (ratios <= 1.00) on 1000 and"
echo "10000 answering, peak memory also on 50000; the silent list well ahead of quakestat;"
echo "start-up of a headless mode at most 3 ms; the window's longest gap under 50 ms."
