#!/usr/bin/env bash
# Screenshots of the archive as a user meets it, in Russian, for looking at:
# storing a log ("Сохранено N значений", then "Все значения уже есть в базе
# данных"), the chart of a column whose sensor changed, deleting selected rows
# (the question, then "Удалено N значений"), the report panel's period, reports
# refused for too many rows and for an empty selection, and a CSV export into a
# folder that cannot be written.
#
#   scripts/screenshots-archive.sh <build dir> [output dir]
#
# Builds nothing. Everything happens in a temporary folder: a portable copy of
# the application (its archive and LOG folder beside it), the simulator on a
# link there (3, 120 and 2500 records) and a display of its own (Xvfb,
# 1024x768). Run as root, the application runs as "nobody", so that the
# read-only folder refuses it as it refuses a technician. The clicks follow
# the pages' layouts at 1024x768; the archive is read back with sqlite3 and
# the counts are printed beside the pictures.
set -euo pipefail

BUILD="${1:?usage: scripts/screenshots-archive.sh <build dir> [output dir]}"
BIN="$(cd "$BUILD/bin" && pwd)"
[ -x "$BIN/orvelin" ] && [ -x "$BIN/zr-sim" ] || { echo "screenshots: build orvelin and zr-sim first" >&2; exit 1; }
for tool in Xvfb xdotool import sqlite3; do
  command -v "$tool" > /dev/null || { echo "screenshots: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
OUT="${2:-$(mktemp -d /tmp/orvelin-archive-shots.XXXXXX)}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"

WORK="$(mktemp -d /tmp/orvelin-archive-run.XXXXXX)"
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2> /dev/null || true; done
  rm -rf "$WORK"
}
trap cleanup EXIT

mkdir -p "$WORK/app" "$WORK/readonly" "$WORK/home"
cp "$BIN/orvelin" "$WORK/app/"
cp -r "$BIN/browserPages" "$WORK/app/"
ARCHIVE="$WORK/app/Record.sqlite"

"$BIN/zr-sim" --model 7.49 --link "$WORK/zr" --files 3,120,2500 > "$WORK/sim.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do [ -e "$WORK/zr" ] && break; sleep 0.1; done
[ -e "$WORK/zr" ] || { echo "screenshots: the simulator did not start" >&2; exit 2; }

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> "$WORK/display" 2> "$WORK/xvfb.log" &
PIDS+=($!)
for _ in $(seq 50); do [ -s "$WORK/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$WORK/display")"

RUN=()
if [ "$(id -u)" = 0 ]; then
  chmod 666 "$(readlink -f "$WORK/zr")"
  chown -R nobody:nogroup "$WORK/app" "$WORK/home"
  chmod 755 "$WORK"
  RUN=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod 555 "$WORK/readonly"
(cd "$WORK/app" && exec "${RUN[@]}" env HOME="$WORK/home" XDG_RUNTIME_DIR="$WORK/home" \
   LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8 ORVELIN_PORTS="$WORK/zr" QT_QUICK_BACKEND=software \
   ./orvelin > "$WORK/orvelin.log" 2>&1) &
PIDS+=($!)
xdotool search --sync --onlyvisible --name "Orvelin" > /dev/null
sleep "${SHOT_SETTLE:-8}"

shot() { sleep 1.5; import -window root "$OUT/$1.png"; echo "screenshots: $OUT/$1.png${2:+ ($2)}"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.3; }
values() { sqlite3 "$ARCHIVE" "SELECT count(*) FROM RECORD_ZR" 2> /dev/null || echo 0; }
ok() { xdotool key Return; sleep 0.7; }

# Device page: open a file of the list (second row 120, third 2500 records),
# then store it with the data page's "В базу" button.
download() {
  click 36 128; sleep 1.5
  click 800 "$1"; sleep 1
  click 448 425; sleep "${DOWNLOAD_WAIT:-15}"
}
download 180
click 425 72; sleep 3; xdotool mousemove 700 20
shot 09a-to-archive-saved "archive: $(values) values"
ok
click 425 72; sleep 3; xdotool mousemove 700 20
shot 09b-to-archive-again-nothing-new "archive: $(values) values"
ok
download 264
click 425 72; sleep 5; ok

# Database page: "Канал №2" alone; three rows of the long run selected
# (scrolled past the 120-record run, whose rows show no "Канал №2").
click 36 673; sleep 3
click 112 102; click 956 50; sleep 4
xdotool mousemove 330 400
for _ in $(seq 55); do xdotool click 5; done
sleep 1
click 175 296; sleep 0.3
xdotool keydown shift mousemove 175 348 click 1 keyup shift
sleep 0.5
BEFORE=$(values)
click 956 146; sleep 2
shot 01a-delete-question "archive: $BEFORE values"
click 552 363; sleep 3
shot 01b-deleted-count "archive: $(values) values, $((BEFORE - $(values))) went"
ok

# "Канал №1" held % in the short run and мм.рт.ст. in the long one: the chart
# draws a line per unit. Then the report panel and a full report of too many rows.
click 112 44; click 956 50; sleep 4
click 956 262; sleep 4; xdotool mousemove 600 150
shot 00-chart-one-line-per-unit
click 956 480; sleep 2; xdotool mousemove 600 150
shot 10a-report-panel-period
click 848 713; sleep 2
shot 11-full-report-too-long-refused-before-dialog
ok

# An empty selection ("Канал №2" in %): the panel follows it and a report is refused.
click 112 44; click 318 44; click 956 50; sleep 4; xdotool mousemove 600 150
shot 10b-report-panel-empty-selection
click 848 713; sleep 2
shot 10c-empty-selection-report-refused
ok
click 858 421; sleep 0.5

# CSV of "Канал №2" into a folder that cannot be written, named without extension.
click 318 44; click 956 50; sleep 4
click 926 371; sleep 2.5
xdotool key ctrl+a; xdotool type --delay 30 "$WORK/readonly/канал2"
sleep 0.5; xdotool key Return; sleep 3
shot 12-export-error-names-file-and-reason
ok
echo "screenshots: saved in $OUT"
