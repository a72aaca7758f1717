#!/usr/bin/env bash
# Installs what is missing, builds, and starts Pinova under Wine with build/app/ as
# its program folder, inside Wine's virtual desktop with its taskbar, so the tray
# icon, the taskbar buttons and the notes are on one screen. Without a display it
# starts a virtual one and says how to look at it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/common.sh

had_display=${DISPLAY:-}
prepare
trap 'stop_display' EXIT
if [ -z "$had_display" ]; then
    log "Pinova runs on the virtual display $DISPLAY; to see it:"
    log "    DISPLAY=$DISPLAY import -window root shot.png"
fi
log "starting Pinova in the virtual desktop ($PINOVA_DESKTOP_SIZE)"
# The program folder is the program's own: its notes land in build/app/.
wine64 explorer "/desktop=$PINOVA_DESKTOP,$PINOVA_DESKTOP_SIZE" build/app/pinova.exe
