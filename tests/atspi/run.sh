#!/usr/bin/env bash
# A few moves played as a screen reader plays them, over the real accessibility bus: the game
# in a private X server and a private D-Bus session with at-spi2-core. Exit 77 (skipped) where
# those cannot be had.
#
#   bash run.sh PATH/TO/tessra
set -u
game=${1:?usage: run.sh PATH/TO/tessra}
for tool in xvfb-run dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null 2>&1 || { echo "SKIP: $tool is not installed"; exit 77; }
done
# Debian's own Python carries the accessibility bindings.
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "SKIP: python3-pyatspi is not installed"; exit 77; }
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# Settings and own pictures of the test's own, never the player's.
export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_STATE_HOME=$home/state XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
# A display number of this run's own to start from: two xvfb-run -a starting at once can both
# take the first free one.
xvfb-run -a -n $((200 + $$ % 500)) -s '-screen 0 1024x768x24' dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/play.py" "$game" -- --mute
