#!/usr/bin/env bash
# Installs what is missing, builds, and starts Pinova under Wine with build/app/ as
# its program folder. Without a display it starts a virtual one.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

prepare
trap 'stop_display' EXIT
log "starting Pinova (DISPLAY=$DISPLAY)"
wine64 build/app/pinova.exe
