#!/usr/bin/env bash
# Runs the game under memcheck in an X server of its own, from the start until
# the defeat box is open, answers the box (the program then exits 0), and fails
# if a definitely or indirectly lost block has a frame in the project's code.
# Usage: leak_check.sh VOREL_XPROBE VOREL SOURCE_DIR GENERATED_DIR
set -euo pipefail
probe=$1
game=$2
source=$3
generated=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR/../scripts source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$here/../../scripts/xvfb.sh"

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"

# The box is the window titled "vorel"; the probe closes it once painted.
status=0
"$probe" --hold 200 --timeout 90000 vorel \
  "$(command -v valgrind)" --leak-check=full --show-leak-kinds=definite,indirect \
  --fullpath-after= --num-callers=40 --child-silent-after-fork=yes \
  --log-file="$work/memcheck.%p.log" "$game" || status=$?
if ((status != 0)); then
  echo "the game did not reach the defeat box and end with status 0 under memcheck" >&2
  cat "$work"/memcheck.*.log >&2 || true
  exit 1
fi

roots="$source/ui/ $source/game/ $source/about/ $source/app/ $source/assets/ $generated/"
if ! awk -v roots="$roots" -f "$here/project-leaks.awk" "$work"/memcheck.*.log; then
  echo "blocks lost in the project's code (above); the whole log follows" >&2
  cat "$work"/memcheck.*.log >&2
  exit 1
fi
sed -nE 's/^==[0-9]+== +(definitely|indirectly|possibly) lost:/\1 lost:/p' "$work"/memcheck.*.log
echo "no block lost in the project's code"
