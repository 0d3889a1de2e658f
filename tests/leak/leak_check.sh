#!/usr/bin/env bash
# Runs the game under memcheck in an X server of its own until its defeat box,
# dismisses the box (the program then exits 0), and fails if a definitely or
# indirectly lost block has a frame in the project's code.
# Usage: leak_check.sh VOREL SOURCE_DIR GENERATED_DIR
set -euo pipefail
game=$1
source=$2
generated=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$here/../../scripts/xvfb.sh"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"

if ! play_until_defeat valgrind --leak-check=full --show-leak-kinds=definite,indirect \
  --fullpath-after= --num-callers=40 --child-silent-after-fork=yes \
  --log-file="$work/memcheck.%p.log" "$game"; then
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
