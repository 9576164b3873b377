#!/usr/bin/env bash
# Renews docs/screenshot.png: the main window after a forward search on a
# fresh demo database, taken under Xvfb and driven with xdotool like a user.
# Builds nothing: it needs build/program/tintorel and build/program/tintorel-demo
# from ./run.sh or ./test.sh. Installs xvfb, xdotool and imagemagick if missing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=docs/screenshot.png

for binary in build/program/tintorel build/program/tintorel-demo; do
  [ -x "$binary" ] || { echo "$binary is missing: run ./run.sh or ./test.sh first" >&2; exit 1; }
done
tools/packages.sh xvfb xdotool imagemagick

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  # Tintorel ends when its display goes away.
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ -n "$app_pid" ]; then
    for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "screenshot: $*" >&2
  exit 1
}

# A fresh program folder: the program and a new, not yet imported demo database.
mkdir -p "$work/program/Daten" "$work/runtime"
chmod 700 "$work/runtime"
cp build/program/tintorel "$work/program/"
build/program/tintorel-demo "$work/program/Daten/QELMPREISE.fdb" >/dev/null

# Xvfb picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
DISPLAY=":$(head -n1 "$work/display")"
export DISPLAY XDG_RUNTIME_DIR="$work/runtime"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getdisplaygeometry >/dev/null || fail "cannot reach the display $DISPLAY"

"$work/program/tintorel" >"$work/tintorel.log" 2>&1 &
app_pid=$!

# Waits for a visible window of the program with exactly this title.
wait_window() {
  local title=$1 seconds=$2 id
  for _ in $(seq $((seconds * 5))); do
    id=$(xdotool search --all --onlyvisible --pid "$app_pid" --name "^$title\$" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$app_pid" 2>/dev/null || { cat "$work/tintorel.log" >&2; fail "Tintorel ended early"; }
    sleep 0.2
  done
  fail "no window '$title' after $seconds s"
}
# Answers a message box with Enter.
answer() {
  local box
  box=$(wait_window "$1" "$2")
  xdotool windowfocus --sync "$box" key Return
}
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.3; }
# Types a filter, waits for the list to narrow, then Enter to the list and
# Enter to choose its first row.
choose() {
  xdotool type --delay 60 "$1"
  sleep 1.2
  xdotool key Return
  sleep 0.4
  xdotool key Return
  sleep 0.8
}

main=$(wait_window "Tintorel QELM MIX  Version [0-9.]*" 20)
sleep 0.5
# Window coordinates from the form's fixed layout.
click 178 599  # Import Master-Table
answer Warnung 10  # "Sollen die Stammdatentabellen auch neu erzeugt werden?" -> Ja
answer Informationen 120  # "Fertig!"
# Without a window manager the closed box leaves the focus nowhere, and the
# release of its Enter can reach the search: start it over, then click into
# the product field.
click 82 284  # alles zurücksetzen
click 190 116  # Produktauswahl
choose innen  # Innenfarbe Classic
choose nord  # Nordlicht
choose lachs  # NL 103 Lachsrot

mkdir -p docs
import -window "$main" -strip -define png:compression-level=9 "$work/shot.png"
size=$(stat -c %s "$work/shot.png")
[ "$size" -lt 204800 ] || fail "the screenshot has $size bytes, more than 200 KB"
mv "$work/shot.png" "$out"
echo "screenshot: $out written ($size bytes)"
