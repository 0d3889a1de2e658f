#!/usr/bin/env bash
# The Windows Installer package in a fresh Wine prefix, as a player uses it:
# silent install, the game started from the Start menu and closed, silent
# uninstall leaving nothing; then a newer version over an older one: one entry.
# Usage: check_msi.sh CPACK BUILD_DIR VERSION
set -eEuo pipefail
trap 'echo "check_msi.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR
export LC_ALL=C
cpack=$1 build=$2 version=$3
session=$(dirname "$0")/../../cmake/wine-session
work=$(cd "$build" && pwd)/msi-test
rm -rf "$work" && mkdir -p "$work/home"
trap '"$session" stop "$work/wine"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

make_msi() {  # VERSION: the build's package, made as cpack makes it, of that version
  "$cpack" --config "$build/CPackConfig.cmake" -G External -B "$work/$1" -D CPACK_PACKAGE_VERSION="$1" \
    -D CPACK_PACKAGE_FILE_NAME="vorel-$1" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
  echo "$work/$1/vorel-$1.msi"
}
older=$(make_msi "$version")
next=${version%.*}.$((${version##*.} + 1))  # Windows Installer compares three fields only
newer=$(make_msi "$next")

export HOME=$work/home  # Wine's menu builder (off, too) writes desktop menus there
"$session" start "$work/wine"
export WINEPREFIX=$work/wine/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
DISPLAY=:$(cat "$work/wine/display")
export DISPLAY
wine() { command wine "$@" </dev/null | tr -d '\r'; }
msiexec() { wine msiexec "$@" /qn || fail "msiexec $* failed"; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
entries() {  # the entries named vorel under Installed apps, as "KEY VERSION"
  wine reg query "$uninstall_key" /s /reg:32 | awk '/^HKEY/ { key = $0; sub(/.*\\/, "", key) }
    $1 == "DisplayName" { name = $3 } $1 == "DisplayVersion" && name == "vorel" { print key, $3 }'
}
# The prefix's files and its registry values by name (Wine rewrites some
# values' data by itself), written to the .reg files by stopping the server.
snapshot() {
  wineserver -k || true
  (cd "$WINEPREFIX" && find drive_c &&
    awk '/^\[/ { key = $0; sub(/ [0-9]+$/, "", key) } /^[@"]/ { sub(/=.*/, ""); print key, $0 }' ./*.reg) |
    sort >"$work/$1"
}
nothing_left() {  # nothing new since the first snapshot but Windows Installer's own cache folder
  snapshot after
  left=$(comm -13 "$work/before" "$work/after" | grep -vx drive_c/windows/Installer) || true
  [ -z "$left" ] || fail "$1 left behind:"$'\n'"$left"
}

snapshot before
msiexec /i "$older"
read -r code listed < <(entries) || fail "no entry for vorel under Installed apps"
[ "$listed" = "$version" ] || fail "the entry says version $listed, not $version"
wine reg query "$uninstall_key\\$code" /v NoModify /reg:32 | grep -q 0x1 || fail "the entry offers Modify"
icon=$(wine reg query 'HKCR\Installer\Products' /s | sed -n 's/^ *ProductIcon *REG_SZ *//p')
[ -n "$icon" ] && [ -f "$(wine winepath -u "$icon")" ] || fail "the entry has no icon"
shortcut=$(find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/vorel.lnk')
[ -n "$shortcut" ] || fail "no vorel shortcut in the Start menu"
# Wine's shell starts a shortcut's target without keeping a handle to its
# process, so `start /wait` returns once the game is up, on any kernel: the
# game's exit status is not known here (program_tests checks it on close).
command wine start /unix "$shortcut" </dev/null >"$work/start.log" 2>&1 ||
  fail "the shortcut did not start the game: $(cat "$work/start.log")"
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Game$' | head -n 1) || true
[ -n "$window" ] || fail "no game window came up"
folder="$WINEPREFIX/drive_c/Program Files/vorel"
[ -f "$folder/LICENSE" ] && [ -f "$folder/README.md" ] || fail "no LICENSE and README.md beside the program"
# The installed program's process, as Linux shows it: Wine names it by its
# Windows path; under the 32-bit x86 emulator it is qemu-i386 running Wine's
# loader with that path. (Wine's own process list is empty there.)
program='C:.Program Files.vorel.vorel\.exe'
pgrep -f "$program" | grep -x "$(xdotool getwindowpid "$window")" >/dev/null ||
  fail "the game window is not the installed program's"
# Closed as a player closes it. Alt+F4 in its window becomes the close box's
# command; the session has no window manager to draw a close box, and
# `xdotool windowclose` destroys the X window behind the program's back.
xdotool windowfocus --sync "$window" key alt+F4
within() {  # SECONDS COMMAND...: COMMAND succeeds within that time
  local deadline=$((SECONDS + $1))
  until "${@:2}"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
window_closed() { ! xdotool search --name '^Game$' >/dev/null; }
program_ended() { ! pgrep -f "$program" >/dev/null; }
within 30 window_closed || fail "the game window stayed open after Alt+F4"
# Wine's process outlives the window by seconds, and keeps its file: wait.
within 30 program_ended || fail "the game's process did not end after its window closed"
msiexec /x "$code"
nothing_left "the uninstall"

msiexec /i "$older"
msiexec /i "$newer"
mapfile -t listed < <(entries)
[ "${#listed[@]}" = 1 ] && [ "${listed[0]#* }" = "$next" ] ||
  fail "Installed apps lists: ${listed[*]:-nothing} (expected one vorel $next)"
msiexec /x "${listed[0]%% *}"
nothing_left "the upgrade and the uninstall"
echo "installed, played and uninstalled without a trace; $version then $next: one entry, ${listed[0]}"
trap - EXIT
"$session" stop "$work/wine" && rm -rf "$work"  # kept for a look when the check fails
