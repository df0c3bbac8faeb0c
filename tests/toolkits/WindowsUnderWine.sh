#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual display of its own (Xvfb), in a private Wine
# prefix ($WINEPREFIX) made on first use, whose windows Wine frames itself (no window manager runs).
# With QUENDRA_WINDOW_PICTURES naming a folder, the pictures the program saves there as bitmaps
# become PNG files (docs/windows/win32 holds them).
# Usage: WindowsUnderWine.sh <wine> <program.exe> [arguments...]
# SPDX-License-Identifier: Apache-2.0
set -euo pipefail
wine=$1
shift
winebin=$(dirname "$wine")
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$winebin/wineboot" -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    "$winebin/wineserver" -w
fi
# A display number no other X server holds.
display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
stop() {
    "$winebin/wineserver" -k 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
}
trap stop EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display}" ] && break; sleep 0.1; done
export DISPLAY=":$display"
pictures=${QUENDRA_WINDOW_PICTURES:-}
if [ -n "$pictures" ]; then
    mkdir -p "$pictures"
    QUENDRA_WINDOW_PICTURES=$("$winebin/winepath" -w "$pictures")
    export QUENDRA_WINDOW_PICTURES
fi
status=0
"$wine" "$@" || status=$?
if [ -n "$pictures" ]; then
    shopt -s nullglob
    bitmaps=("$pictures"/*.bmp)
    if [ ${#bitmaps[@]} -gt 0 ]; then python3 "$(dirname "$0")/BitmapToPng.py" "${bitmaps[@]}"; fi
fi
exit $status
