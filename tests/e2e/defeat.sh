#!/usr/bin/env bash
# The real program in an X server of its own, left alone until the column
# reaches the ship: its defeat box shows, Enter dismisses it, and the program
# exits with status 0. Usage: defeat.sh VOREL
set -euo pipefail
# shellcheck source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../../scripts/xvfb.sh"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
play_until_defeat "$1"
