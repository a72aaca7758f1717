#!/usr/bin/env bash
# Builds build/pinova-<version>-win64.zip: pinova.exe and the users' read-me.
# The version is the one of the version resource (resources/version.h); the archive
# carries its first three numbers, as the program's title does.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

PACKAGES+=(zip binutils-mingw-w64-x86-64)
install_packages
build

full=$(sed -n 's/^#define PINOVA_VERSION_TEXT "\([0-9.]*\)"$/\1/p' resources/version.h)
version=${full%.*}
[ -n "$version" ] || { log "no version in resources/version.h"; exit 1; }

exe=build/app/pinova.exe
scripts/check_imports.sh "$exe"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
cp "$exe" "$stage/pinova.exe"
# Windows users open the read-me with Notepad: CRLF line ends.
sed 's/$/\r/' resources/ReadMe.txt > "$stage/ReadMe.txt"
archive="$PWD/build/pinova-$version-win64.zip"
rm -f "$archive"
(cd "$stage" && zip -q -X "$archive" pinova.exe ReadMe.txt)
log "built $archive"
