#!/usr/bin/env bash
# Makes the Debian package from a finished build, has lintian check it,
# unpacks it into a scratch root, checks what it holds and declares, and starts
# the unpacked program in an X server of its own: it plays to its defeat box,
# Enter dismisses the box, and the program exits 0.
# Usage: check_deb.sh CPACK BUILD_DIR APPSTREAM_ID
set -euo pipefail
cpack=$1
build=$2
id=$3
# shellcheck source-path=SCRIPTDIR/../scripts source-path=SCRIPTDIR/../../scripts source=xvfb.sh
. "$(dirname "$0")/../scripts/xvfb.sh"

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  exit 1
fi
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no single .deb" >&2; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

# Debian's own checker: no error, no warning, and of its notes (shown too)
# none on hardening or on sections the binary does not need.
lintian -I --pedantic --fail-on error,warning "$deb" | tee "$work/lintian.log" ||
  fail "lintian reports errors or warnings"
! grep -qE 'hardening-|binary-has-unneeded-section' "$work/lintian.log" ||
  fail "the program is not built and stripped as Debian hardens and strips programs"

# What the package needs: the Qt libraries found in the binary, and the fonts.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',|' '\n\n' <<<"$depends" | sed -E 's/^ +//; s/[ (].*//')
for needed in libqt6widgets6 libstdc++6 fonts-dejavu-core fonts-liberation; do
  grep -qxF "$needed" <<<"$names" || fail "Depends does not list $needed"
done

# What it installs.
root=$work/root
dpkg-deb -x "$deb" "$root"
[ -x "$root/usr/games/vorel" ] || fail "no executable /usr/games/vorel"
for file in usr/share/applications/vorel.desktop "usr/share/metainfo/$id.metainfo.xml" \
  usr/share/man/man6/vorel.6.gz usr/share/doc/vorel/copyright usr/share/doc/vorel/changelog.gz; do
  [ -f "$root/$file" ] || fail "no /$file"
done
for size in 16 32 48 64 128; do
  [ -f "$root/usr/share/icons/hicolor/${size}x${size}/apps/vorel.png" ] || fail "no ${size}x${size} icon"
done
asked='^\./usr/(games/vorel|share/((applications|metainfo|icons)/.*|man/man6/vorel\.6\.gz|doc/vorel/(copyright|changelog\.gz)))$'
unexpected=$(cd "$root" && find . -type f | grep -vE "$asked" || true)
[ -z "$unexpected" ] || fail "files nobody asked for: $unexpected"

# The metainfo, the desktop entry and the icons as a software centre sees them.
appstreamcli validate-tree --no-net "$root" >"$work/tree.log" 2>&1 ||
  fail "the installed tree does not validate: $(cat "$work/tree.log")"

# The unpacked program starts, plays and ends cleanly.
start_xvfb "$work"
play_until_defeat "$root/usr/games/vorel" ||
  fail "the installed program did not reach its defeat box and exit 0 when it was dismissed"

if ((failures)); then
  exit 1
fi
echo "the package holds and declares what it should, and its program starts"
