#!/usr/bin/env bash
# Photographs the game's window after the opening fade, under a private X server.
#   bash screenshot.sh PATH/TO/tessra OUT.png
# VELLUMI_SCREEN overrides the virtual screen (default 1024x768x24); the environment passes
# through, so QT_SCALE_FACTOR=2 gives the HiDPI picture.
set -euo pipefail

if [ "${1:-}" != --in-x ]; then
    [ $# -eq 2 ] || { echo "usage: screenshot.sh PATH/TO/tessra OUT.png" >&2; exit 2; }
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || { echo "screenshot: $tool is needed (packages xvfb xdotool imagemagick)" >&2; exit 1; }
    done
    exec timeout 90 xvfb-run -a -s "-screen 0 ${VELLUMI_SCREEN:-1024x768x24}" bash "$0" --in-x "$@"
fi

game=$2 out=$3
source "$(dirname "$0")/xgame.sh"
export QT_QPA_PLATFORM=xcb
# A home of its own, so that no game kept by the player comes back into the picture.
home=$(mktemp -d)
XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state "$game" &
pid=$!
trap 'xgame_kill "$pid"; rm -rf "$home"' EXIT
window=$(xgame_wait_window "$pid") || { echo "screenshot: no window titled Vellumi appeared" >&2; exit 1; }
xgame_wait_fade
mkdir -p "$(dirname "$out")"
# Stripped of colour-space notes and time stamps, which add bytes and change on every run.
import -window "$window" -strip -define png:compression-level=9 -define png:exclude-chunks=date,time "$out"
xgame_quit "$window" "$pid" || true
echo "screenshot: $out ($(identify -format '%wx%h' "$out"))"
