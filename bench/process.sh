#!/usr/bin/env bash
# Whole-process figures, the game beside a bare Qt window from the same toolchain, in one run:
#   - start-up: from just before the program is started to the moment the X server maps its
#     window (the first MapNotify of a top-level window, which is when xdotool --onlyvisible
#     would first find it);
#   - resident memory (VmRSS) 2 s after the start.
# Both programs are started alternately, RUNS times each (default 15), on one private Xvfb
# server with no window manager, and the medians are printed with their ratio.
#
#   bash bench/process.sh BUILD_FOLDER            # uses BUILD_FOLDER/tessra, BUILD_FOLDER/bench/bare_window
#   bash bench/process.sh TESSRA BARE_WINDOW
#   RUNS=20 bash bench/process.sh BUILD_FOLDER
#
# How the moment is taken: a watcher connects to the X server before each start and asks for
# the root window's SubstructureNotify events, so the server tells it as it maps any top-level
# window. The watcher reads the monotonic clock just before starting the program and again
# when the MapNotify arrives; it sleeps in select() on the X connection, so the figure is late
# only by one wake-up (well under a millisecond on an idle machine), not by a polling period.
# Mapping precedes the first frame by the Expose round trip, a millisecond or two for either
# program. Nothing is built here.
set -u

if [ $# -eq 1 ]; then
    tessra=$1/tessra
    bare=$1/bench/bare_window
elif [ $# -eq 2 ]; then
    tessra=$1
    bare=$2
else
    echo "usage: process.sh BUILD_FOLDER | process.sh TESSRA BARE_WINDOW" >&2
    exit 2
fi
# The programs are started from another folder, so relative names must not stay relative.
tessra=$(realpath -- "$tessra")
bare=$(realpath -- "$bare")
for exe in "$tessra" "$bare"; do
    [ -x "$exe" ] || { echo "not an executable: $exe" >&2; exit 2; }
done
for tool in Xvfb python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "$tool is not installed" >&2; exit 2; }
done

work=$(mktemp -d) || exit 1
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# -displayfd picks a free display and names it once the server accepts connections.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1; }

DISPLAY=:$(head -n1 "$work/display") QT_QPA_PLATFORM=xcb RUNS=${RUNS:-15} \
    python3 - "$tessra" "$bare" <<'PYTHON'
import ctypes, os, select, signal, statistics, subprocess, sys, time

xcb = ctypes.CDLL("libxcb.so.1")
libc = ctypes.CDLL("libc.so.6")
vp, u32 = ctypes.c_void_p, ctypes.c_uint32

class ScreenIterator(ctypes.Structure):
    _fields_ = [("data", ctypes.POINTER(u32)), ("rem", ctypes.c_int), ("index", ctypes.c_int)]

class MapNotify(ctypes.Structure):
    _fields_ = [("response_type", ctypes.c_uint8), ("pad0", ctypes.c_uint8), ("sequence", ctypes.c_uint16),
                ("event", u32), ("window", u32), ("override_redirect", ctypes.c_uint8)]

xcb.xcb_connect.restype = vp
xcb.xcb_connect.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_int)]
xcb.xcb_connection_has_error.argtypes = [vp]
xcb.xcb_get_setup.restype = vp
xcb.xcb_get_setup.argtypes = [vp]
xcb.xcb_setup_roots_iterator.restype = ScreenIterator
xcb.xcb_setup_roots_iterator.argtypes = [vp]
xcb.xcb_change_window_attributes.restype = ctypes.c_uint
xcb.xcb_change_window_attributes.argtypes = [vp, u32, u32, ctypes.POINTER(u32)]
xcb.xcb_get_input_focus.restype = ctypes.c_uint
xcb.xcb_get_input_focus.argtypes = [vp]
xcb.xcb_get_input_focus_reply.restype = vp
xcb.xcb_get_input_focus_reply.argtypes = [vp, ctypes.c_uint, vp]
xcb.xcb_get_file_descriptor.argtypes = [vp]
xcb.xcb_poll_for_event.restype = vp
xcb.xcb_poll_for_event.argtypes = [vp]
xcb.xcb_disconnect.argtypes = [vp]
libc.free.argtypes = [vp]

CW_EVENT_MASK, SUBSTRUCTURE_NOTIFY, MAP_NOTIFY = 0x800, 0x80000, 19

conn = xcb.xcb_connect(None, None)
if not conn or xcb.xcb_connection_has_error(conn):
    sys.exit("cannot connect to the X server")
root = xcb.xcb_setup_roots_iterator(xcb.xcb_get_setup(conn)).data[0]
mask = u32(SUBSTRUCTURE_NOTIFY)
xcb.xcb_change_window_attributes(conn, root, CW_EVENT_MASK, ctypes.byref(mask))
# A round trip, so the server is sure to report the very first map.
libc.free(xcb.xcb_get_input_focus_reply(conn, xcb.xcb_get_input_focus(conn), None))
fd = xcb.xcb_get_file_descriptor(conn)

def drain():
    """Events waiting now; returns the arrival time of a top-level MapNotify among them, if any."""
    mapped = None
    while True:
        event = xcb.xcb_poll_for_event(conn)
        if not event:
            return mapped
        e = ctypes.cast(event, ctypes.POINTER(MapNotify)).contents
        if (e.response_type & 0x7F) == MAP_NOTIFY and not e.override_redirect and mapped is None:
            mapped = time.monotonic_ns()
        libc.free(event)

def vmrss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return None

def run_once(exe):
    drain()
    start = time.monotonic_ns()
    proc = subprocess.Popen([exe], cwd=os.path.dirname(exe) or ".", stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE)
    mapped = None
    deadline = start + 10 * 10**9
    while mapped is None and time.monotonic_ns() < deadline:
        select.select([fd], [], [], 0.5)
        mapped = drain()
        if proc.poll() is not None:
            break
    rss = None
    if proc.poll() is None:
        time.sleep(max(0.0, (start + 2 * 10**9 - time.monotonic_ns()) / 1e9))
        rss = vmrss_kib(proc.pid)
    proc.send_signal(signal.SIGTERM)
    try:
        _, err = proc.communicate(timeout=5)
    except subprocess.TimeoutExpired:
        proc.kill()
        _, err = proc.communicate()
    if mapped is None or rss is None:
        sys.exit(f"{exe}: no window within 10 s or ended early\n{err.decode(errors='replace')[-2000:]}")
    return (mapped - start) / 1e6, rss / 1024

programs = {"tessra": sys.argv[1], "bare Qt window": sys.argv[2]}
runs = int(os.environ["RUNS"])
results = {name: [] for name in programs}
run_once(programs["tessra"])          # warms the page cache and font caches for both; not counted
run_once(programs["bare Qt window"])
for i in range(runs):
    # Alternating, so that a noisy moment on the shared machine falls on both alike.
    order = list(programs) if i % 2 == 0 else list(reversed(programs))
    for name in order:
        results[name].append(run_once(programs[name]))
xcb.xcb_disconnect(conn)

def median(name, k):
    return statistics.median(r[k] for r in results[name])

def spread(name, k):
    values = sorted(r[k] for r in results[name])
    return values[0], values[-1]

print(f"{runs} runs each, alternating, on Xvfb {os.environ['DISPLAY']}; medians (min-max)")
targets = {0: (80.0, "ms"), 1: (45.0, "MB")}
labels = {0: "start -> window mapped", 1: "VmRSS 2 s after start"}
for k in (0, 1):
    game, bare = median("tessra", k), median("bare Qt window", k)
    target, unit = targets[k]
    glo, ghi = spread("tessra", k)
    blo, bhi = spread("bare Qt window", k)
    verdict = "PASS" if game <= target else "over"
    print(f"  {labels[k]:<24} tessra {game:6.1f} {unit} ({glo:.1f}-{ghi:.1f})   "
          f"bare {bare:6.1f} {unit} ({blo:.1f}-{bhi:.1f})   ratio {game / bare:4.2f}   "
          f"target <= {target:.0f} {unit}: {verdict}")
PYTHON
