#!/usr/bin/env bash
# Qt's own scaling: at QT_SCALE_FACTOR 1.5 and 2 the game window and the About
# window are as large as Windows makes them at 144 and 192 dpi. A click on the
# About bar opens the About window; should the column reach the ship first, the
# About window cannot be opened and the check counts as skipped (status 77).
# Usage: scale.sh VOREL
set -euo pipefail
# shellcheck source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../../scripts/xvfb.sh"
work=$(mktemp -d)
trap 'kill "${program:-}" 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
fail() {
  echo "at QT_SCALE_FACTOR=$factor, $*" >&2
  exit 1
}
size() { xdotool getwindowgeometry "$1" | sed -n 's/^ *Geometry: //p'; }
while read -r factor game about; do
  QT_SCALE_FACTOR=$factor "$1" </dev/null &
  program=$!
  until window=$(xdotool search --onlyvisible --name '^Game$'); do
    kill -0 "$program" || fail "the program ended before its window showed"
    sleep 0.05
  done
  read -r width height < <(size "$window" | tr x ' ')
  [[ ${width}x$height =~ ^$game$ ]] || fail "the game window is ${width}x$height"
  xdotool mousemove --window "$window" $((width / 2)) $((height - 4)) click 1
  opened=$(timeout 30 xdotool search --sync --onlyvisible --name '^(About vorel|vorel)$')
  [ "$(xdotool getwindowname "$opened")" = "About vorel" ] || exit 77
  [[ $(size "$opened") =~ ^$about$ ]] || fail "the About window is $(size "$opened")"
  kill "$program"
  wait "$program" || true
done <<'SIZES'
1.5 1188x108 52[67]x225
2 1584x144 702x300
SIZES
