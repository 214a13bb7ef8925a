#!/usr/bin/env bash
# Proves that PlayWave's sounds reach a sound server whole. Starts a private PulseAudio server
# whose only output is a sink writing into a pipe, records that while playwave_probe plays a
# script of sounds through the real PlayWave, then measures every burst of sound in the
# recording. Exit 0: all heard as expected; 1: not; 77: cannot be tried here (SKIP).
#
#   bash run.sh PATH/TO/playwave_probe
set -u

probe=${1:-}
if [ ! -x "$probe" ]; then
    echo "usage: run.sh PATH/TO/playwave_probe" >&2
    exit 2
fi

skip() {
    echo "SKIP: $*"
    exit 77
}

for tool in pulseaudio pactl sox timeout mkfifo; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (packages pulseaudio pulseaudio-utils sox)"
done

# The server's socket lives in here, and socket paths may not be much longer than 100 bytes.
base=${TMPDIR:-/tmp}
[ "${#base}" -le 60 ] || base=/tmp
work=$(mktemp -d "$base/vellumi-sound.XXXXXX") || skip "cannot make a temporary folder"
server_pid=
recorder_pid=

stop_process() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || return 0
    timeout 5 tail --pid="$1" -f /dev/null 2>/dev/null || kill -KILL "$1" 2>/dev/null
}

cleanup() {
    stop_process "$recorder_pid"
    stop_process "$server_pid"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    for log in probe.log server.log; do
        [ -s "$work/$log" ] && { echo "--- $log"; tail -n 20 "$work/$log"; }
    done
    exit 1
}

# The server, its clients and their settings all live in $work, so this neither sees nor
# disturbs a desktop's own sound, and runs alike as root in CI or as a developer.
export XDG_RUNTIME_DIR="$work/run" HOME="$work/home"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
socket="$XDG_RUNTIME_DIR/pulse/native"
unset PULSE_SINK PULSE_SOURCE PULSE_COOKIE PULSE_CLIENTCONFIG
# It must not announce itself on a desktop's session bus either, nor start one through X11.
unset DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY

# The sink writes what it plays into a pipe, in real time: exactly what a sound card would be
# given. (A null sink's monitor is no use here: the server rewinds the sink to mix a new stream
# in at once, and the monitor, which has already passed those milliseconds on, loses the first
# few of every sound, whoever plays it.)
mkfifo "$work/sink.fifo" || skip "cannot make a pipe"
timeout 50 cat "$work/sink.fifo" >"$work/rec.raw" &
recorder_pid=$!

env -u PULSE_SERVER pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --realtime=no --high-priority=no --log-target=stderr \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$socket" \
    --load="module-pipe-sink sink_name=vellumi_pipe file=$work/sink.fifo format=s16le rate=44100 channels=1 use_system_clock_for_timing=yes" \
    </dev/null >"$work/server.log" 2>&1 &
server_pid=$!
export PULSE_SERVER="unix:$socket"

deadline=$((SECONDS + 10))
until timeout 2 pactl info >/dev/null 2>&1; do
    if ! kill -0 "$server_pid" 2>/dev/null || [ "$SECONDS" -ge "$deadline" ]; then
        echo "--- server.log"
        tail -n 20 "$work/server.log"
        skip "no PulseAudio server could be started here"
    fi
    sleep 0.2
done
timeout 5 pactl set-default-sink vellumi_pipe || fail "the pipe sink is missing"
kill -0 "$recorder_pid" 2>/dev/null || fail "nothing reads the sink's pipe"

# Tones without any padding of their own: whatever keeps them whole must be PlayWave's doing.
tone() { # FILE SECONDS HZ SOX-OUTPUT-OPTIONS...
    local file=$1 seconds=$2 hz=$3
    shift 3
    timeout 10 sox -D -n "$@" "$work/$file" synth "$seconds" sine "$hz" vol 0.5 || fail "sox cannot make $file"
}
tone click.wav 0.12 1000 -r 44100 -b 16 -c 1
tone click8.wav 0.12 1000 -r 22050 -b 8 -e unsigned-integer -c 1
tone click48s.wav 0.12 1000 -r 48000 -b 16 -c 2
tone click8k.wav 0.12 1000 -r 8000 -b 16 -c 1
tone click32k8s.wav 0.12 1000 -r 32000 -b 8 -e unsigned-integer -c 2
tone long.wav 10 440 -r 44100 -b 16 -c 1
tone tone200.wav 0.2 600 -r 44100 -b 16 -c 1
tone tick.wav 0.015 2000 -r 44100 -b 16 -c 1
timeout 10 sox -D "$work/click.wav" "$work/padded.wav" pad 0 0.3 || fail "sox cannot pad the click"

# Every sound is followed by a pause long enough to end a burst in the analysis below; the
# expected bursts are listed in the same order further down.
w=$work
rapid=()
for i in $(seq 30); do
    case $((i % 3)) in
        0) rapid+=(play "$w/click8.wav") ;;
        1) rapid+=(play "$w/click48s.wav") ;;
        2) rapid+=(play "$w/long.wav") ;;
    esac
done
timeout 25 "$probe" \
    play "$w/click.wav" wait 700 \
    play "$w/padded.wav" wait 700 \
    play "$w/missing.wav" wait 700 \
    play "$w/click8.wav" wait 700 \
    play "$w/click48s.wav" wait 700 \
    play "$w/click8k.wav" wait 700 \
    play "$w/click32k8s.wav" wait 700 \
    play "$w/tick.wav" wait 700 \
    copy "$w/tone200.wav" "$w/move.wav" play "$w/move.wav" wait 700 \
    remove "$w/move.wav" play "$w/move.wav" wait 700 \
    copy "$w/click.wav" "$w/move.wav" play "$w/move.wav" wait 700 \
    play "$w/long.wav" wait 500 play "$w/click.wav" wait 700 \
    "${rapid[@]}" play "$w/click.wav" wait 1000 \
    >"$work/probe.log" 2>&1
status=$?
[ "$status" -eq 124 ] && fail "playwave_probe did not finish within 25 s"
[ "$status" -eq 0 ] || fail "playwave_probe exited with status $status"
sleep 0.3
# The pipe closes when the server ends, and the recorder with it.
stop_process "$server_pid"
server_pid=
timeout 5 tail --pid="$recorder_pid" -f /dev/null
recorder_pid=

# A burst is sound louder than -36 dBFS, ended by 150 ms below that. For each, in ms: its length
# from first to last loud sample, the longest quiet stretch inside it (a dropout), and the
# length of its last stretch without a quiet of over 5 ms (the sound that ended it).
timeout 10 sox -t raw -r 44100 -e signed -b 16 -c 1 "$work/rec.raw" -t dat - 2>/dev/null | awk '
    function report() {
        printf "%.1f %.1f %.1f\n", (last - first + sample) * 1000, gap * 1000, (last - segment + sample) * 1000
    }
    BEGIN { sample = 1 / 44100 }
    /^;/ { next }
    {
        t = $1; v = $2 < 0 ? -$2 : $2
        if (v < 0.016) next
        if (n == 0 || t - last > 0.15) {
            if (n > 0) report()
            n++; first = t; segment = t; gap = 0
        } else {
            if (t - last > gap) gap = t - last
            if (t - last > 0.005) segment = t
        }
        last = t
    }
    END { if (n > 0) report() }
' >"$work/bursts.txt" || fail "sox cannot read the recording"

# label | shortest and longest acceptable burst, ms | shortest acceptable last sound, ms |
# longest acceptable dropout, ms. A "-" checks nothing: when one sound cuts off another, the
# server may take a few tens of milliseconds to start the new one, and of quick calls in a row
# a few milliseconds of each may get out before the next call cuts it off.
expected=(
    "120 ms click, 16-bit 44.1 kHz mono|115|130|-|2"
    "120 ms click padded with 300 ms of silence|115|130|-|2"
    "120 ms click, 8-bit 22.05 kHz mono|115|130|-|2"
    "120 ms click, 16-bit 48 kHz stereo|115|130|-|2"
    "120 ms click, 16-bit 8 kHz mono|115|130|-|2"
    "5th format in a row, converted: 8-bit 32 kHz|115|130|-|2"
    "15 ms tick, shorter than the sink's buffer|14|20|-|2"
    "200 ms tone copied to move.wav|195|210|-|2"
    "click copied to move.wav after it was deleted|115|130|-|2"
    "10 s tone cut off after 500 ms by a click|560|760|115|-"
    "click after 30 calls in a row|115|400|115|-"
)
mapfile -t bursts <"$work/bursts.txt"
failures=0
for i in "${!expected[@]}"; do
    IFS='|' read -r label low high lastlow maxgap <<<"${expected[$i]}"
    read -r length gap lastpart <<<"${bursts[$i]:-0 0 0}"
    verdict=ok
    if awk -v l="$length" -v g="$gap" -v p="$lastpart" -v lo="$low" -v hi="$high" -v pl="$lastlow" -v mg="$maxgap" \
        'BEGIN { exit !(l < lo || l > hi || (pl != "-" && p < pl) || (mg != "-" && g > mg)) }'; then
        verdict="FAILED (wanted $low-$high ms, last sound from $lastlow ms, dropouts up to $maxgap ms)"
        failures=$((failures + 1))
    fi
    printf '%-46s heard %6.1f ms, last sound %6.1f ms, longest dropout %5.1f ms  %s\n' \
        "$label" "$length" "$lastpart" "$gap" "$verdict"
done
if [ "${#bursts[@]}" -ne "${#expected[@]}" ]; then
    echo "heard ${#bursts[@]} bursts, expected ${#expected[@]} (a missing or deleted file must give silence)"
    failures=$((failures + 1))
fi
slowest=$(awk '/play at/ { if ($7 > m) m = $7 } END { print m + 0 }' "$work/probe.log")
echo "slowest PlayWave call: $slowest us"
[ "$failures" -eq 0 ] || fail "$failures of the sound checks failed"
echo "real sound: every sound heard whole"
