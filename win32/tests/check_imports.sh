#!/usr/bin/env bash
# Reads each program's import table and fails when a program imports a DLL
# that Windows does not bring itself (a MinGW runtime such as libstdc++-6.dll,
# libgcc_s_seh-1.dll or libwinpthread-1.dll, or any other library).
# Usage: check_imports.sh OBJDUMP PROGRAM.exe...
set -euo pipefail
objdump=$1
shift

# Windows' own libraries, as present on Windows 7 and later.
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|uxtheme|msimg32|ole32|oleaut32|shell32|shlwapi|windowscodecs|advapi32|msvcrt|ws2_32|version|bcrypt|ntdll)\.dll$'

status=0
for program in "$@"; do
  imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
  if [ -z "$imports" ]; then
    echo "FAIL $program: no import table found" >&2
    status=1
    continue
  fi
  while IFS= read -r dll; do
    if ! grep -qiE "$allowed" <<<"$dll"; then
      echo "FAIL $(basename "$program") imports $dll, which Windows does not bring" >&2
      status=1
    fi
  done <<<"$imports"
  echo "$(basename "$program"): $(tr '\n' ' ' <<<"$imports")"
done
exit $status
