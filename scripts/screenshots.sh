#!/usr/bin/env bash
# Screenshots of every page of a built application, for checking the look.
#
#   scripts/screenshots.sh <build dir> [output dir]
#
# Builds nothing. Runs <build dir>/bin/orvelin under Xvfb at 1024x768 with the
# software renderer, presses the menu buttons with xdotool and saves one PNG
# per page, then the help and about windows. ORVELIN_PORTS is passed on when
# set (for instance a simulator's pseudo-terminal), otherwise it is empty so
# that no serial port of the machine is touched. To see the pages with an
# instrument, start the simulator first and pass its port:
#   build/bin/zr-sim --model 7.49 --link /tmp/zr0 &
#   ORVELIN_PORTS=/tmp/zr0 SHOT_SETTLE=8 scripts/screenshots.sh build
# SHOT_SETTLE is the wait in seconds after the window appears (default 4);
# with an instrument a file is downloaded (DOWNLOAD_WAIT seconds, default 8)
# and its table and chart are taken as well.
set -euo pipefail

if [ "${1:-}" = "--inside-xvfb" ]; then
  shift
  BIN="$1"; OUT="$2"
  cd "$BIN"
  ./orvelin > "$OUT/orvelin.log" 2>&1 &
  APP=$!
  trap 'kill $APP 2>/dev/null || true' EXIT
  if ! xdotool search --sync --onlyvisible --name "Orvelin 1.00" > /dev/null 2>&1; then
    echo "screenshots: the main window did not appear" >&2; exit 1
  fi
  sleep "${SHOT_SETTLE:-4}"

  shot() { sleep 1.5; import -window root "$OUT/$1.png"; echo "screenshots: $OUT/$1.png"; }
  click() { xdotool mousemove "$1" "$2" click 1; }

  # Without a window manager the main window sits at (0, 0) undecorated; the
  # menu buttons are 179 pixels high starting 38 pixels from the top.
  shot 1-device
  if [ -n "${ORVELIN_PORTS:-}" ]; then
    # With an instrument: pick the second file of the list, download it and
    # look at the data page's table and chart. The points follow the device
    # and data pages' layouts at 1024x768.
    click 800 180; sleep 1; click 448 425; sleep "${DOWNLOAD_WAIT:-8}"
    shot 1b-data-loaded
    click 537 75; sleep 1; shot 1c-data-chart
    click 537 75
  fi
  click 36 490; shot 2-data
  click 36 673; shot 3-database
  click 36 310; shot 4-settings
  click 36 128; shot 5-device-again
  click 17 17; shot 6-help
  # The help window covers the menu: move it aside, press the about button
  # (which reuses the same window) and bring it back for the picture.
  HELP=$(xdotool search --name "Справка" | head -n 1)
  xdotool windowmove "$HELP" 1100 0
  sleep 0.5
  click 54 17
  sleep 0.5
  xdotool windowmove "$HELP" 0 0
  shot 7-about
  exit 0
fi

BUILD="${1:?usage: scripts/screenshots.sh <build dir> [output dir]}"
BIN="$(cd "$BUILD/bin" && pwd)"
[ -x "$BIN/orvelin" ] || { echo "screenshots: $BIN/orvelin is not built" >&2; exit 1; }
command -v xdotool > /dev/null || { echo "screenshots: xdotool is missing (scripts/install-deps.sh)" >&2; exit 1; }
OUT="${2:-$(mktemp -d /tmp/orvelin-shots.XXXXXX)}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"

export ORVELIN_PORTS="${ORVELIN_PORTS:-}"
export QT_QUICK_BACKEND=software
xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --inside-xvfb "$BIN" "$OUT"
echo "screenshots: saved in $OUT"
