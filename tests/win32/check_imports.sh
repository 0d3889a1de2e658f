#!/usr/bin/env bash
# Fails when a Windows program imports a DLL other than the system's own
# (a missing runtime DLL stops it on a bare system), or advapi32, which the
# launcher binds at run time instead. The screen reader's DLLs (oleacc, with
# ole32 and oleaut32 for COM) ship with every Windows.
# Usage: check_imports.sh OBJDUMP PROGRAM
set -euo pipefail
imports=$("$1" -p "$2" | sed -n 's/^[[:space:]]*DLL Name: //p')
echo "imports of $(basename "$2"):" $imports
[ -n "$imports" ] || { echo "no import table found" >&2; exit 1; }
unexpected=$(grep -ivxE '(kernel32|user32|gdi32|msvcrt|oleacc|ole32|oleaut32)\.dll' <<<"$imports" || true)
[ -z "$unexpected" ] || { echo "unexpected imports:" $unexpected >&2; exit 1; }
