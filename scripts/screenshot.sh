#!/usr/bin/env bash
# Starts the program under Xvfb in a data folder and saves a PNG of the screen.
# usage: screenshot.sh DATA_FOLDER OUT.png [SECONDS] [program arguments...]
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
DATA="$(cd "$1" && pwd)"; OUT="$(realpath -m "$2")"; WAIT="${3:-3}"
shift $(( $# >= 3 ? 3 : $# ))
BIN="${TARVIX_BIN:-$ROOT/build/tarvix}"
cat > /tmp/tarvix-shot.$$.sh <<INNER
cd "$DATA"
"$BIN" "\$@" &
pid=\$!
sleep "$WAIT"
import -window root "$OUT"
/usr/bin/convert "$OUT" -trim +repage "$OUT"
kill \$pid
wait \$pid 2>/dev/null || true
INNER
xvfb-run -a -s "-screen 0 800x700x24" bash /tmp/tarvix-shot.$$.sh "$@"
rm -f /tmp/tarvix-shot.$$.sh
echo "saved $OUT"
