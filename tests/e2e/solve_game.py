#!/usr/bin/env python3
# Plays a 3 x 3 game in a real window, as a player would.
#
# Run under an X server (xvfb-run). Copies the game into a fresh folder with pictures whose
# colours say where each piece belongs, starts a game from the pop-up menu, reads the board off
# a screenshot, solves it by clicking tiles (checking the board halfway), checks that the whole
# picture returns after the end fade, starts a second game, and leaves it and the program with
# the exit command. Exits 0 on success, 1 with a message on failure.
import collections
import os
import shutil
import subprocess
import sys
import tempfile
import time

N = 3
CELL_W, CELL_H = 480 // N, 360 // N


PIECE_COLOURS = [(220, 40, 40), (40, 180, 40), (40, 40, 220), (230, 200, 30), (200, 40, 200),
                 (30, 190, 200), (240, 130, 30), (120, 60, 20), (140, 90, 230)]


# A flat colour per piece, far from each other and from the window's greys and black.
def piece_colour(tile):
    return PIECE_COLOURS[tile]


def write_picture(path):
    rows = []
    for y in range(360):
        row = bytearray()
        for x in range(480):
            row += bytes(piece_colour((y // CELL_H) * N + x // CELL_W))
        rows.append(bytes(row))
    ppm = path + ".ppm"
    with open(ppm, "wb") as f:
        f.write(b"P6 480 360 255\n" + b"".join(rows))
    subprocess.run(["convert", ppm, "-quality", "95", path], check=True)
    os.remove(ppm)


# The screen as a function of (x, y) giving (r, g, b); the screen is 1024 pixels wide.
def screenshot():
    pixels = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return lambda x, y: tuple(pixels[(y * 1024 + x) * 3:(y * 1024 + x) * 3 + 3])


def closest_tile(colour):
    best = min(range(N * N), key=lambda t: sum((a - b) ** 2 for a, b in zip(colour, piece_colour(t))))
    if sum((a - b) ** 2 for a, b in zip(colour, piece_colour(best))) > 30 ** 2:
        return None
    return best


# The shortest list of cells to press, by breadth-first search over the 9! arrangements.
def solve(board):
    goal = tuple(range(N * N))
    start = tuple(board)
    came = {start: None}
    queue = collections.deque([start])
    while queue:
        state = queue.popleft()
        if state == goal:
            break
        blank = state.index(N * N - 1)
        br, bc = divmod(blank, N)
        for dr, dc in ((0, 1), (0, -1), (1, 0), (-1, 0)):
            r, c = br + dr, bc + dc
            if 0 <= r < N and 0 <= c < N:
                cell = r * N + c
                nxt = list(state)
                nxt[blank], nxt[cell] = nxt[cell], nxt[blank]
                nxt = tuple(nxt)
                if nxt not in came:
                    came[nxt] = (state, cell)
                    queue.append(nxt)
    presses = []
    state = goal
    while came[state] is not None:
        state, cell = came[state]
        presses.append(cell)
    return presses[::-1]


def xdo(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True, text=True).stdout


def fail(message):
    print("FAIL:", message)
    # What the screen showed, for whoever looks into the failure.
    shot = os.path.join(tempfile.gettempdir(), "vellumi-e2e-failure.png")
    subprocess.run(["import", "-window", "root", shot], capture_output=True)
    print("screen at the failure:", shot)
    sys.exit(1)


def main():
    game_binary = os.path.abspath(sys.argv[1])
    folder = tempfile.mkdtemp(prefix="vellumi-e2e-")
    try:
        shutil.copy(game_binary, os.path.join(folder, "tessra"))
        os.makedirs(os.path.join(folder, "image"))
        with open(os.path.join(folder, "image", "picture.txt"), "w") as f:
            f.write("1\n")
        write_picture(os.path.join(folder, "image", "angle1.jpg"))
        game = subprocess.Popen([os.path.join(folder, "tessra")], cwd="/")
        try:
            play(game)
        finally:
            if game.poll() is None:
                game.kill()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("PASS: solved a 3 x 3 game in a real window, started another, and left from the menu")


def play(game):
    window = None
    for _ in range(50):
        found = subprocess.run(["xdotool", "search", "--name", "^Vellumi$"], capture_output=True, text=True)
        if found.stdout.split():
            window = found.stdout.split()[0]
            break
        time.sleep(0.1)
    if window is None:
        fail("no window titled Vellumi appeared")
    geometry = dict(line.strip().split(": ", 1) for line in xdo("getwindowgeometry", window).splitlines()[1:])
    wx, wy = map(int, geometry["Position"].split()[0].split(","))
    ww, wh = map(int, geometry["Geometry"].split("x"))
    cx, cy = wx, wy + wh - 422  # the client area is the bottom 422 rows, under the menu bar

    def whole_picture_shown():
        # A whole 8 x 8 block of each piece, so that no step of the dot screen passes for the end.
        pixel = screenshot()
        return all(closest_tile(pixel(cx + 10 + (k % N) * CELL_W + CELL_W // 2 + dx,
                                      cy + 14 + (k // N) * CELL_H + CELL_H // 2 + dy)) == k
                   for k in range(N * N) for dx in range(8) for dy in range(8))

    def wait_for(condition, what, seconds=15):
        deadline = time.monotonic() + seconds
        while not condition():
            if time.monotonic() > deadline:
                fail("timed out waiting for " + what)
            time.sleep(0.2)
        time.sleep(0.4)  # the last step's pause, after which the window takes input

    wait_for(whole_picture_shown, "the opening fade")

    def click(x, y, button=1):
        xdo("mousemove", cx + x, cy + y)
        xdo("click", button)

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
    half = len(presses) // 2
    expected = list(board)
    for i, cell in enumerate(presses):
        if i == half:
            # Halfway, what the screen shows must be the board the presses made.
            wait_for(lambda: board_shown() and board == expected, "the board halfway, as the presses left it", 5)
        click(lefts[cell % N] + CELL_W // 2, tops[cell // N] + CELL_H // 2)
        blank = expected.index(N * N - 1)
        expected[blank], expected[cell] = expected[cell], expected[blank]
        time.sleep(0.08)
    time.sleep(2.5)  # the end fade starts from the whole picture: wait until it is over
    wait_for(whole_picture_shown, "the whole picture after the game, the bottom-right piece included")

    # A second game starts as the first did; the exit command first leaves it, then the program.
    click(240, 200, 3)
    time.sleep(0.4)
    xdo("key", "g")
    wait_for(board_shown, "the board of a second game")
    for _ in range(2):
        xdo("mousemove", wx + 20, wy + 8)
        xdo("click", 1)
        time.sleep(0.4)
        xdo("key", "e")
        time.sleep(0.3)
    try:
        code = game.wait(timeout=5)
    except subprocess.TimeoutExpired:
        fail("the exit command did not end the program")
    if code != 0:
        fail("exit status %d" % code)


if __name__ == "__main__":
    main()
