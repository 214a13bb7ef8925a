#!/usr/bin/env python3
# Plays a 3 x 3 game in a real window, as a player would.
#
# Run under an X server (xvfb-run). Copies the game into a fresh folder with pictures whose
# colours say where each piece belongs. First a start whose pop-up menu is opened and used
# while the start fade still runs: exit must be chosen from it once the fade is over. Then
# starts a game from the pop-up menu, reads the board off a screenshot, solves it by clicking
# tiles (checking the board halfway), checks that the whole picture returns after the end fade,
# and leaves with the exit command. Exits 0 on success, 1 with a message on failure.
import collections
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time

N = 3
CELL_W, CELL_H = 480 // N, 360 // N

# A flat colour per piece, far from each other and from the window's greys and black.
PIECE_COLOURS = [(220, 40, 40), (40, 180, 40), (40, 40, 220), (230, 200, 30), (200, 40, 200),
                 (30, 190, 200), (240, 130, 30), (120, 60, 20), (140, 90, 230)]


def write_picture(path):
    pixels = b"".join(bytes(PIECE_COLOURS[(y // CELL_H) * N + x // CELL_W]) for y in range(360) for x in range(480))
    subprocess.run(["convert", "-size", "480x360", "-depth", "8", "rgb:-", "-quality", "95", path],
                   input=pixels, check=True)


# The screen as a function of (x, y) giving (r, g, b); the screen is 1024 pixels wide.
def screenshot():
    pixels = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                            check=True, capture_output=True).stdout
    return lambda x, y: tuple(pixels[(y * 1024 + x) * 3:(y * 1024 + x) * 3 + 3])


def closest_tile(colour):
    distance, tile = min((sum((a - b) ** 2 for a, b in zip(colour, c)), t) for t, c in enumerate(PIECE_COLOURS))
    return tile if distance <= 30 ** 2 else None


# The shortest list of cells to press, by breadth-first search over the 9! arrangements.
def solve(board):
    goal = tuple(range(N * N))
    came = {tuple(board): None}
    queue = collections.deque(came)
    while goal not in came:
        state = queue.popleft()
        blank = state.index(N * N - 1)
        for cell in range(N * N):
            if abs(cell // N - blank // N) + abs(cell % N - blank % N) == 1:
                nxt = list(state)
                nxt[blank], nxt[cell] = nxt[cell], nxt[blank]
                if tuple(nxt) not in came:
                    came[tuple(nxt)] = (state, cell)
                    queue.append(tuple(nxt))
    presses, state = [], goal
    while came[state] is not None:
        state, cell = came[state]
        presses.append(cell)
    return presses[::-1]


def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True, timeout=20).stdout


def fail(message):
    print("FAIL:", message)
    # What the screen showed, for whoever looks into the failure.
    shot = os.path.join(tempfile.gettempdir(), "vellumi-e2e-failure.png")
    subprocess.run(["import", "-window", "root", shot], capture_output=True)
    print("screen at the failure:", shot)
    sys.exit(1)


def wait_for(condition, what, seconds=15):
    deadline = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.2)
    time.sleep(0.4)  # the last step's pause, after which the window takes input


def main():
    with tempfile.TemporaryDirectory(prefix="vellumi-e2e-") as folder:
        shutil.copy(sys.argv[1], os.path.join(folder, "tessra"))
        image = pathlib.Path(folder, "image")
        image.mkdir()
        (image / "picture.txt").write_text("1\n")
        write_picture(str(image / "angle1.jpg"))
        # The player's files go to this run's own folders: a game kept by another run must not
        # come back here.
        home = {name: os.path.join(folder, name) for name in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME")}
        game = subprocess.Popen([os.path.join(folder, "tessra")], cwd="/", env=dict(os.environ, **home))
        try:
            play(game)
        finally:
            if game.poll() is None:
                game.kill()
    print("PASS: solved a 3 x 3 game in a real window and left from the menu")


def play(game):
    try:
        window = xdo("search", "--sync", "--name", "^Vellumi$").split()[0]
    except subprocess.TimeoutExpired:
        fail("no window titled Vellumi appeared")
    geometry = dict(line.split("=") for line in xdo("getwindowgeometry", "--shell", window).split())
    wx, wy = int(geometry["X"]), int(geometry["Y"])
    if abs(wx + int(geometry["WIDTH"]) // 2 - 512) > 1:
        fail("the window is not in the middle of the screen: x %d, width %s" % (wx, geometry["WIDTH"]))
    cx, cy = wx, wy + int(geometry["HEIGHT"]) - 422  # the client area is the bottom 422 rows, under the menu bar

    def whole_picture_shown():
        # A whole 8 x 8 block of each piece, so that no step of the dot screen passes for the end.
        pixel = screenshot()
        return all(closest_tile(pixel(cx + 10 + (k % N) * CELL_W + CELL_W // 2 + dx,
                                      cy + 14 + (k // N) * CELL_H + CELL_H // 2 + dy)) == k
                   for k in range(N * N) for dx in range(8) for dy in range(8))

    def click(x, y, button=1):
        xdo("mousemove", cx + x, cy + y, "click", button)

    wait_for(whole_picture_shown, "the opening fade")
    # A game started from the pop-up, which takes the keys whatever has the focus. Held during
    # its start fade: a right press opens the pop-up once the board is there, and the menu
    # letter typed after it chooses from that pop-up: exit, so the picture is back.
    click(240, 100, 3)
    time.sleep(0.4)
    xdo("key", "g")
    started = time.monotonic()
    while whole_picture_shown():
        if time.monotonic() - started > 5:
            fail("the start fade never began")
    click(240, 100, 3)
    xdo("key", "e")
    time.sleep(2.5)
    wait_for(whole_picture_shown, "the picture again after exit was chosen during the start fade, no pop-up over it", 5)

    click(240, 200, 3)  # a right press on the picture opens the game menu
    time.sleep(0.4)
    xdo("key", "g")

    # Tiles are spaced in twips: their size less a 20-twip overlap, from (120, 170).
    lefts = [round((((CELL_W + 2) * 15 - 20) * c + 120) / 15) for c in range(N)]
    tops = [round((((CELL_H + 2) * 15 - 20) * r + 170) / 15) for r in range(N)]
    board = []

    def board_shown():
        pixel = screenshot()
        seen = [closest_tile(pixel(cx + lefts[k % N] + CELL_W // 2, cy + tops[k // N] + CELL_H // 2))
                for k in range(N * N)]
        # The blank cell shows the window's grey, which is no piece's colour.
        board[:] = [N * N - 1 if tile is None else tile for tile in seen]
        return seen.count(None) == 1 and sorted(board) == list(range(N * N))

    wait_for(board_shown, "the board after the start fade")
    presses = solve(board)
    print("board", board, "solved in", len(presses), "moves")
    expected = list(board)
    for i, cell in enumerate(presses):
        if i == len(presses) // 2:
            # Halfway, what the screen shows must be the board the presses made.
            wait_for(lambda: board_shown() and board == expected, "the board halfway, as the presses left it", 5)
        click(lefts[cell % N] + CELL_W // 2, tops[cell // N] + CELL_H // 2)
        blank = expected.index(N * N - 1)
        expected[blank], expected[cell] = expected[cell], expected[blank]
        time.sleep(0.08)
    time.sleep(2.5)  # the end fade starts from the whole picture: wait until it is over
    wait_for(whole_picture_shown, "the whole picture after the game, the bottom-right piece included")

    # The exit command ends the program between games.
    xdo("mousemove", wx + 20, wy + 8, "click", 1, "sleep", 0.4, "key", "e")
    try:
        code = game.wait(timeout=5)
    except subprocess.TimeoutExpired:
        fail("the exit command did not end the program")
    if code != 0:
        fail("exit status %d" % code)


if __name__ == "__main__":
    main()
