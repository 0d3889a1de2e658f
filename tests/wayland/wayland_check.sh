#!/usr/bin/env bash
# The real program as a native Wayland client of a compositor of its own
# (Weston, headless, drawing in memory), left alone until the column reaches
# the ship: its game window is drawn, and the defeat box comes up as that
# window's child. The compositor takes no input, so the box is not dismissed:
# the program is stopped once the box is drawn.
# Usage: wayland_check.sh WESTON VOREL
set -euo pipefail
work=$(mktemp -d)  # mode 700, as a runtime directory must be
trap 'kill "${program:-}" "${weston:-}" 2>/dev/null || true; wait; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR=$work WAYLAND_DISPLAY=vorel-check QT_QPA_PLATFORM=wayland
unset DISPLAY QT_SCALE_FACTOR
"$1" --backend=headless-backend.so --use-pixman --socket="$WAYLAND_DISPLAY" >"$work/weston.log" 2>&1 &
weston=$!
for _ in $(seq 100); do
  [ -S "$work/$WAYLAND_DISPLAY" ] && break
  sleep 0.1
done
WAYLAND_DEBUG=1 "$2" 2>"$work/protocol.log" &
program=$!
windows() { awk -f "$(dirname "$0")/windows.awk" "$work/protocol.log"; }
for _ in $(seq 600); do
  [[ $(windows) == *"defeat box: drawn"* ]] || ! kill -0 "$program" 2>/dev/null && break
  sleep 0.1
done
expected='game window: drawn
defeat box: drawn
box'"'"'s parent: the game window'
if [ "$(windows)" != "$expected" ]; then
  windows >&2
  grep -v '^\[' "$work/protocol.log" >&2 || true  # what the program said, if anything
  exit 1
fi
