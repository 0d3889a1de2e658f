#!/usr/bin/env bash
# The leak filter on hand-made memcheck logs: it must flag a lost block only
# when its stack passes through the project's code, and refuse a log that
# never reached its heap summary.
set -euo pipefail
filter="$(dirname "$0")/project-leaks.awk"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
roots="/src/ui/ /src/app/ /build/assets/generated/"
failures=0
check() {  # name expected-status log-file [must-contain...]
  local name=$1 expected=$2 log=$3 status=0 output
  shift 3
  output=$(awk -v roots="$roots" -f "$filter" "$log" 2>&1) || status=$?
  if ((status != expected)); then
    echo "FAIL $name: status $status, expected $expected"$'\n'"$output"
    failures=$((failures + 1))
    return
  fi
  for wanted in "$@"; do
    if [[ $wanted == !* ]]; then
      if grep -qF -- "${wanted:1}" <<<"$output"; then
        echo "FAIL $name: reported ${wanted:1}"
        failures=$((failures + 1))
      fi
    elif ! grep -qF -- "$wanted" <<<"$output"; then
      echo "FAIL $name: did not report $wanted"
      failures=$((failures + 1))
    fi
  done
}

# Mixed: one block lost in the driver, one indirectly lost under the
# generated pictures, one lost wholly in D-Bus, one only possibly lost in the
# driver, and a still-reachable note.
cat >"$work/mixed.log" <<'LOG'
==7== Memcheck, a memory error detector
==7== Command: /build/app/vorel
==7== 
==7== HEAP SUMMARY:
==7==     in use at exit: 108,339 bytes in 954 blocks
==7== 
==7== 64 bytes in 1 blocks are definitely lost in loss record 10 of 138
==7==    at 0x48417B4: operator new(unsigned long) (in /usr/libexec/valgrind/vgpreload_memcheck-amd64-linux.so)
==7==    by 0x1234: ui::qt::FormWindow::paintEvent(QPaintEvent*) (/src/ui/qt/form_window.cpp:160)
==7==    by 0x5678: QWidget::event(QEvent*) (in /usr/lib/x86_64-linux-gnu/libQt6Widgets.so.6.4.2)
==7== 
==7== 24 bytes in 1 blocks are indirectly lost in loss record 11 of 138
==7==    at 0x48417B4: malloc (in /usr/libexec/valgrind/vgpreload_memcheck-amd64-linux.so)
==7==    by 0x2222: assets::pictureTable() (/build/assets/generated/pictures.cpp:40)
==7== 
==7== 1,032 bytes in 1 blocks are definitely lost in loss record 115 of 138
==7==    at 0x484682F: realloc (in /usr/libexec/valgrind/vgpreload_memcheck-amd64-linux.so)
==7==    by 0x6F8F883: _dbus_read (in /usr/lib/x86_64-linux-gnu/libdbus-1.so.3.32.4)
==7==    by 0x63A8860: ??? (in /usr/lib/x86_64-linux-gnu/libQt6DBus.so.6.4.2)
==7== 
==7== 368 bytes in 1 blocks are possibly lost in loss record 105 of 138
==7==    at 0x48465EF: calloc (in /usr/libexec/valgrind/vgpreload_memcheck-amd64-linux.so)
==7==    by 0x3333: ui::qt::QtDriver::messageBox(std::basic_string_view<char>, std::basic_string_view<char>) (/src/ui/qt/qt_driver.cpp:140)
==7== 
==7== LEAK SUMMARY:
==7==    definitely lost: 1,096 bytes in 2 blocks
==7==    indirectly lost: 24 bytes in 1 blocks
==7==      possibly lost: 368 bytes in 1 blocks
LOG
check "mixed" 1 "$work/mixed.log" "form_window.cpp:160" "generated/pictures.cpp:40" \
  "!_dbus_read" "!qt_driver.cpp:140"

# System libraries only; the executable's own path lies in the build tree,
# under a folder named like a source folder, and does not count as a frame
# of the project's code. A second process's log is clean.
cat >"$work/system.log" <<'LOG'
==8== HEAP SUMMARY:
==8== 48 (24 direct, 24 indirect) bytes in 1 blocks are definitely lost in loss record 277 of 738
==8==    at 0x48417B4: malloc (in /usr/libexec/valgrind/vgpreload_memcheck-amd64-linux.so)
==8==    by 0x628EB04: g_main_context_push_thread_default (in /usr/lib/x86_64-linux-gnu/libglib-2.0.so.0.7400.6)
==8==    by 0x1111: ??? (in /src/build/app/vorel)
==8== 
LOG
cat >"$work/clean.log" <<'LOG'
==9== HEAP SUMMARY:
==9==     in use at exit: 0 bytes in 0 blocks
==9== All heap blocks were freed -- no leaks are possible
LOG
check "system libraries only" 0 "$work/system.log"
check "clean" 0 "$work/clean.log"

# A run cut short (killed before exit) proves nothing.
head -3 "$work/mixed.log" >"$work/cut.log"
check "no heap summary" 2 "$work/cut.log" "no heap summary"

if ((failures)); then
  exit 1
fi
echo "4 passed, 0 failed"
