#!/usr/bin/env bash
# Makes the packages again as a packager would (no tests, no benchmarks) from a
# copy of the sources at another path, and compares them with this build's:
# the same bytes, or which files differ and how (in full with diffoscope).
# Usage: check_reproducible.sh PRESET BUILD_DIR
set -eEuo pipefail
trap 'echo "check_reproducible.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR
preset=$1
build=$(cd "$2" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

copy=$work/elsewhere/vorel  # the sources as they stand, committed or not
mkdir -p "$copy"
git -C "$source" ls-files -z --cached --others --exclude-standard |
  tar -C "$source" --null --ignore-failed-read -T - -cf - | tar -C "$copy" -xf -
(cd "$copy" && cmake --preset "$preset" -DVOREL_TESTS=OFF -DVOREL_BENCH=OFF && cmake --build --preset "$preset" &&
  cd "build/$preset" && cpack -B "$work/b" && cd "$build" && cpack -B "$work/a") >"$work/log" 2>&1 ||
  { tail -n 40 "$work/log" >&2; exit 1; }

unpack() {  # PACKAGE DIR: its files, and a listing with their times and modes
  mkdir -p "$2/files"
  case $1 in
    *.deb) dpkg-deb -R "$1" "$2/files" && dpkg-deb -c "$1" >"$2/listing" ;;
    *.zip) (cd "$2/files" && cmake -E tar xf "$1") && cmake -E tar tvf "$1" >"$2/listing" ;;
    *.msi) msiextract -C "$2/files" "$1" && (cd "$2" && msidump -t -s -d . "$1") ;;  # tables and summary
  esac >/dev/null
}
shopt -s nullglob
packages=("$work"/a/*.deb "$work"/a/*.zip "$work"/a/*.msi)
[ ${#packages[@]} -gt 0 ] || { echo "cpack made no package in $build" >&2; exit 1; }
status=0
for a in "${packages[@]}"; do
  name=${a##*/} b=$work/b/${a##*/}
  if cmp -s "$a" "$b"; then
    echo "the same bytes: $(sha256sum "$a" | cut -d' ' -f1)  $name ($(stat -c %s "$a") bytes)"
    continue
  fi
  status=1
  echo "FAIL: $name differs from the one built at $copy" >&2
  if command -v diffoscope >/dev/null; then
    diffoscope "$a" "$b" >&2 || true
  elif [ -f "$b" ]; then
    unpack "$a" "$work/$name/a" && unpack "$b" "$work/$name/b" && (cd "$work/$name" && diff -r a b >&2) || true
  fi
done
exit $status
