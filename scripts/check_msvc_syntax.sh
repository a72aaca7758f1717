#!/usr/bin/env bash
# Parses every source with clang in MSVC mode (_MSC_VER defined, Microsoft
# compatibility rules, the MSVC target) against the mingw-w64 headers, warnings as
# errors. It is no Visual C++ build: clang's warnings stand in for MSVC's /W4
# (unreachable code C4702, lossy conversions C4244/C4267, shadowed names C4456-C4459), the
# headers are mingw's (which need __GNUC__ and __declspec as GCC has them, so clang
# also claims to be GCC 12) and the standard library is mingw's libstdc++. It
# catches code that only GCC takes, MSVC's parsing rules and what clang's warnings
# see; it cannot see what only the Windows SDK's headers mark deprecated (mingw's
# do not mark GetVersionExA, say), and clang obeys "#pragma GCC", which MSVC
# rejects as unknown: keep those guarded.
# Usage: scripts/check_msvc_syntax.sh [files...]   (default: every tracked .cpp)
# EXTRA_FLAGS adds clang options.
set -euo pipefail
cd "$(dirname "$0")/.."

clang=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clang" ]; then echo "clang++ is not installed" >&2; exit 2; fi
gcc_inc=$(ls -d /usr/lib/gcc/x86_64-w64-mingw32/*-posix/include | head -n1)
clang_inc=$("$clang" -print-resource-dir)/include
gtest_inc=/usr/src/googletest/googletest/include

files=("$@")
if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(git ls-files '*.cpp')
fi

status=0
for f in "${files[@]}"; do
    "$clang" --target=x86_64-pc-windows-msvc -fms-compatibility -fms-extensions -fgnuc-version=12 \
        -std=gnu++20 -fsyntax-only -nostdinc '-D__declspec(x)=__attribute__((x))' \
        -isystem "$gcc_inc/c++" -isystem "$gcc_inc/c++/x86_64-w64-mingw32" -isystem "$clang_inc" \
        -isystem /usr/share/mingw-w64/include -isystem "$gtest_inc" \
        -I . -D NOMINMAX -D WINVER=0x0601 -D _WIN32_WINNT=0x0601 -D _WIN32_IE=0x0800 -D STRICT \
        -D _CRT_SECURE_NO_WARNINGS -Wall -Wextra -Werror -Wunreachable-code -Wimplicit-int-conversion \
        -Wshorten-64-to-32 -Wfloat-conversion -Wshadow ${EXTRA_FLAGS:-} "$f" || { echo "FAILED: $f" >&2; status=1; }
done
[ $status = 0 ] && echo "parsed ${#files[@]} files in MSVC mode without a warning"
exit $status
