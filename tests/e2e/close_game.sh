#!/usr/bin/env bash
# Starts the game in an X server of its own, finds its window "Game", closes it
# through the window manager protocol and expects exit status 0 in time.
# Usage: close_game.sh VOREL_XPROBE VOREL
set -euo pipefail
probe=$1
game=$2

# shellcheck source-path=SCRIPTDIR/../scripts source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../../scripts/xvfb.sh"

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
# Closed soon after its first frame, well before the column reaches the ship.
"$probe" --hold 100 --timeout 20000 Game "$game"
