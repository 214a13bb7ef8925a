#!/usr/bin/env bash
# Proves that SoundPlayer's sounds reach a sound server whole. Starts a private PulseAudio server
# whose only output is a sink writing into a pipe, records that while playwave_probe plays a
# script of test sounds through the real SoundPlayer, then measures every burst of sound in the
# recording. Exit 0: all heard as expected; 1: not; 77: cannot be
# tried here (SKIP).
#
#   bash run.sh PATH/TO/playwave_probe
set -u

probe=${1:-}
[ -x "$probe" ] || { echo "usage: run.sh PATH/TO/playwave_probe" >&2; exit 2; }

skip() { echo "SKIP: $*"; exit 77; }

for tool in pulseaudio pactl sox python3 timeout mkfifo; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (packages pulseaudio pulseaudio-utils sox)"
done

# The server's socket lives in here, and socket paths may not be much longer than 100 bytes.
base=${TMPDIR:-/tmp}
[ "${#base}" -le 60 ] || base=/tmp
work=$(mktemp -d "$base/vellumi-sound.XXXXXX") || skip "cannot make a temporary folder"
recorder_pid=

stop_process() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || return 0
    timeout 5 tail --pid="$1" -f /dev/null 2>/dev/null || kill -KILL "$1" 2>/dev/null
}

stop_server() { stop_process "$(cat "$work/server.pid" 2>/dev/null)"; }

cleanup() { stop_server; stop_process "$recorder_pid"; rm -rf "$work"; }
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

fail() {
    echo "FAIL: $*"
    for log in probe.log server.log; do [ -s "$work/$log" ] && { echo "--- $log"; tail -n 20 "$work/$log"; }; done
    exit 1
}

# The server, its clients and their settings all live in $work, so this neither sees nor
# disturbs a desktop's own sound, and runs alike as root in CI or as a developer. It must not
# announce itself on a desktop's session bus either, nor start one through X11.
export work XDG_RUNTIME_DIR="$work/run" HOME="$work/home" PULSE_SERVER="unix:$work/run/pulse/native"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME"
unset PULSE_SINK PULSE_SOURCE PULSE_COOKIE PULSE_CLIENTCONFIG DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY

# The sink writes what it plays into a pipe, in real time: exactly what a sound card would be
# given. (A null sink's monitor is no use here: the server rewinds the sink to mix a new stream
# in at once, and the monitor, which has already passed those milliseconds on, loses the first
# few of every sound, whoever plays it.) The recorder holds the pipe open for writing as well,
# so that the recording goes on when the server is restarted.
mkfifo "$work/sink.fifo" || skip "cannot make a pipe"
timeout 90 cat <>"$work/sink.fifo" >"$work/rec.raw" &
recorder_pid=$!

pipe_sink() { # NAME
    echo "sink_name=$1 file=$work/sink.fifo format=s16le rate=44100 channels=1 use_system_clock_for_timing=yes"
}

# Also run from the probe's script, to bring the server back after stop_server.
start_server() {
    env -u PULSE_SERVER pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --realtime=no --high-priority=no --log-target=stderr \
        --load="module-native-protocol-unix auth-anonymous=1 socket=${PULSE_SERVER#unix:}" \
        --load="module-pipe-sink $(pipe_sink vellumi_pipe)" \
        </dev/null >>"$work/server.log" 2>&1 &
    echo $! >"$work/server.pid"
    local deadline=$((SECONDS + 10))
    until timeout 2 pactl info >/dev/null 2>&1; do
        kill -0 "$(cat "$work/server.pid")" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
    timeout 5 pactl set-default-sink vellumi_pipe
}
export -f stop_process stop_server start_server pipe_sink

start_server || { tail -n 20 "$work/server.log"; skip "no PulseAudio server could be started here"; }

# The script for the probe, and the bursts of sound it should give in the same order: label |
# shortest and longest acceptable burst, ms | shortest acceptable last sound, ms | longest
# acceptable dropout, ms. A "-" checks nothing: when one sound cuts off another, the server may
# take a few tens of milliseconds to start the new one, and of quick calls in a row a few
# milliseconds of each may get out before the next call cuts it off. Every sound is followed by
# a pause long enough to end a burst in the analysis below.
w=$work
steps=()
expected=()
tone() { # NAME SECONDS HZ RATE CHANNELS ENCODING: a sine at half scale, no padding of its own
    local -A encodings=([pcm16]="signed 16" [u8]="unsigned 8" [pcm24]="signed 24" [pcm32]="signed 32"
        [float]="floating-point 32" [ima]="ima-adpcm 4" [ms]="ms-adpcm 4" [ulaw]="u-law 8" [alaw]="a-law 8")
    local encoding bits
    read -r encoding bits <<<"${encodings[$6]}"
    sox -D -n -r "$4" -c "$5" -e "$encoding" -b "$bits" "$w/$1" synth "$2" sine "$3" vol 0.5 || fail "sox cannot write $1"
}
for kind in "44100 1 pcm16" "22050 1 u8" "48000 2 float" "44100 1 ima" "22050 2 ms" "8000 1 ulaw" \
    "11025 2 alaw" "96000 2 pcm24" "32000 1 pcm32"; do
    read -r rate channels encoding <<<"$kind"
    tone "$encoding-$rate-$channels.wav" 0.12 1000 $kind
    steps+=(play "$w/$encoding-$rate-$channels.wav" wait 600)
    expected+=("120 ms click, $encoding $rate Hz, $channels channel(s)|115|130|-|2")
done
# A header may promise more than the file holds (here FLAC's count of samples, in bytes 21 to 25):
# what it holds is heard, and then the sound ends.
tone lying.flac 0.12 1000 44100 1 pcm16 2>/dev/null
python3 -c 'import sys; d = bytearray(open(sys.argv[1], "rb").read()); assert d[:4] == b"fLaC"
d[21] &= 0xF0; d[22:26] = (441000).to_bytes(4, "big"); open(sys.argv[1], "wb").write(d)' "$w/lying.flac" || fail "cannot write lying.flac"
steps+=(play "$w/lying.flac" wait 600)
expected+=("120 ms click whose FLAC header promises 10 s|115|130|-|2")
click=$w/pcm16-44100-1.wav
tone tick.wav 0.015 2000 44100 1 pcm16
tone tone200.wav 0.2 600 44100 1 pcm16
tone long.wav 10 440 44100 1 pcm16
# 31 MiB of 8-bit sound at 1 kHz, a 250 Hz square wave: written as it is, as sox would take minutes.
python3 -c 'import sys, wave; f = wave.open(sys.argv[1], "wb"); f.setnchannels(1); f.setsampwidth(1)
f.setframerate(1000); f.writeframes(bytes([64, 64, 192, 192]) * 8126464); f.close()' "$w/big.wav"
# What cannot be played gives silence at once: a pipe is never opened, as that would wait.
head -c 5000 /dev/urandom >"$w/garbage.wav"; : >"$w/empty.wav"; mkfifo "$w/pipe.wav"
steps+=(play "$w/tick.wav" wait 600
    run "cp --remove-destination $w/tone200.wav $w/move.wav" play "$w/move.wav" wait 600
    run "rm $w/move.wav" play "$w/move.wav" wait 600
    play "$w/garbage.wav" play "$w/empty.wav" play "$w/pipe.wav" play "$w" wait 600
    run "cp $click $w/move.wav" play "$w/move.wav" wait 600
    play "$w/long.wav" wait 500 play "$click" wait 600 play "$w/long.wav" wait 300 play "$w/gone.wav" wait 600)
# The tone is decoded after its call returns, so it starts that much later: tens of
# milliseconds, more under sanitizers on a busy machine. Its end is the click's start.
expected+=("15 ms tick, shorter than the sink's buffer|14|20|-|2"
    "200 ms tone copied to move.wav|195|210|-|2"
    "click copied to move.wav after it, garbage and a pipe were silent|115|130|-|2"
    "10 s tone cut off after 500 ms by a click|450|760|115|-"
    "10 s tone cut off after 300 ms by a missing file|150|400|-|-")
for i in $(seq 10); do
    steps+=(play "$w/u8-22050-1.wav" play "$w/float-48000-2.wav" play "$w/long.wav")
done
memory=(run 'grep VmHWM /proc/$PPID/status')
steps+=(play "$click" wait 600 "${memory[@]}" play "$w/big.wav" wait 3000 play "$click" wait 600 "${memory[@]}")
# The big file is decoded after its play() has returned, and heard from then on.
expected+=("click after 30 calls in a row|115|400|115|-"
    "31 MiB 8-bit 1 kHz file cut off 3000 ms after its call|250|3260|115|-")
# A desktop's volume control lists the sound under the game's name and icon, as a game's. The server goes
# away in the middle of it and stays away for seconds, moves meanwhile are silent, and the first
# move after it is back is heard; so is the first after a quick restart.
# The stream opens once the sound is decoded, which a busy machine may take a while to do.
named='for try in $(seq 50); do inputs=$(pactl list sink-inputs); for p in "application.name = \"Vellumi\"" \
    "application.icon_name = \"vellumi\"" "media.role = \"game\""; do grep -qF "$p" <<<"$inputs" || continue 2; done; exit 0; done; exit 1'
steps+=(play "$w/long.wav" run "$named" wait 300 run stop_server play "$click" wait 4500 play "$click" run start_server
    play "$click" wait 600 run stop_server run start_server play "$click" wait 600)
expected+=("10 s tone cut off by the server's end|250|600|-|-"
    "click once the server is back after 5 s|115|130|-|2"
    "click once the server is back at once|115|130|-|2")
# Sound follows the default output: a click while another output is the default is not heard
# here, the next one after this is the default again is. Then the output in use goes and
# another takes its place. Once the sound has played out, no stream stays open.
steps+=(run 'pactl load-module module-null-sink sink_name=quiet >/dev/null && pactl set-default-sink quiet'
    play "$click" wait 600 run 'pactl set-default-sink vellumi_pipe && pactl unload-module module-null-sink'
    play "$click" wait 600
    run 'pactl unload-module module-pipe-sink && pactl load-module module-pipe-sink "$(pipe_sink other)" >/dev/null'
    wait 300 play "$click" wait 1500 run '[ -z "$(pactl list short sink-inputs)" ]')
# The program ends in the middle of decoding nine hours of silence as IMA ADPCM, which takes
# libsndfile a few hundred milliseconds, three times as long as plain samples.
python3 -c 'import struct, sys; blocks = 64000; f = open(sys.argv[1], "wb")
f.write(b"RIFF" + struct.pack("<I", 52 + blocks * 256) + b"WAVEfmt " + struct.pack("<IHHIIHHHH", 20, 0x11, 1, 1000, 507, 256, 4, 2, 505)
    + b"fact" + struct.pack("<II", 4, blocks * 505) + b"data" + struct.pack("<I", blocks * 256) + bytes(blocks * 256))' "$w/quiet.wav"
steps+=(play "$w/quiet.wav")
expected+=("click once the default output is back|115|130|-|2"
    "click on another output|115|130|-|2")

timeout 60 "$probe" "${steps[@]}" >"$work/probe.log" 2>&1
status=$?
[ "$status" -eq 124 ] && fail "playwave_probe did not finish within 60 s"
[ "$status" -eq 0 ] || fail "playwave_probe exited with status $status (a run step failed: see probe.log)"
stop_server
sleep 0.3
stop_process "$recorder_pid"
recorder_pid=

# A burst is sound louder than -36 dBFS, ended by 150 ms below that. For each, in ms: its length
# from first to last loud sample, the longest quiet stretch inside it (a dropout), and the
# length of its last stretch without a quiet of over 5 ms (the sound that ended it); and its
# loudest sample, full scale 1: every sound here is at half scale (a square wave resampled
# overshoots a little), so much more is sound corrupted.
timeout 10 sox -t raw -r 44100 -e signed -b 16 -c 1 "$work/rec.raw" -t dat - 2>/dev/null | awk '
    function report() {
        printf "%.1f %.1f %.1f %.2f\n", (last - first + sample) * 1000, gap * 1000, (last - segment + sample) * 1000, peak
    }
    BEGIN { sample = 1 / 44100 }
    /^;/ { next }
    {
        t = $1; v = $2 < 0 ? -$2 : $2
        if (v < 0.016) next
        if (n == 0 || t - last > 0.15) {
            if (n > 0) report()
            n++; first = t; segment = t; gap = 0; peak = 0
        } else {
            if (t - last > gap) gap = t - last
            if (t - last > 0.005) segment = t
        }
        last = t; if (v > peak) peak = v
    }
    END { if (n > 0) report() }
' >"$work/bursts.txt" || fail "sox cannot read the recording"

mapfile -t bursts <"$work/bursts.txt"
failures=0
for i in "${!expected[@]}"; do
    IFS='|' read -r label low high lastlow maxgap <<<"${expected[$i]}"
    read -r length gap lastpart peak <<<"${bursts[$i]:-0 0 0 0}"
    verdict=ok
    awk -v l="$length" -v g="$gap" -v p="$lastpart" -v lo="$low" -v hi="$high" -v pl="$lastlow" -v mg="$maxgap" -v pk="$peak" \
        'BEGIN { exit !(l < lo || l > hi || (pl != "-" && p < pl) || (mg != "-" && g > mg) || pk > 0.8) }' &&
        verdict="FAILED (wanted $low-$high ms, last sound from $lastlow ms, dropouts up to $maxgap ms, peak at most 0.8)" &&
        failures=$((failures + 1))
    printf '%-46s heard %6.1f ms, last sound %6.1f ms, longest dropout %5.1f ms, peak %s  %s\n' \
        "$label" "$length" "$lastpart" "$gap" "$peak" "$verdict"
done
[ "${#bursts[@]}" -eq "${#expected[@]}" ] || {
    echo "heard ${#bursts[@]} bursts, expected ${#expected[@]} (a missing or deleted file must give silence)"
    failures=$((failures + 1)); }
# Generous bounds, for a loaded machine: the benchmark has the real figures.
slowest=$(awk '/play at/ { if ($7 > m) m = $7 } END { print m + 0 }' "$work/probe.log")
gone=$(awk '/player gone after/ { print $4 }' "$work/probe.log")
echo "slowest play call (the big file's included): $slowest us; the player went in ${gone:-?} us"
[ "$slowest" -le 50000 ] || { echo "a play call took over 50 ms"; failures=$((failures + 1)); }
[ "${gone:-999999}" -le 100000 ] || { echo "the program's end waited over 100 ms"; failures=$((failures + 1)); }
# The 31 MiB file would decode to 124 MiB of samples; only 64 are kept.
read -r before after <<<"$(awk '/VmHWM/ { printf "%s ", $2 }' "$work/probe.log")"
grown=$((${after:-999999} - ${before:-0}))
echo "the 31 MiB file took $grown kB of memory"
[ "$grown" -le $((80 * 1024)) ] || { echo "over 80 MiB"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] || fail "$failures of the sound checks failed"
echo "real sound: every sound heard whole"
