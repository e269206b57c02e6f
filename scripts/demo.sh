#!/usr/bin/env bash
# Installs what is missing, builds, starts the instrument simulator on a
# pseudo-terminal and the application attached to it. Without a display the
# application runs under Xvfb and a screenshot is saved once the instrument
# has been found.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)

scripts/install-deps.sh
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD_DIR" -j"$(nproc)"
BIN="$ROOT/$BUILD_DIR/bin"

WORK=$(mktemp -d /tmp/orvelin-demo.XXXXXX)
PORT="$WORK/zr0"
TRACE="$WORK/trace.txt"
MODEL=${DEMO_MODEL:-7.47}

"$BIN/zr-sim" --model "$MODEL" --link "$PORT" --trace "$TRACE" --files 3,120,2500 --singles 2 > "$WORK/sim.out" 2>&1 &
SIM_PID=$!
cleanup() {
  kill "${APP_PID:-}" 2>/dev/null || true
  kill "$SIM_PID" 2>/dev/null || true
}
trap cleanup EXIT

for _ in $(seq 50); do [ -e "$PORT" ] && break; sleep 0.1; done
[ -e "$PORT" ] || { echo "demo: the simulator did not start:"; cat "$WORK/sim.out"; exit 1; }
echo "demo: instrument simulator ZR-$MODEL on $PORT (trace: $TRACE)"

export ORVELIN_PORTS="$PORT"
if [ -n "${DISPLAY:-}" ]; then
  "$BIN/orvelin"
  exit 0
fi

# No display: run under Xvfb, wait until the application has read the
# instrument's ID (command 152 in the trace) and the screen has settled.
SHOT="$ROOT/demo-screenshot.png"
export QT_QUICK_BACKEND=software
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$0/orvelin" &
  APP=$!
  for _ in $(seq 300); do
    grep -qE " 152( |$)" "$1" 2>/dev/null && break
    sleep 0.1
  done
  sleep 4
  import -window root "$2"
  kill $APP
  wait $APP 2>/dev/null || true
' "$BIN" "$TRACE" "$SHOT"
echo "demo: screenshot of the window with the instrument found: $SHOT"
