#!/usr/bin/env bash
# Fails unless the program imports nothing but DLLs that every Windows has, so that
# pinova.exe runs on its own, with no DLL beside it.
set -euo pipefail
exe=$1
objdump=x86_64-w64-mingw32-objdump
system_dlls='^(advapi32|comctl32|comdlg32|gdi32|kernel32|msimg32|msvcrt|ole32|oleaut32|shell32|user32|uxtheme|version|shlwapi|imm32|winmm)\.dll$'
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || { echo "no imports read from $exe" >&2; exit 1; }
status=0
for dll in $imports; do
    if ! [[ $dll =~ $system_dlls ]]; then
        echo "$exe imports $dll, which is not part of Windows" >&2
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
