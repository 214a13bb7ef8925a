#!/usr/bin/env bash
# Installs the build into a fresh prefix, checks the installed tree, and starts the game from
# it the way a user would, through bin/tessra, under a private X server: its window must
# appear, and the exit command must end it with status 0. A game that finds no data beside
# itself (say, because the link in bin/ was followed to the wrong folder) ends with status 1.
#   bash run.sh PATH/TO/cmake PATH/TO/build
# Exit 0: passed; 1: failed; 77: cannot be tried here (SKIP).
set -u

if [ "${1:-}" = --in-x ]; then
    source "$(dirname "$0")/../../packaging/xgame.sh"
    # From / and with a bare command name, so nothing can be found through the working folder.
    cd /
    PATH="$2/bin:$PATH" tessra &
    pid=$!
    trap 'xgame_kill "$pid"' EXIT
    window=$(xgame_wait_window "$pid") \
        || { wait "$pid"; echo "FAIL: no window titled Vellumi appeared; exit status $?"; exit 1; }
    xgame_wait_fade
    xgame_quit "$window" "$pid" || { echo "FAIL: the exit command did not end the game"; exit 1; }
    wait "$pid" || { echo "FAIL: the game ended with status $?"; exit 1; }
    trap - EXIT
    exit 0
fi

cmake=${1:?usage: run.sh PATH/TO/cmake PATH/TO/build}
build=${2:?usage: run.sh PATH/TO/cmake PATH/TO/build}
type -P xvfb-run xdotool timeout >/dev/null \
    || { echo "SKIP: xvfb-run, xdotool or timeout is not installed (packages xvfb, xdotool)"; exit 77; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vellumi-install.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Staged installs, as packagers do, must leave nothing outside the staging folder.
DESTDIR=$work/stage timeout 60 "$cmake" --install "$build" --prefix /opt/vellumi >/dev/null \
    || fail "cmake --install with DESTDIR failed"
[ -x "$work/stage/opt/vellumi/lib/vellumi/tessra" ] || fail "DESTDIR install has no lib/vellumi/tessra"

prefix=$work/prefix
timeout 60 "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 \
    || { cat "$work/install.log"; echo "FAIL: cmake --install failed"; exit 1; }

[ "$(readlink "$prefix/bin/tessra")" = ../lib/vellumi/tessra ] \
    || fail "bin/tessra is not the relative link ../lib/vellumi/tessra"
[ -x "$prefix/lib/vellumi/tessra" ] || fail "lib/vellumi/tessra is missing or not executable"
# Every picture the count promises must be there, numbered from 1 without leading zeros.
count=$(tr -dc '0-9' <"$prefix/lib/vellumi/image/picture.txt")
[ "${count:-0}" -ge 1 ] || fail "lib/vellumi/image/picture.txt holds no count"
for file in lib/vellumi/move.wav lib/vellumi/readme.txt $(seq -f 'lib/vellumi/image/angle%g.jpg' "${count:-0}") \
    share/applications/vellumi.desktop share/metainfo/org.example.Vellumi.metainfo.xml \
    share/icons/hicolor/scalable/apps/vellumi.svg share/man/man6/tessra.6.gz share/doc/vellumi/copyright; do
    [ -s "$prefix/$file" ] || fail "$file is missing or empty"
done
# An icon in the wrong size folder is ignored or scaled by the desktop.
command -v identify >/dev/null && for size in 16 22 24 32 48 64 128 256; do
    got=$(identify -format '%wx%h' "$prefix/share/icons/hicolor/${size}x$size/apps/vellumi.png" 2>/dev/null)
    [ "$got" = "${size}x$size" ] || fail "the ${size} px icon is $got"
done

# The command line answers with no display at all, and a display that cannot be opened is one
# line on standard error and status 1, not Qt's abort.
expect() { # STATUS STDERR ARGS...: exit status and all that standard error says (nothing: text on stdout)
    local status=$1 said=$2 got
    timeout 10 env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "${@:3}" >"$work/out" 2>"$work/err"
    got=$?
    [ "$got" -eq "$status" ] && [ "$(cat "$work/err")" = "$said" ] && { [ -n "$said" ] || [ -s "$work/out" ]; } \
        || fail "${*:3}: status $got, stderr: $(head -c 300 "$work/err")"
}
expect 0 '' "$prefix/bin/tessra" --help
expect 0 '' "$prefix/bin/tessra" -platform offscreen --version # Qt's own options have one dash
expect 2 "tessra: Unknown option 'bogus'. Usage: tessra [--mute] [--help | --version]" "$prefix/bin/tessra" --bogus
unset_display='no display to open (DISPLAY is not set)'
expect 1 "tessra: $unset_display; 无法连接显示器" "$prefix/bin/tessra"
expect 1 "tessra: cannot open the X display ':9997'; 无法连接显示器" env DISPLAY=:9997 "$prefix/bin/tessra"
expect 1 "tessra: cannot open the Wayland display 'vellumi-none', $unset_display; 无法连接显示器" \
    env WAYLAND_DISPLAY=vellumi-none QT_QPA_PLATFORM='wayland;xcb' "$prefix/bin/tessra"
# A message names a file by where it really lies: beside the program, not through the link.
count_file=$(realpath "$prefix/lib/vellumi/image/picture.txt")
mv "$count_file" "$work/count"
expect 1 "tessra: 找不到文件：$count_file" env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" "$prefix/bin/tessra"
mv "$work/count" "$count_file"
[ "$failures" -eq 0 ] || exit 1

timeout 60 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" --in-x "$prefix" \
    || { [ $? -eq 124 ] && echo "FAIL: the run under Xvfb did not finish within 60 s"; exit 1; }
echo "PASS: installed into a fresh prefix, started from bin/tessra, left through the menu with status 0"
