#!/usr/bin/env bash
# Runs a program in an X server of its own. Usage: under_x.sh PROGRAM [ARGS...]
set -euo pipefail
# shellcheck source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../../scripts/xvfb.sh"
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
"$@"
