#!/usr/bin/env bash
# Starts the game in an X server of its own, finds its window "Game", closes it
# through the window manager protocol and expects exit status 0 in time.
# Usage: close_game.sh VOREL_XPROBE VOREL
set -euo pipefail
probe=$1
game=$2

fifo_dir=$(mktemp -d)
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$fifo_dir"' EXIT
mkfifo "$fifo_dir/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -br -nolisten tcp -noreset 3>"$fifo_dir/display" \
  >"$fifo_dir/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 number <"$fifo_dir/display" || { cat "$fifo_dir/xvfb.log" >&2; exit 1; }

export DISPLAY=":$number" QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
# Closed soon after its first frame, well before the column reaches the ship.
"$probe" --hold 100 --timeout 20000 Game "$game"
