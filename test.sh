#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under Wine on a virtual
# display, once with the Western (1252) and once with the Korean (949) code page.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

prepare with-peer
trap 'stop_wine; stop_display' EXIT

status=0
for locale in en_US.UTF-8 ko_KR.UTF-8; do
    log "tests with LC_ALL=$locale"
    (cd build && LC_ALL=$locale ctest --output-on-failure "$@") || status=1
done
exit $status
