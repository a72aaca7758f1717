#!/usr/bin/env bash
# Fails unless the program imports nothing but DLLs that every Windows has, so that
# pinova.exe runs on its own, with no DLL beside it; and only those that Windows never
# takes from the program's folder: its "known" DLLs, and the common controls, which the
# manifest binds to the system's side-by-side copy. An import is resolved before any
# code runs, so a library named like another beside the program would run first.
set -euo pipefail
exe=$1
objdump=x86_64-w64-mingw32-objdump
system_dlls='^(advapi32|comctl32|comdlg32|gdi32|imm32|kernel32|msvcrt|ole32|oleaut32|shell32|shlwapi|user32)\.dll$'
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "no imports read from $exe" >&2; exit 1; }
status=0
for dll in $imports; do
    if ! [[ $dll =~ $system_dlls ]]; then
        echo "$exe imports $dll, which is not a DLL that Windows always takes from itself" >&2
        status=1
    fi
done
# The common-controls 6 manifest must be inside, or the program gets the old controls.
if ! grep -aq 'Microsoft.Windows.Common-Controls' "$exe"; then
    echo "$exe carries no common-controls manifest" >&2
    status=1
fi
[ $status = 0 ] && echo "imports: $(echo $imports | tr '\n' ' ')"
exit $status
