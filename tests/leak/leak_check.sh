#!/usr/bin/env bash
# Runs the game under memcheck in an X server of its own until its defeat box,
# dismisses the box (the program then exits 0), and fails if a definitely or
# indirectly lost block has a frame in the project's code (blocks lost wholly
# inside system libraries are not the project's).
# Usage: leak_check.sh VOREL
set -euo pipefail
game=$1
# shellcheck source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../../scripts/xvfb.sh"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"

if ! play_until_defeat valgrind --leak-check=full --show-leak-kinds=definite,indirect \
  --fullpath-after= --num-callers=40 --child-silent-after-fork=yes \
  --log-file="$work/memcheck.%p.log" "$game" ||
  ! grep -q "HEAP SUMMARY" "$work"/memcheck.*.log; then
  echo "the game did not reach the defeat box and end with status 0 under memcheck" >&2
  cat "$work"/memcheck.*.log >&2 || true
  exit 1
fi
# The loss records, one paragraph each once the pid prefix is gone. The
# build names the project's sources from the checkout's root ("./game/..."),
# the generated ones from the build's ("./build/.../assets/generated/...").
# Qt's accessibility bridge connects to the session bus on a thread of its own
# the first time a window is shown, and leaves it at exit: whether memcheck
# finds its blocks lost depends on how far that thread got, so they are Qt's.
if sed -E 's/^==[0-9]+== ?//' "$work"/memcheck.*.log |
  awk 'BEGIN { RS = "" } /are (definitely|indirectly) lost in loss record/ &&
    !/QDBusConnection::sessionBus/ &&
    /[(]([^ )]*\/)?\.\/(ui|game|about|app|assets)\/|\/assets\/generated\// { print $0 "\n"; found = 1 }
    END { exit !found }'; then
  echo "blocks lost in the project's code (above)" >&2
  exit 1
fi
sed -nE 's/^==[0-9]+== +(definitely|indirectly|possibly) lost:/\1 lost:/p' "$work"/memcheck.*.log
echo "no block lost in the project's code"
