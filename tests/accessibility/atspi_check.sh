#!/usr/bin/env bash
# What a screen reader reads of the real program: under an X server and an
# accessibility bus of their own, the game window's tree as AT-SPI gives it,
# then the About window's, opened by pressing the bar through AT-SPI. Prints
# both; fails when something a player sees is missing. Usage: atspi_check.sh VOREL
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  exec dbus-run-session -- "$0" "$@"
fi
# shellcheck source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../../scripts/xvfb.sh"
work=$(mktemp -d)
trap 'kill "${program:-}" "${bus:-}" 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT
start_xvfb "$work"
/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$1" &
program=$!
timeout 30 xdotool search --sync --name '^Game$' >/dev/null
# tree WINDOW [PRESS]: the tree of the program's window of that name, a node a
# line; then presses its child of the name PRESS, as a screen reader's user may.
tree() {
  /usr/bin/python3 - "$@" <<'PY'
import sys, time, pyatspi
def show(node, depth):
    actions = node.queryAction() if "Action" in pyatspi.listInterfaces(node) else None
    print("  " * depth + f"{node.getRoleName()}: {node.name!r}" + (" (press)" if actions else ""))
    if node.description:
        print("  " * depth + f"  - {node.description}")
    for child in node:
        show(child, depth + 1)
    if [node.name] == sys.argv[2:] and actions:
        actions.doAction(0)
for _ in range(100):
    windows = [w for app in pyatspi.Registry.getDesktop(0) if app.name == "vorel" for w in app
               if w.name == sys.argv[1]]
    if windows and windows[0].childCount:
        show(windows[0], 0)
        break
    time.sleep(0.1)
PY
}
tree Game About | tee "$work/game"
timeout 30 xdotool search --sync --name '^About vorel$' >/dev/null
tree "About vorel" | tee "$work/about"
expect() {
  grep -qxF -- "$2" "$work/$1" || { echo "not in the $1 window's tree: $2" >&2; exit 1; }
}
expect game "  push button: 'About' (press)"
expect game "  image: 'an enemy'"
expect about "  label: 'Orvanta'"
expect about "  image: 'a photograph of a snowman at dusk'"
grep -q "space bar.*F1" "$work/game" || { echo "the game window does not say how to play" >&2; exit 1; }
